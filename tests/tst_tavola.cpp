// SPDX-License-Identifier: GPL-3.0-or-later
// The window as built from its layout, before any game code writes to it.

#include "fakes.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/sfondo.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QFontInfo>
#include <QMenuBar>
#include <QTest>

class TestTavola : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void windowProperties();
    void controlGeometry_data();
    void controlGeometry();
    void creationTexts();
    void fontsResolveToShippedFaces();
    void coloursAndTransparency();
    void stackingKeepsCommand1Hidden();
    void tabOrder();
    void menuTree();
    void autoSizeRefitsToText();
    void backgroundBands_data();
    void backgroundBands();
    void blackOutAndResize();

private:
    FakeWorld m_world;
    Services m_services;
    std::unique_ptr<Tavola> m_window;
    Etichetta *label(const char *name) { return m_window->findChild<Etichetta *>(QString::fromLatin1(name)); }
};

void TestTavola::init()
{
    m_services = m_world.services();
    m_window = std::make_unique<Tavola>(m_services);
}

void TestTavola::windowProperties()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Tavola"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Gioca con la Brunilla"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->centralWidget()->size(), QSize(792, 554));
    QVERIFY(!m_window->windowIcon().isNull());
    QVERIFY(m_world.timer->isActive()); // enabled at creation
}

void TestTavola::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipsRect");
    const std::pair<const char *, QRect> rows[] = {
        {"txtAnswer", {8160, 0, 2775, 1200}},   {"cmdNext", {4200, 5280, 1815, 1095}},
        {"cmdExit", {7680, 5280, 2055, 1095}},  {"Command1", {4680, 5640, 855, 615}},
        {"lblpunti", {9600, 7560, 270, 555}},   {"Label13", {7320, 7560, 1965, 555}},
        {"lblnome", {3240, 7560, 1275, 555}},   {"Label12", {120, 7560, 3135, 615}},
        {"lblnome1", {120, 6480, 165, 420}},    {"Label14", {0, 5520, 1425, 420}},
        {"Label5", {2040, 2160, 6615, 615}},    {"lblconto", {0, 2280, 1575, 495}},
        {"Label11", {0, 1320, 1575, 375}},      {"Label3", {7440, 3360, 2340, 495}},
        {"Label1", {3840, 3360, 2520, 495}},    {"lblScore2", {8310, 4080, 555, 885}},
        {"lblScore1", {4830, 4080, 540, 885}},  {"Image1", {480, 1680, 480, 480}},
        {"lblNum2", {4155, 0, 345, 1185}},      {"Label4", {5880, 0, 615, 975}},
        {"Label2", {2400, 0, 615, 975}},        {"lblNum1", {840, 0, 345, 1185}},
        {"lblScore", {1080, 4080, 555, 885}},   {"lblMessage", {1680, 2040, 6615, 615}},
        {"Label6", {240, 3360, 2565, 495}},
    };
    for (const auto &[name, rect] : rows)
        QTest::newRow(name) << QString::fromLatin1(name) << rect;
}

void TestTavola::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipsRect);
    auto *w = m_window->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->parentWidget(), m_window->centralWidget());
    const QRect px(twipsRect.x() / 15, twipsRect.y() / 15, twipsRect.width() / 15, twipsRect.height() / 15);
    QCOMPARE(w->geometry(), px);
}

void TestTavola::creationTexts()
{
    TavolaUi &ui = m_window->ui();
    QCOMPARE(ui.lblconto->text(), QStringLiteral("00.00.00"));
    QCOMPARE(ui.Label12->text(), QStringLiteral("Il record  è di "));
    QCOMPARE(ui.lblnome->text(), QStringLiteral("nome"));
    for (Etichetta *counter : {ui.lblScore, ui.lblScore1, ui.lblScore2, ui.lblpunti})
        QCOMPARE(counter->text(), QStringLiteral("0"));
    for (Etichetta *empty : {ui.lblNum1, ui.lblNum2, ui.lblMessage, ui.Label5, ui.lblnome1})
        QVERIFY(empty->text().isEmpty());
    QCOMPARE(ui.cmdNext->text(), QStringLiteral("&Nuovo calcolo"));
    QCOMPARE(ui.cmdExit->text(), QStringLiteral("E&xit"));
    QVERIFY(!ui.cmdNext->isEnabled());
    QCOMPARE(ui.txtAnswer->maxLength(), 4);
    QTest::keyClicks(ui.txtAnswer, QStringLiteral("12345"));
    QCOMPARE(ui.txtAnswer->text(), QStringLiteral("1234"));
}

void TestTavola::fontsResolveToShippedFaces()
{
    TavolaUi &ui = m_window->ui();
    struct Expect { QWidget *w; const char *family; int pixels; bool bold; bool italic; };
    const Expect rows[] = {
        {ui.txtAnswer, "Liberation Sans", 64, true, false},
        {ui.cmdNext, "Liberation Sans", 11, true, false},
        {ui.lblScore, "Liberation Serif", 48, true, false},
        {ui.lblMessage, "Liberation Sans", 32, true, true},
        {ui.Label11, "Liberation Sans", 13, false, false},
        {ui.lblnome1, "Liberation Sans", 18, true, false},
        {ui.Label2, "Liberation Sans", 64, false, false},
    };
    for (const Expect &e : rows) {
        const QFontInfo info(e.w->font());
        QCOMPARE(info.family(), QString::fromLatin1(e.family));
        QCOMPARE(info.pixelSize(), e.pixels);
        QCOMPARE(info.bold(), e.bold);
        QCOMPARE(info.italic(), e.italic);
    }
    // Arial Black: the heaviest face the sans family has.
    QVERIFY(QFontInfo(ui.lblconto->font()).weight() >= QFont::Bold);
}

void TestTavola::coloursAndTransparency()
{
    TavolaUi &ui = m_window->ui();
    QCOMPARE(ui.lblMessage->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(ui.Label6->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    QCOMPARE(ui.lblnome1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(ui.txtAnswer->palette().color(QPalette::Base), QColor(255, 255, 128));
    QCOMPARE(ui.txtAnswer->palette().color(QPalette::Text), QColor(0, 0, 255));
    QVERIFY(ui.lblNum1->autoFillBackground());
    QCOMPARE(ui.lblNum1->palette().color(QPalette::Window), QColor(255, 255, 0));
    QVERIFY(!ui.lblScore->autoFillBackground());

    // Over a painted background a transparent label shows only its text.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    ui.sfondo->PaintBackground(7);
    const QImage shot = m_window->centralWidget()->grab().toImage();
    const QPoint emptyPartOfMessage = ui.lblMessage->geometry().center();
    QCOMPARE(QColor(shot.pixel(emptyPartOfMessage)).red(), 70);
    QCOMPARE(QColor(shot.pixel(ui.lblNum1->geometry().center() + QPoint(0, 30))), QColor(255, 255, 0));
}

void TestTavola::stackingKeepsCommand1Hidden()
{
    TavolaUi &ui = m_window->ui();
    m_window->show();
    QCOMPARE(ui.sfondo->childAt(ui.Command1->geometry().center()), ui.cmdNext);
    QCOMPARE(ui.sfondo->childAt(ui.txtAnswer->geometry().center()), ui.txtAnswer);
    QCOMPARE(ui.sfondo->childAt(ui.cmdExit->geometry().center()), ui.cmdExit);
}

void TestTavola::tabOrder()
{
    TavolaUi &ui = m_window->ui();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    ui.cmdExit->setFocus();
    QList<QWidget *> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    // cmdNext is skipped while disabled.
    QCOMPARE(visited, (QList<QWidget *>{ui.txtAnswer, ui.Command1, ui.cmdExit, ui.txtAnswer}));
    ui.cmdNext->setEnabled(true);
    ui.cmdExit->setFocus();
    QTest::keyClick(ui.cmdExit, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui.cmdNext);
    for (QWidget *label : m_window->findChildren<QLabel *>())
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
}

void TestTavola::menuTree()
{
    const QList<QAction *> menus = m_window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("wp"));
    QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("Ciao"));
    const QList<QAction *> wpItems = menus[0]->menu()->actions();
    QCOMPARE(wpItems.size(), 1);
    QCOMPARE(wpItems[0]->objectName(), QStringLiteral("v"));
    const QList<QAction *> ciaoItems = menus[1]->menu()->actions();
    QCOMPARE(ciaoItems.size(), 2);
    QCOMPARE(ciaoItems[0]->objectName(), QStringLiteral("a"));
    QCOMPARE(ciaoItems[1]->objectName(), QStringLiteral("Next"));
    QCOMPARE(ciaoItems[1]->text(), QStringLiteral("nuovo"));
    for (QAction *item : {wpItems[0], ciaoItems[0], ciaoItems[1]}) {
        QVERIFY(item->isEnabled() && item->isVisible() && !item->isCheckable());
        QVERIFY(item->shortcut().isEmpty());
        QVERIFY(!item->text().isEmpty());
    }
}

void TestTavola::autoSizeRefitsToText()
{
    TavolaUi &ui = m_window->ui();
    const QRect before = ui.lblnome1->geometry();
    ui.lblnome1->setCaption(QStringLiteral("Margherita"));
    QCOMPARE(ui.lblnome1->geometry().topLeft(), before.topLeft());
    QVERIFY(ui.lblnome1->width() > 80);
    QVERIFY(ui.lblnome1->width() >= ui.lblnome1->fontMetrics().horizontalAdvance(QStringLiteral("Margherita")) + 2);
    ui.lblnome1->setCaption(QString());
    QVERIFY(ui.lblnome1->width() < 20); // a small empty bordered box

    // A caption ending in a line break grows to two lines.
    const int oneLine = ui.lblpunti->height();
    ui.lblpunti->setCaption(QStringLiteral("12\r\n"));
    QVERIFY2(ui.lblpunti->height() >= 2 * ui.lblpunti->fontMetrics().height(),
             qPrintable(QString::number(ui.lblpunti->height())));
    QVERIFY(ui.lblpunti->height() > oneLine);

    // A label without auto-size keeps its box.
    const QRect message = ui.lblMessage->geometry();
    ui.lblMessage->setCaption(QStringLiteral("Esatto! Bartolomeo Maria Giuseppe sei forte!"));
    QCOMPARE(ui.lblMessage->geometry(), message);
}

void TestTavola::backgroundBands_data()
{
    QTest::addColumn<int>("tinta");
    QTest::addColumn<int>("height");
    for (int tinta : {0, 7, 14})
        QTest::addRow("tinta %d", tinta) << tinta << 554;
    QTest::addRow("tall image") << 3 << 1000;
    QTest::addRow("short image") << 3 << 300;
}

void TestTavola::backgroundBands()
{
    QFETCH(int, tinta);
    QFETCH(int, height);
    QImage image(50, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    paintBands(image, tinta);
    const int rg = 10 * tinta;
    for (int y = 0; y < height; ++y) {
        // Row y belongs to the band i with i*H/256 <= y < (i+1)*H/256.
        int band = y * 256 / height;
        while ((band + 1) * height / 256 <= y)
            ++band;
        while (band * height / 256 > y)
            --band;
        for (int x : {0, 49})
            QCOMPARE(QColor(image.pixel(x, y)), QColor(rg, rg, band));
    }
    QCOMPARE(QColor(image.pixel(0, height - 1)).blue(), 255);
}

void TestTavola::blackOutAndResize()
{
    Sfondo *sfondo = m_window->ui().sfondo;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    sfondo->PaintBackground(14);
    QCOMPARE(sfondo->backing().size(), QSize(792, 554));
    QCOMPARE(QColor(sfondo->backing().pixel(10, 0)), QColor(140, 140, 0));
    QCOMPARE(QColor(sfondo->backing().pixel(10, 553)), QColor(140, 140, 255));

    // Resized after painting: the old painting stays until the next one.
    m_window->resize(m_window->width() + 100, m_window->height() + 100);
    QTRY_COMPARE(sfondo->size(), QSize(892, 654));
    QCOMPARE(sfondo->backing().size(), QSize(792, 554));
    sfondo->PaintBackground(14);
    QCOMPARE(sfondo->backing().size(), QSize(892, 654));
    QCOMPARE(QColor(sfondo->backing().pixel(891, 653)), QColor(140, 140, 255));

    sfondo->blackOut();
    const QImage shot = sfondo->grab().toImage();
    for (const QPoint &p : {QPoint(1, 1), QPoint(700, 300), QPoint(891, 653)})
        QCOMPARE(QColor(shot.pixel(p)), QColor(Qt::black));
}

QTEST_MAIN(TestTavola)
#include "tst_tavola.moc"
