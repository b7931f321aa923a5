// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ticker.h"

QtTicker::QtTicker(QObject *parent) : Ticker(parent)
{
    m_timer.setInterval(1000);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Ticker::tick);
}
