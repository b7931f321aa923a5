// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/services.h"

#include <QObject>

#include <functional>
#include <memory>

class Finestra;
class Partita;

// Runs the game from the first window to the end of the program: loads a
// window and its game, shows it, and loads both afresh when a new game is
// asked for.
class Sessione : public QObject
{
    Q_OBJECT
public:
    using MakeWindow = std::function<std::unique_ptr<Finestra>()>;

    Sessione(Services services, MakeWindow makeWindow);
    ~Sessione() override;

    // Creates the window and its game, runs the load handler and shows it.
    void start();

private:
    void unloadAndReload();
    void end();

    Services m_services;
    MakeWindow m_makeWindow;
    std::unique_ptr<Finestra> m_window;
    std::unique_ptr<Partita> m_partita;
    bool m_ended = false;
};
