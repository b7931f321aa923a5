// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sfondo.h"

#include <QPaintEvent>
#include <QPainter>

Sfondo::Sfondo(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void paintBands(QImage &image, int tinta)
{
    const int height = image.height();
    const int width = image.width();
    const int redGreen = 10 * tinta;
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // Bands follow physical rows: the image may carry a device pixel ratio.
    p.scale(1 / image.devicePixelRatio(), 1 / image.devicePixelRatio());
    for (int i = 0; i < 256; ++i) {
        const int top = i * height / 256;
        const int bottom = (i + 1) * height / 256;
        p.fillRect(0, top, width, bottom - top, QColor(redGreen, redGreen, i));
    }
}

void Sfondo::clearBacking()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    // Reused while the size holds: one allocation, not one per question.
    if (m_backing.size() != pixels || m_backing.devicePixelRatio() != ratio) {
        m_backing = QImage(pixels, QImage::Format_RGB32);
        m_backing.setDevicePixelRatio(ratio);
    }
    m_backing.fill(Qt::black);
}

void Sfondo::PaintBackground(int tinta)
{
    clearBacking();
    paintBands(m_backing, tinta);
    update();
}

void Sfondo::blackOut()
{
    clearBacking();
    update();
}

void Sfondo::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    p.drawImage(0, 0, m_backing);
}
