// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sfondo.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cwchar>

namespace {

// The C library's fill of 32-bit words, which every platform tunes to
// its processor: a run of the bands costs what one fill of its pixels does.
void fillRun(QRgb *run, qsizetype count, QRgb colour)
{
    static_assert(sizeof(wchar_t) == sizeof(QRgb));
    if (count > 0)
        std::wmemset(reinterpret_cast<wchar_t *>(run), wchar_t(colour), size_t(count));
}

// Each device row of area, once: the colour of its band as far as the
// painting reaches, black beyond. Band i covers rows i*h/256 to
// (i+1)*h/256 of a painting h rows high.
template <typename Fill>
void eachRow(QPoint origin, QSize painted, int tinta, QRect area, Fill fill)
{
    const QRect bands = QRect(origin, tinta < 0 ? QSize() : painted) & area;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int split = y >= bands.top() && y <= bands.bottom() ? bands.right() + 1 : area.left();
        const int band = (256 * (y - origin.y() + 1) - 1) / std::max(painted.height(), 1);
        if (split > area.left())
            fill(y, area.left(), split, qRgb(10 * tinta, 10 * tinta, band));
        if (split <= area.right())
            fill(y, split, area.right() + 1, qRgb(0, 0, 0));
    }
}

} // namespace

Sfondo::Sfondo(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted: nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// Rows of one colour that follow each other in memory (whole rows of the
// window's image, a band's two or three) are filled as one run, so that
// the cost is that of the stores alone.
void paintBands(QImage &image, QPoint origin, QSize painted, int tinta, QRect area)
{
    auto *pixels = reinterpret_cast<QRgb *>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb *run = nullptr;
    qsizetype length = 0;
    QRgb runColour = 0;
    eachRow(origin, painted, tinta, area & image.rect(), [&](int y, int from, int to, QRgb colour) {
        QRgb *at = pixels + y * stride + from;
        if (at != run + length || colour != runColour) {
            fillRun(run, length, runColour);
            run = at;
            length = 0;
            runColour = colour;
        }
        length += to - from;
    });
    fillRun(run, length, runColour);
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
    const QTransform toDevice = painter.deviceTransform();
    const QPoint origin = toDevice.map(QPointF(0, 0)).toPoint();
    auto *image = dynamic_cast<QImage *>(painter.paintEngine()->paintDevice());
    const bool direct = image && toDevice.type() <= QTransform::TxScale
                     && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied);
    painter.setWorldTransform(toDevice.inverted());
    for (const QRect &exposed : event->region()) {
        const QRect area = toDevice.mapRect(QRectF(exposed)).toAlignedRect();
        if (direct) // straight into the window's image, as every raster platform has it
            paintBands(*image, origin, m_painted, m_tinta, area);
        else
            eachRow(origin, m_painted, m_tinta, area, [&painter](int y, int from, int to, QRgb colour) {
                painter.fillRect(from, y, to - from, 1, QColor(colour));
            });
    }
}
