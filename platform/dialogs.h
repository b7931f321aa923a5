// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Button codes and answers of the game's message boxes, in the classic
// numbering the game's texts were written against.
namespace MsgBoxCode {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Question = 32;
constexpr int DefaultButton2 = 256;
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxCode

// The two modal boxes the game talks through. Both block the caller while
// the event loop keeps running, so the countdown goes on ticking.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // An empty title means the application title, "Brunilla".
    virtual int MsgBox(const QString &prompt, int buttons = MsgBoxCode::OkOnly,
                       const QString &title = {}) = 0;
    // Returns the field's text on OK and empty text on Cancel. The field
    // takes only what a record may hold (record::nameProblem).
    virtual QString InputBox(const QString &prompt, const QString &title = {},
                             const QString &defaultText = {}) = 0;
};

// The real boxes, made from QMessageBox and QInputDialog.
class QtDialogs final : public Dialogs
{
public:
    int MsgBox(const QString &prompt, int buttons, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
};

// The boxes' buttons show their words alone, as the greeting's OK does.
// Set once, before the first box: the style's pictures would also cost a
// search of the icon themes before the name box could show.
void useWordOnlyBoxButtons();
