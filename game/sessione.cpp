// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/sessione.h"

#include "game/partita.h"
#include "platform/ticker.h"
#include "ui/tavola.h"

Sessione::Sessione(Services services) : m_services(std::move(services)) {}

Sessione::~Sessione() = default;

void Sessione::start()
{
    m_window = std::make_unique<Tavola>(m_services);
    Tavola *window = m_window.get();
    connect(&window->partita(), &Partita::programEnded, this, &Sessione::end);
    // Queued: the old window's handler returns before the window goes.
    connect(&window->partita(), &Partita::unloadRequested, this, &Sessione::unloadAndReload,
            Qt::QueuedConnection);
    connect(window, &Tavola::closedByUser, this, &Sessione::end);
    window->partita().Form_Load();
    window->show();
}

void Sessione::unloadAndReload()
{
    if (m_ended)
        return;
    m_window->hide();
    m_window.release()->deleteLater();
    start();
}

void Sessione::end()
{
    if (m_ended)
        return;
    m_ended = true;
    // Closed from its title bar, the window must not end a second time
    // when its clock runs out.
    if (m_window) {
        m_window->partita().abandon();
        m_window->hide();
    }
    m_services.quit();
}
