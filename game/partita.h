// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/finestra.h"
#include "game/gamestate.h"
#include "game/services.h"
#include "storage/recordfiles.h"

#include <QObject>

#include <memory>

class Ticker;

// The game: its state, its one-second timer and every handler of the
// window, named after the control and the event they serve. It reaches
// the window only through Finestra.
class Partita : public QObject
{
    Q_OBJECT
public:
    Partita(Finestra &finestra, const Services &services);
    ~Partita() override;

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void cmdNext_Click();
    void txtAnswer_KeyPress(int &KeyAscii);
    void Timer1_Timer();
    void Next_Click();
    void cmdExit_Click();
    // The window was closed: the game ends where it stands, storing nothing.
    void Form_Unload();

    Ticker &Timer1() { return *m_timer; }

signals:
    // The new-game command wants the window unloaded and shown afresh.
    void unloadRequested();
    // The game is over: nothing of it may run any more.
    void programEnded();

private:
    void StartClock();
    void showClock();
    void judgeAnswer();
    void PlayWave(const QString &name);
    void showRecord();
    void TimeOver();
    void SaveRecordIfBeaten(const RecordFiles::Done &done);
    void closeWithRecord(record::Outcome outcome, const QString &savedMessage);
    void endProgram();

    Finestra &m_finestra;
    const Services &m_services;
    std::unique_ptr<Ticker> m_timer;
    GameState m_state;
    bool m_ending = false; // an ending has begun: nothing else may start
    bool m_ended = false;
};
