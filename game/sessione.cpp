// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/sessione.h"

#include "game/finestra.h"
#include "game/partita.h"

Sessione::Sessione(Services services, MakeWindow makeWindow)
    : m_services(std::move(services)), m_makeWindow(std::move(makeWindow))
{}

Sessione::~Sessione()
{
    m_window.reset(); // before the game its events go to
}

void Sessione::start()
{
    m_window = m_makeWindow();
    m_partita = std::make_unique<Partita>(*m_window, m_services);
    connect(m_partita.get(), &Partita::programEnded, this, &Sessione::end);
    // Queued: the old window's handler returns before the window goes.
    connect(m_partita.get(), &Partita::unloadRequested, this, &Sessione::unloadAndReload,
            Qt::QueuedConnection);
    m_window->attach(*m_partita);
    m_partita->Form_Load();
    m_window->showWindow();
}

void Sessione::unloadAndReload()
{
    if (m_ended)
        return;
    m_window.reset();
    m_partita.reset();
    start();
}

void Sessione::end()
{
    if (std::exchange(m_ended, true))
        return;
    m_window->hideWindow();
    m_services.quit();
}
