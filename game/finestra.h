// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

class Partita;

// The window as the game sees it: the controls its handlers read and
// write, by their names in the layout, and the window's own caption, state
// and background. The window (ui/tavola.h) implements it and routes its
// events to the game's handlers; the game never sees a widget.
class Finestra
{
public:
    enum class Control : std::uint8_t {
        lblNum1,
        lblNum2,
        lblMessage,
        lblScore,
        lblScore1,
        lblScore2,
        lblnome1,
        lblnome,
        lblpunti,
        lblconto,
        txtAnswer,
        cmdNext,
    };

    virtual ~Finestra() = default;

    // A label's caption, or the answer box's text.
    virtual QString text(Control control) = 0;
    virtual void setText(Control control, const QString &text) = 0;
    virtual void enable(Control control, bool enabled) = 0;
    virtual void focus(Control control) = 0;

    // The background: the tinted gradient, or black (ui/sfondo.h).
    virtual void PaintBackground(int tinta) = 0;
    virtual void blackOut() = 0;

    virtual void setCaption(const QString &caption) = 0;
    // The game is ending: the answer box, the buttons and the menu take no
    // more input, while the window goes on painting.
    virtual void outOfPlay() = 0;
    virtual bool minimized() const = 0;

    // From now on the window's events reach the game's handlers.
    virtual void attach(Partita &game) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};
