// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the game finds what it ships with. Installed, the program sits in
// games/ under its prefix, its sounds in share/games/brunilla, its sound
// module and its record helper in lib/games/brunilla. As built, they all
// sit beside the program, and there is no helper: the record stays in the
// player's own folder.
struct Places
{
    QString sounds; // the folder holding suoni/
    QString soundModule;
    QString recordHelper; // empty when the game is not installed
};

Places findPlaces(const QString &programDir);
