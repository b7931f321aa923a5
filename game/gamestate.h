// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/rules.h"

#include <QString>

// What the window remembers about the game in progress. The score and
// the stored record are not here: they live as the captions of lblScore
// and lblpunti, and the endings read them back from there.
struct GameState
{
    QString nome; // the player's name, as typed
    Whole risultato = 0; // the product expected for the open question
    Whole esatte = 0; // right answers
    Whole errate = 0; // wrong answers
    Clock orologio; // ore, minuti, secondi and restanti
    QString cartella; // the record directory, ending in a separator
    Whole tinta = 0; // background tint of the current question, 0 to 14
};
