// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/answerbox.h"

#include <QKeyEvent>

AnswerBox::AnswerBox(QWidget *parent) : QLineEdit(parent)
{
    // Digits need no input method, and one would bypass the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

int typedCharacter(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return -1;
    default:
        break;
    }
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return -1;
    const QString text = event.text();
    if (text.isEmpty())
        return -1;
    // Several characters at once (a compose sequence) are never a digit.
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    int code = typedCharacter(*event);
    if (code >= 0 && m_keyPress)
        m_keyPress(code);
    if (code == 0) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
