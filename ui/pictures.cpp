// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cmath>

namespace {

// Drawn from the source, in all its colours, by Qt SVG itself: Debian 13
// ships Qt's SVG image reader in a package of its own.
QPixmap drawn(const QString &name, int size, qreal devicePixelRatio)
{
    const int pixels = int(std::lround(size * devicePixelRatio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(QStringLiteral(":/pictures/%1.svg").arg(name)).render(&painter);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

class GameIconEngine final : public QIconEngine
{
public:
    QIconEngine *clone() const override { return new GameIconEngine; }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->drawPixmap(
                rect, gamePicture(kName, rect.width(), painter->device()->devicePixelRatioF()));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return gamePicture(kName, size.width(), 1);
    }
    // Qt 6.4 gives the size in device pixels, Qt 6.8 in device-independent ones.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode, QIcon::State, qreal scale) override
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        return gamePicture(kName, size.width(), scale);
#else
        return gamePicture(kName, int(std::lround(size.width() / scale)), scale);
#endif
    }
    // Qt 6.4 may also ask through this hook.
    void virtual_hook(int id, void *data) override
    {
        if (id != ScaledPixmapHook)
            return QIconEngine::virtual_hook(id, data);
        auto &asked = *static_cast<ScaledPixmapArgument *>(data);
        asked.pixmap = scaledPixmap(asked.size, asked.mode, asked.state, asked.scale);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {32, 32}, {48, 48}};
    }

private:
    inline static const QString kName = QStringLiteral("brunilla");
};

} // namespace

QPixmap gamePicture(const QString &name, int size, qreal devicePixelRatio)
{
    const QString key =
            QStringLiteral("brunilla/%1/%2/%3").arg(name).arg(size).arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    const QString built = QStringLiteral(":/pictures/%1_%2.png").arg(name).arg(size);
    pixmap = devicePixelRatio == 1 && QFile::exists(built) ? QPixmap(built)
                                                           : drawn(name, size, devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon gameIcon()
{
    return QIcon(new GameIconEngine);
}

QCursor clientPointer()
{
    // The pencil's tip is the top-left pixel.
    return QCursor(gamePicture(QStringLiteral("puntatore"), 48, 1), 0, 0);
}

QCursor iconPointer()
{
    QPixmap shape(16, 16);
    shape.fill(Qt::white);
    QPainter p(&shape);
    // Two black outlines on white, readable on any background.
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 15);
    p.drawRect(5, 5, 5, 5);
    p.end();
    return QCursor(shape, 8, 8);
}
