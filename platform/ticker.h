// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

// The countdown's one-second beat. Tests drive their own ticker; the game
// uses a QTimer, which keeps firing while a modal box is open.
class Ticker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void tick();
};

class QtTicker final : public Ticker
{
    Q_OBJECT
public:
    explicit QtTicker(QObject *parent = nullptr);
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
