// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/services.h"

#include <QObject>

#include <memory>

class Tavola;

// Runs the game from the first window to the end of the program: loads
// the window, shows it, and loads it afresh when a new game is asked for.
class Sessione : public QObject
{
    Q_OBJECT
public:
    explicit Sessione(Services services);
    ~Sessione() override;

    // Creates the window, runs its load handler and shows it.
    void start();
    Tavola *window() const { return m_window.get(); }
    bool ended() const { return m_ended; }

private:
    void unloadAndReload();
    void end();

    Services m_services;
    std::unique_ptr<Tavola> m_window;
    bool m_ended = false;
};
