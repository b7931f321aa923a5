// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scripted stand-ins for the world outside the window.

#include "game/services.h"
#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"
#include "storage/recordfiles.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

inline QString scoreFile(const QString &dir)
{
    return dir + QStringLiteral("/tavrec8.txt");
}
inline QString holderFile(const QString &dir)
{
    return dir + QStringLiteral("/ntavrec8.txt");
}

// One box the game opened, as the player saw it.
struct ShownBox
{
    enum Kind { Message, Input } kind;
    QString prompt;
    int buttons;
    QString title;
};

// Each box pops the next scripted reply; its action runs while the box
// is "open", as the player's keys and the timer would.
class ScriptedDialogs final : public Dialogs
{
public:
    struct Reply
    {
        int button = MsgBoxCode::Ok;
        QString text;
        std::function<void()> whileOpen;
    };

    void answer(int button, std::function<void()> whileOpen = {}) { m_replies.push_back({button, {}, std::move(whileOpen)}); }
    void type(const QString &text, std::function<void()> whileOpen = {}) { m_replies.push_back({MsgBoxCode::Ok, text, std::move(whileOpen)}); }

    int MsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        shown.push_back({ShownBox::Message, prompt, buttons, title});
        const Reply reply = next();
        return buttons == MsgBoxCode::OkOnly ? MsgBoxCode::Ok : reply.button;
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &) override
    {
        shown.push_back({ShownBox::Input, prompt, 0, title});
        return next().text;
    }

    std::vector<ShownBox> shown;

private:
    Reply next()
    {
        Reply reply;
        if (!m_replies.empty()) {
            reply = std::move(m_replies.front());
            m_replies.pop_front();
        }
        if (reply.whileOpen)
            reply.whileOpen();
        return reply;
    }
    std::deque<Reply> m_replies;
};

class ManualTicker final : public Ticker
{
public:
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    // One second passes: a tick arrives only while the timer runs.
    void fire()
    {
        if (m_active)
            emit tick();
    }

private:
    bool m_active = false;
};

// Plays back chosen draws and logs the order of draws and reseeds.
class ScriptedRandom final : public RandomSource
{
public:
    void feed(const std::vector<double> &values) { m_values.insert(m_values.end(), values.begin(), values.end()); }
    double uniform() override
    {
        log += u'u';
        if (m_values.empty())
            return 0.5;
        const double v = m_values.front();
        m_values.pop_front();
        return v;
    }
    void reseed() override { log += u'R'; }
    QString log;

private:
    std::deque<double> m_values;
};

class RecordingSound final : public SoundPlayer
{
public:
    void PlayWave(const QString &path) override { played << path; }
    QStringList played;
};

// A complete set of scripted services; the latest timer made is `timer`.
struct FakeWorld
{
    ScriptedDialogs dialogs;
    RecordingSound sound;
    ScriptedRandom random;
    ManualTicker *timer = nullptr;
    int timersMade = 0;
    bool quit = false;
    QString dir;                     // the player's own record folder
    RecordFiles *records = nullptr;  // or, when set, these record files
    QDate date{2026, 12, 7};

    Services services()
    {
        Services s;
        s.dialogs = &dialogs;
        s.sound = &sound;
        s.random = &random;
        s.makeTimer = [this] {
            auto t = std::make_unique<ManualTicker>();
            timer = t.get();
            ++timersMade;
            return t;
        };
        m_own = std::make_unique<OwnRecords>(dir);
        s.records = records ? records : m_own.get();
        s.today = [this] { return date; };
        s.quit = [this] { quit = true; };
        s.soundDir = QStringLiteral("/opt/brunilla");
        return s;
    }

private:
    std::unique_ptr<OwnRecords> m_own;
};
