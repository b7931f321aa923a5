// SPDX-License-Identifier: GPL-3.0-or-later
// The window at a scale factor of 2: same layout, bands over every
// physical row, no text clipped.

#include "gamefixture.h"
#include "ui/sfondo.h"

#include <QStandardPaths>

class TestScale : public QObject
{
    Q_OBJECT
private slots:
    void layoutKeepsItsProportions();
    void bandsCoverEveryPhysicalRow();
    void noTextIsClipped();
};

void TestScale::layoutKeepsItsProportions()
{
    GameFixture g;
    QCOMPARE(g.window().devicePixelRatio(), 2.0);
    QCOMPARE(g.ui().sfondo->size(), QSize(792, 554));
    QCOMPARE(g.ui().txtAnswer->geometry(), QRect(544, 0, 185, 80));
    QCOMPARE(g.ui().cmdNext->geometry(), QRect(280, 352, 121, 73));
    QCOMPARE(g.ui().Label12->geometry(), QRect(8, 504, 209, 41));
}

void TestScale::bandsCoverEveryPhysicalRow()
{
    GameFixture g(QStringLiteral("Anna"), {0.99, 0.55, 0.0}); // tinta 14
    const QImage &image = g.ui().sfondo->backing();
    QCOMPARE(image.size(), QSize(1584, 1108));
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        int band = 0;
        while ((band + 1) * height / 256 <= y)
            ++band;
        QCOMPARE(QColor(image.pixel(1583, y)), QColor(140, 140, band));
    }
}

void TestScale::noTextIsClipped()
{
    GameFixture g(QStringLiteral("Anna"));
    TavolaUi &ui = g.ui();
    g.tick(); // the clock shows 00:14:59
    g.answer(QStringLiteral("1"));
    QCOMPARE(ui.lblMessage->text(), QStringLiteral("Sbagliato!! 40"));
    g.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&g.window()));
    for (QLabel *label : g.window().findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        // The ink of every line, placed as the label places it, within the box.
        const QFontMetrics fm = label->fontMetrics();
        const QRect box = label->contentsRect();
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        QRect ink;
        for (int i = 0; i < lines.size(); ++i) {
            const int x = (label->alignment() & Qt::AlignHCenter) ? (box.width() - fm.horizontalAdvance(lines[i])) / 2 : 0;
            ink |= fm.tightBoundingRect(lines[i]).translated(box.left() + x, box.top() + fm.ascent() + i * fm.lineSpacing());
        }
        const QSize needed = ink.size();
        QVERIFY2(box.contains(ink) || ink.isEmpty(),
                 qPrintable(QStringLiteral("%1 needs %2x%3 in %4x%5").arg(label->objectName()).arg(needed.width()).arg(needed.height()).arg(label->contentsRect().width()).arg(label->contentsRect().height())));
    }
    g.answer(QString());
    g.next({0.0, 0.55, 0.0});
    g.answer(QStringLiteral("40"));
    QCOMPARE(ui.lblMessage->text(), QStringLiteral("Esatto! Anna sei forte!"));
    QVERIFY(ui.lblMessage->fontMetrics().horizontalAdvance(ui.lblMessage->text()) <= ui.lblMessage->width());
    for (QPushButton *button : {static_cast<QPushButton *>(ui.cmdNext), static_cast<QPushButton *>(ui.cmdExit)})
        QVERIFY(button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() <= button->width() - 6);

    // A picture to look at: the window at twice its size.
    const QString shot = QStringLiteral(SHOT_DIR "/tavola_scale2.png");
    QVERIFY(g.window().grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scale.moc"
