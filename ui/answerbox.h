// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <functional>

// The answer box. Every typed character is shown to the key-press handler
// before the box inserts it; the handler may discard it by setting the
// code to 0. Characters typed with Control, Alt or Super held are
// discarded. Keys that carry no printable character (arrows, Delete, Home,
// End) and the editing shortcuts (select all, copy, paste, cut, undo)
// behave as in any text box.
class AnswerBox : public QLineEdit
{
    Q_OBJECT
public:
    using KeyPressHandler = std::function<void(int &KeyAscii)>;

    explicit AnswerBox(QWidget *parent = nullptr);
    void setKeyPressHandler(KeyPressHandler handler) { m_keyPress = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    KeyPressHandler m_keyPress;
};

// The character code a key press carries, -1 for none (an editing key), 0
// for one that never reaches the box.
int typedCharacter(const QKeyEvent &event);
