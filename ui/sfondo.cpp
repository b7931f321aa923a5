// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sfondo.h"

#include <QPaintEvent>
#include <QPainter>

Sfondo::Sfondo(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted: nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void paintBands(QPainter &painter, QSize painted, int tinta, const QRect &area)
{
    const QRect bands = area & QRect(QPoint(), tinta < 0 ? QSize() : painted);
    const int h = painted.height();
    for (int band = bands.isEmpty() ? 256 : 256 * bands.top() / h; band < 256; ++band) {
        const int top = band * h / 256;
        if (top > bands.bottom())
            break;
        const QRect rows =
                QRect(bands.left(), top, bands.width(), (band + 1) * h / 256 - top) & bands;
        if (!rows.isEmpty())
            painter.fillRect(rows, QColor(10 * tinta, 10 * tinta, band));
    }
    for (const QRect &beyond : QRegion(area).subtracted(bands))
        painter.fillRect(beyond, Qt::black);
}

void Sfondo::PaintBackground(int tinta)
{
    m_tinta = tinta;
    m_painted = size() * devicePixelRatioF();
    update();
}

void Sfondo::blackOut()
{
    m_tinta = -1;
    update();
}

void Sfondo::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Bands follow device pixels: the screen may scale the window.
    const qreal ratio = devicePixelRatioF();
    painter.scale(1 / ratio, 1 / ratio);
    for (const QRect &exposed : event->region()) {
        const QRectF scaled(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio);
        paintBands(painter, m_painted, m_tinta, scaled.toAlignedRect());
    }
}
