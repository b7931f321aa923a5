// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/answerbox.h"

#include <QKeyEvent>

namespace {

// The shortcuts of any text box that the answer box keeps; what they paste
// is judged by its leading number.
constexpr QKeySequence::StandardKey kEditing[] = {QKeySequence::SelectAll, QKeySequence::Copy,
                                                  QKeySequence::Paste, QKeySequence::Cut,
                                                  QKeySequence::Undo};

} // namespace

AnswerBox::AnswerBox(QWidget *parent) : QLineEdit(parent)
{
    // Digits need no input method, and one would bypass the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

int typedCharacter(const QKeyEvent &event)
{
    // Nothing typed with Control, Alt or Super held reaches the box: the
    // access keys and the editing shortcuts have their own way in.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    default:
        break;
    }
    const QString text = event.text();
    // Delete carries DEL on X11: an editing key, not a character typed.
    if (text.isEmpty() || (text.size() == 1 && !text.at(0).isPrint()))
        return -1;
    // Several characters at once (a compose sequence) are never a digit.
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    for (const QKeySequence::StandardKey editing : kEditing) {
        if (event->matches(editing)) {
            QLineEdit::keyPressEvent(event);
            return;
        }
    }
    int code = typedCharacter(*event);
    if (code > 0 && m_keyPress)
        m_keyPress(code);
    if (code == 0) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
