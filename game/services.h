// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class Dialogs;
class RandomSource;
class RecordFiles;
class SoundPlayer;
class Ticker;

// What the game needs from the world outside the window. The program
// passes the real ones; tests pass scripted ones.
struct Services
{
    Dialogs *dialogs = nullptr;
    SoundPlayer *sound = nullptr;
    RandomSource *random = nullptr;
    std::function<std::unique_ptr<Ticker>()> makeTimer;
    RecordFiles *records = nullptr;
    std::function<QDate()> today;
    std::function<void()> quit; // ends the program's event loop
    QString soundDir; // the folder holding suoni/
};
