// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A whole game in the offscreen platform, driven through scripted services.

#include "fakes.h"
#include "game/partita.h"
#include "game/sessione.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

struct GameFixture
{
    FakeWorld world;
    QTemporaryDir records;
    std::unique_ptr<Sessione> session;

    // Feeds the first deal's draws, answers the name and greeting boxes,
    // and lets the window show itself and deal.
    explicit GameFixture(const QString &name = QStringLiteral("Anna"),
                         const std::vector<double> &firstDeal = {0.0, 0.55, 0.0})
    {
        world.dir = records.path() + u'/';
        world.random.feed(firstDeal);
        world.dialogs.type(name);
        world.dialogs.answer(MsgBoxCode::Ok);
        session = std::make_unique<Sessione>(world.services());
        session->start();
        QCoreApplication::processEvents();
    }

    Tavola &window() { return *session->window(); }
    TavolaUi &ui() { return window().ui(); }
    Partita &game() { return window().partita(); }

    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            world.timer->fire();
    }

    // Types an answer with real key events and confirms it with Enter.
    void answer(const QString &keys)
    {
        QTest::keyClicks(ui().txtAnswer, keys);
        QTest::keyClick(ui().txtAnswer, Qt::Key_Return);
    }

    // Deals the next question through the button, with the given draws.
    void next(const std::vector<double> &draws)
    {
        world.random.feed(draws);
        ui().cmdNext->click();
    }
};
