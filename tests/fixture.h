// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one fixture: a whole game in the offscreen platform, the world
// outside the window scripted.

#include "game/partita.h"
#include "game/sessione.h"
#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/immagine.h"
#include "ui/picturebutton.h"
#include "ui/sfondo.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <deque>

// A box's answer: the button, the text typed, what happens while it is open.
struct Reply
{
    int button = MsgBoxCode::Ok;
    QString text;
    std::function<void()> whileOpen;
};

struct ManualTicker final : Ticker
{
    void start() override { active = true; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    bool active = false;
};

// The draws that deal 8 x factor (1 to 9) with tint 0.
inline std::deque<double> dealing(int factor)
{
    return {0.0, factor / 10.0 + 0.05, 0.5};
}

struct Game : Dialogs, RandomSource, SoundPlayer
{
    // One per box, after the name and greeting.
    std::deque<Reply> replies;
    QStringList prompts, titles, played;
    // Then 0.5.
    std::deque<double> draws;
    QString log; // draws and reseeds: "uRuu"
    ManualTicker *timer = nullptr;
    bool realClock = false;
    // Once set, the boxes are real ones.
    Dialogs *realBoxes = nullptr;
    int windows = 0;
    bool quit = false;
    QTemporaryDir folder;
    std::unique_ptr<RecordFiles> records = std::make_unique<OwnRecords>(folder.path());
    std::unique_ptr<Sessione> session;
    Tavola *tavola = nullptr;

    int MsgBox(const QString &prompt, int code, const QString &title) override
    {
        if (realBoxes)
            return realBoxes->MsgBox(prompt, code, title);
        const int button = next(prompt, title).button;
        return code == MsgBoxCode::OkOnly ? MsgBoxCode::Ok : button;
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &) override
    {
        return next(prompt, title).text;
    }
    template<typename T>
    static T take(std::deque<T> &queue, T otherwise)
    {
        if (!queue.empty())
            otherwise = queue.front(), queue.pop_front();
        return otherwise;
    }
    Reply next(const QString &prompt, const QString &title)
    {
        prompts << prompt, titles << title;
        const Reply reply = take(replies, Reply{});
        if (reply.whileOpen)
            reply.whileOpen();
        return reply;
    }
    double uniform() override { return log += u'u', take(draws, 0.5); }
    void reseed() override { log += u'R'; }
    void PlayWave(const QString &path) override { played << path; }

    Services services()
    {
        const auto makeTimer = [this] {
            ++windows;
            return realClock ? std::make_unique<QtTicker>()
                             : std::unique_ptr<Ticker>(timer = new ManualTicker);
        };
        return {this,
                this,
                this,
                makeTimer,
                records.get(),
                [] { return QDate(2026, 12, 7); },
                [this] { quit = true; },
                QStringLiteral("/opt/brunilla")};
    }
    // Answers the name box and the greeting (running whileGreeted), lets the
    // window show itself and deal its first question, 8 x 5 unless told.
    void start(const QString &name = QStringLiteral("Anna"), std::deque<double> deal = dealing(5),
               std::function<void()> whileGreeted = {})
    {
        draws = std::move(deal);
        replies.insert(replies.begin(),
                       {{MsgBoxCode::Ok, name, {}}, {MsgBoxCode::Ok, {}, whileGreeted}});
        session = std::make_unique<Sessione>(
                services(), [this] { return std::unique_ptr<Tavola>(tavola = new Tavola); });
        session->start();
        QCoreApplication::processEvents();
    }
    Tavola &window() { return *tavola; }
    TavolaUi &ui() { return window().ui(); }
    void tick(int times = 1)
    {
        while (times-- > 0 && timer->active)
            emit timer->tick();
    }
    // As real key events, then Enter.
    void answer(const QString &keys) { QTest::keyClicks(ui().txtAnswer, keys + u'\r'); }
    void next(std::deque<double> deal)
    {
        draws = std::move(deal);
        ui().cmdNext->click();
    }
    // The record files as the next start shows them: score|holder
    QString record()
    {
        const RecordFiles::Shown shown = records->load(folder.path());
        return shown.score + u'|' + shown.holder;
    }
};
