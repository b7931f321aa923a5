// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures on a screen of another density (this test runs at twice the
// density of its layout): drawn from their sources at that density, as
// sharp as the source itself drawn there, never the small picture enlarged.

#include "fixture.h"
#include "ui/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace {

// The source drawn at size, as a reference.
QImage source(const QString &name, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(QStringLiteral(":/pictures/%1.svg").arg(name)).render(&painter);
    return image;
}

// How far apart two images of one size are: the mean difference of their
// channels, transparency included.
double distance(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q))
                 + std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * x.width() * x.height());
}

} // namespace

// Where in image the picture stands, its every opaque pixel, about the
// middle column (its top row; -1: nowhere).
int rowOf(const QImage &picture, const QImage &image)
{
    const QImage p = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage in = image.convertToFormat(QImage::Format_ARGB32);
    const auto at = [&](int left, int top) {
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                if (qAlpha(p.pixel(x, y)) == 255 && p.pixel(x, y) != in.pixel(left + x, top + y))
                    return false;
        return true;
    };
    const int middle = (in.width() - p.width()) / 2;
    for (int top = 0; top + p.height() <= in.height(); ++top)
        for (int left = std::max(middle - 2, 0); left <= middle + 2 && left + p.width() <= in.width(); ++left)
            if (at(left, top))
                return top;
    return -1;
}

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void drawnAtTheDensity()
    {
        for (const char *name : {"orologio", "nuovo", "nuovo_premuto", "nuovo_spento", "esci", "brunilla"}) {
            for (const qreal ratio : {1.25, 1.5, 2.0, 3.0}) {
                const QPixmap drawn = gamePicture(QLatin1String(name), 32, ratio);
                const QSize pixels(int(std::lround(32 * ratio)), int(std::lround(32 * ratio)));
                QCOMPARE(drawn.size(), pixels);
                QCOMPARE(drawn.devicePixelRatio(), ratio);
                const QImage reference = source(QLatin1String(name), pixels);
                const QImage enlarged = gamePicture(QLatin1String(name), 32, 1).toImage().scaled(pixels);
                const QByteArray what = QByteArray(name) + " at " + QByteArray::number(ratio);
                QVERIFY2(distance(drawn.toImage(), reference) < distance(enlarged, reference) / 4, what);
            }
        }
        const QPixmap icon = gameIcon().pixmap(QSize(48, 48), 2.0); // for the window and its boxes
        QCOMPARE(icon.size(), QSize(96, 96));
        QCOMPARE(distance(icon.toImage(), source(QStringLiteral("brunilla"), {96, 96})), 0.0);
    }

    void theWindowShowsThemAtItsDensity()
    {
        Game g;
        g.start();
        QCOMPARE(g.window().devicePixelRatioF(), 2.0);
        const QImage clock = g.ui().Image1->grab().toImage();
        QCOMPARE(rowOf(gamePicture(QStringLiteral("orologio"), 32, 2).toImage(), clock), 0);
        for (auto [button, name] : {std::pair{g.ui().cmdNext, "nuovo_spento"}, {g.ui().cmdExit, "esci"}}) {
            const QImage face = button->grab().toImage();
            QVERIFY2(rowOf(gamePicture(QLatin1String(name), 32, 2).toImage(), face) > 0, name);
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
