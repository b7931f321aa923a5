// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, dealing, judging and the countdown of a scripted game.

#include "gamefixture.h"
#include "ui/sfondo.h"

#include <QClipboard>

#include <random>

namespace {

// The draws that deal 8 x factor with tint 0, when factor is 1 to 9.
std::vector<double> dealing(int factor)
{
    return {0.0, factor / 10.0 + 0.05, 0.5};
}

bool allBlack(const QImage &image)
{
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            if (QColor(image.pixel(x, y)) != QColor(Qt::black))
                return false;
    return true;
}

class UniformRandom final : public RandomSource
{
public:
    double uniform() override { return std::uniform_real_distribution<double>(0, 1)(m_engine); }
    void reseed() override {}

private:
    std::mt19937 m_engine{20261207};
};

} // namespace

class TestGame : public QObject
{
    Q_OBJECT
private slots:
    void startUpRunsInOrderBeforeTheWindowShows();
    void namesAreKeptAsTyped();
    void firstQuestionDealtOncePerLoad();
    void dealingDrawsInOrder();
    void zeroFactorUsesTheReplacementTable();
    void secondFactorOdds();
    void keyFilterKeepsDigitsOnly();
    void scriptedGameUpdatesEveryCaption();
    void enterAfterJudgingDealsAndNeverJudgesTwice();
    void pastedAndOversizedAnswers();
    void emptyNameMessage();
    void clockCountsDownOncePerTick();
    void timeUpEndsOnTheTickAfterZero();
    void minimizingChangesTheCaption();
};

void TestGame::startUpRunsInOrderBeforeTheWindowShows()
{
    FakeWorld world;
    QTemporaryDir dir;
    world.dir = dir.path() + u'/';
    Sessione session(world.services());
    bool hiddenDuringBoxes = true;
    bool timerOffDuringBoxes = true;
    auto check = [&] {
        hiddenDuringBoxes = hiddenDuringBoxes && !session.window()->isVisible();
        timerOffDuringBoxes = timerOffDuringBoxes && !world.timer->isActive();
    };
    world.dialogs.type(QStringLiteral("Anna"), check);
    world.dialogs.answer(MsgBoxCode::Ok, check);
    session.start();

    QCOMPARE(world.dialogs.shown.size(), size_t(2));
    QCOMPARE(world.dialogs.shown[0].kind, ShownBox::Input);
    QCOMPARE(world.dialogs.shown[0].prompt, QStringLiteral("Come ti chiami?"));
    QVERIFY(world.dialogs.shown[0].title.isEmpty()); // the application title
    QCOMPARE(world.dialogs.shown[1].kind, ShownBox::Message);
    QCOMPARE(world.dialogs.shown[1].prompt, QStringLiteral(" Anna vediamo se sei un vero campione  "));
    QCOMPARE(world.dialogs.shown[1].buttons, MsgBoxCode::OkOnly);
    QVERIFY(hiddenDuringBoxes);
    QVERIFY(timerOffDuringBoxes);

    TavolaUi &ui = session.window()->ui();
    const GameState &state = session.window()->partita().state();
    QVERIFY(session.window()->isVisible());
    QCOMPARE(ui.lblnome1->text(), QStringLiteral("Anna"));
    QCOMPARE(ui.lblconto->text(), QStringLiteral("00:15:00"));
    QCOMPARE(int(state.orologio.restanti), 900);
    QCOMPARE(int(state.esatte), 0);
    QCOMPARE(int(state.errate), 0);
    QVERIFY(world.timer->isActive());
    QCOMPARE(state.cartella, world.dir);
    for (Etichetta *counter : {ui.lblScore, ui.lblScore1, ui.lblScore2})
        QCOMPARE(counter->text(), QStringLiteral("0"));
}

void TestGame::namesAreKeptAsTyped()
{
    GameFixture blanks(QStringLiteral("  Niccolò "));
    QCOMPARE(blanks.game().state().nome, QStringLiteral("  Niccolò "));
    QCOMPARE(blanks.ui().lblnome1->text(), QStringLiteral("  Niccolò "));

    GameFixture cancelled{QString()};
    QCOMPARE(cancelled.world.dialogs.shown[1].prompt, QStringLiteral("  vediamo se sei un vero campione  "));
    QVERIFY(cancelled.ui().lblnome1->text().isEmpty());
    QVERIFY(cancelled.ui().lblnome1->width() < 16);
}

void TestGame::firstQuestionDealtOncePerLoad()
{
    GameFixture g;
    QCOMPARE(g.world.random.log, QStringLiteral("uRuu"));
    g.window().hide();
    g.window().show();
    QCoreApplication::processEvents();
    QCOMPARE(g.world.random.log, QStringLiteral("uRuu"));
    QCOMPARE(g.ui().lblNum1->text(), QStringLiteral("8"));
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("5"));
    QCOMPARE(int(g.game().state().risultato), 40);
    QCOMPARE(g.window().windowTitle(), QStringLiteral("Gioca con la Brunilla"));
}

void TestGame::dealingDrawsInOrder()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.ui().txtAnswer->setText(QStringLiteral("99"));
    // tinta from the first draw, factor and r from the two after the reseed
    g.next({0.99, 0.7, 0.3});
    QCOMPARE(g.world.random.log, QStringLiteral("uRuuuRuu"));
    QCOMPARE(int(g.game().state().tinta), 14);
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("7"));
    QCOMPARE(int(g.game().state().risultato), 56);
    QVERIFY(g.ui().txtAnswer->text().isEmpty());
    QVERIFY(!g.ui().txtAnswer->isUndoAvailable()); // no history piling up question after question
    QVERIFY(g.ui().lblMessage->text().isEmpty());
    QVERIFY(!g.ui().cmdNext->isEnabled());
    QCOMPARE(g.window().focusWidget(), g.ui().txtAnswer);
    const QImage &backing = g.ui().sfondo->backing();
    QCOMPARE(QColor(backing.pixel(5, 0)), QColor(140, 140, 0));
    QCOMPARE(QColor(backing.pixel(5, backing.height() - 1)), QColor(140, 140, 255));
}

void TestGame::zeroFactorUsesTheReplacementTable()
{
    GameFixture g(QStringLiteral("Anna"), {0.5, 0.05, 0.75});
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("5")); // r = 75
    QCOMPARE(int(g.game().state().tinta), 7);

    g.answer(QStringLiteral("1"));
    g.next({0.0, 0.0, 0.95});
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("0"));
    QCOMPARE(int(g.game().state().risultato), 0);
    // An empty box reads as 0: right for the product 0.
    QTest::keyClick(g.ui().txtAnswer, Qt::Key_Return);
    QVERIFY(g.ui().lblMessage->text().startsWith(QStringLiteral("Esatto!")));

    g.next({0.0, 0.01, 0.0});
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("1"));
}

void TestGame::secondFactorOdds()
{
    UniformRandom uniform;
    FakeWorld world;
    QTemporaryDir dir;
    world.dir = dir.path() + u'/';
    Services services = world.services();
    services.random = &uniform;
    Tavola window(services);
    constexpr int deals = 20000;
    std::array<int, 10> seen{};
    for (int i = 0; i < deals; ++i) {
        window.partita().cmdNext_Click();
        ++seen[size_t(window.ui().lblNum2->text().toInt())];
    }
    // 10 in 100 for each first draw, plus a share of the zero draws.
    const double expected[10] = {0.010, 0.111, 0.110, 0.110, 0.110, 0.117, 0.110, 0.110, 0.106, 0.106};
    double chiSquare = 0;
    for (int f = 0; f < 10; ++f) {
        const double e = expected[f] * deals;
        chiSquare += (seen[size_t(f)] - e) * (seen[size_t(f)] - e) / e;
    }
    QVERIFY2(chiSquare < 27.9, qPrintable(QStringLiteral("chi-square %1").arg(chiSquare))); // p = 0.001, 9 dof
    QVERIFY(seen[0] > 120 && seen[0] < 280);
}

void TestGame::keyFilterKeepsDigitsOnly()
{
    GameFixture g;
    AnswerBox *box = g.ui().txtAnswer;
    QTest::keyClicks(box, QStringLiteral("a -.,+e/"));
    QVERIFY(box->text().isEmpty());
    QTest::keyClicks(box, QStringLiteral("1x2 3"));
    QCOMPARE(box->text(), QStringLiteral("123"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("12"));
    // Keys without a character work as in any text box.
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->text(), QStringLiteral("2"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, QStringLiteral("9"));
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClicks(box, QStringLiteral("0"));
    QCOMPARE(box->text(), QStringLiteral("209"));
    QTest::keyClicks(box, QStringLiteral("777"));
    QCOMPARE(box->text(), QStringLiteral("2079")); // at most 4 characters
    QCOMPARE(int(g.game().state().errate) + int(g.game().state().esatte), 0);
}

void TestGame::scriptedGameUpdatesEveryCaption()
{
    GameFixture g; // 8 x 5
    TavolaUi &ui = g.ui();
    auto captions = [&] { return QStringList{ui.lblScore->text(), ui.lblScore1->text(), ui.lblScore2->text()}; };

    g.answer(QStringLiteral("40"));
    QCOMPARE(ui.lblMessage->text(), QStringLiteral("Esatto! Anna sei forte!"));
    QCOMPARE(captions(), (QStringList{"1", "0", "1"}));
    QCOMPARE(g.world.sound.played.last(), QStringLiteral("/opt/brunilla/suoni/Esatto.wav"));
    QVERIFY(ui.cmdNext->isEnabled());
    QCOMPARE(g.window().focusWidget(), ui.cmdNext);
    QCOMPARE(ui.txtAnswer->text(), QStringLiteral("40")); // the box keeps the answer

    g.next(dealing(5));
    g.answer(QStringLiteral("41"));
    QCOMPARE(ui.lblMessage->text(), QStringLiteral("Sbagliato!! 40"));
    QCOMPARE(captions(), (QStringList{"1", "1", "2"}));
    QCOMPARE(g.world.sound.played.last(), QStringLiteral("/opt/brunilla/suoni/no.wav"));
    QVERIFY(allBlack(ui.sfondo->backing()));
    QVERIFY(allBlack(ui.sfondo->grab().toImage().copy(600, 100, 190, 120)));
    QCOMPARE(g.window().focusWidget(), ui.cmdNext);

    g.next(dealing(7));
    QVERIFY(!allBlack(ui.sfondo->backing()));
    g.answer(QStringLiteral("056"));
    g.next(dealing(9));
    g.answer(QString()); // empty: reads as 0
    QCOMPARE(ui.lblMessage->text(), QStringLiteral("Sbagliato!! 72"));
    g.next(dealing(3));
    g.answer(QStringLiteral("24"));
    QCOMPARE(captions(), (QStringList{"3", "2", "5"}));
    QCOMPARE(g.world.sound.played.size(), qsizetype(5));
}

void TestGame::enterAfterJudgingDealsAndNeverJudgesTwice()
{
    GameFixture g;
    TavolaUi &ui = g.ui();
    g.answer(QStringLiteral("40"));
    QCOMPARE(g.world.random.log, QStringLiteral("uRuu"));

    // The caret back in the box: Enter presses the default button.
    g.world.random.feed(dealing(6));
    ui.txtAnswer->setFocus();
    QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
    QCOMPARE(ui.lblScore2->text(), QStringLiteral("1"));
    QCOMPARE(g.world.random.log, QStringLiteral("uRuuuRuu"));
    QCOMPARE(ui.lblNum2->text(), QStringLiteral("6"));

    // Enter on the focused button after judging deals too.
    g.answer(QStringLiteral("1"));
    QCOMPARE(g.window().focusWidget(), ui.cmdNext);
    g.world.random.feed(dealing(2));
    QTest::keyClick(ui.cmdNext, Qt::Key_Return);
    QCOMPARE(ui.lblNum2->text(), QStringLiteral("2"));
    QCOMPARE(ui.lblScore2->text(), QStringLiteral("2"));

    // A held Enter repeats nothing.
    QTest::keyClicks(ui.txtAnswer, QStringLiteral("16"));
    QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
    QTest::sendKeyEvent(QTest::KeyAction::Press, ui.txtAnswer, Qt::Key_Return, '\r', Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(ui.cmdNext, &repeat);
    QCOMPARE(ui.lblScore2->text(), QStringLiteral("3"));
}

void TestGame::pastedAndOversizedAnswers()
{
    GameFixture g(QStringLiteral("Anna"), dealing(7)); // 8 x 7 = 56
    TavolaUi &ui = g.ui();
    QGuiApplication::clipboard()->setText(QStringLiteral("56abc"));
    ui.txtAnswer->paste();
    QCOMPARE(ui.txtAnswer->text(), QStringLiteral("56ab"));
    QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
    QCOMPARE(ui.lblScore->text(), QStringLiteral("1"));

    for (const QString &pasted : {QStringLiteral("9E99"), QStringLiteral("1e5"), QStringLiteral("-9e9")}) {
        g.next(dealing(7));
        ui.txtAnswer->setText(pasted);
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        QCOMPARE(ui.lblMessage->text(), QStringLiteral("Sbagliato!! 56"));
    }
    g.next(dealing(7));
    ui.txtAnswer->setText(QStringLiteral("56.5")); // halves go to the even neighbour
    QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
    QVERIFY(ui.lblMessage->text().startsWith(QStringLiteral("Esatto!")));
    QCOMPARE(ui.lblScore->text(), QStringLiteral("2"));
    QCOMPARE(ui.lblScore1->text(), QStringLiteral("3"));
}

void TestGame::emptyNameMessage()
{
    GameFixture g{QString()};
    g.answer(QStringLiteral("40"));
    QCOMPARE(g.ui().lblMessage->text(), QStringLiteral("Esatto!  sei forte!"));
}

void TestGame::clockCountsDownOncePerTick()
{
    GameFixture g;
    g.tick();
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:14:59"));
    g.tick(59);
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:14:00"));
    g.tick();
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:13:59"));
    QCOMPARE(int(g.game().state().orologio.restanti), 839);
}

void TestGame::timeUpEndsOnTheTickAfterZero()
{
    GameFixture g;
    g.tick(900);
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:00:00"));
    QVERIFY(!g.game().ended());
    QCOMPARE(g.world.dialogs.shown.size(), size_t(2));
    g.tick();
    QVERIFY(g.game().ended());
    QVERIFY(g.world.quit);
    QVERIFY(!g.world.timer->isActive());
    QCOMPARE(g.world.dialogs.shown.size(), size_t(3));
    const ShownBox &goodbye = g.world.dialogs.shown.back();
    QCOMPARE(goodbye.prompt, QStringLiteral("Ciao a presto. Ore 0"));
    QCOMPARE(goodbye.title, QStringLiteral("Data ") + QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat));
    g.tick(5);
    QCOMPARE(g.world.dialogs.shown.size(), size_t(3));
}

void TestGame::minimizingChangesTheCaption()
{
    GameFixture g;
    g.window().resize(900, 700);
    QCoreApplication::processEvents();
    QCOMPARE(g.window().windowTitle(), QStringLiteral("Gioca con la Brunilla"));
    g.window().showMinimized();
    QTRY_COMPARE(g.window().windowTitle(), QStringLiteral("Giocare con la tavola pitagorica"));
    g.window().showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(g.window().windowTitle(), QStringLiteral("Giocare con la tavola pitagorica"));
}

QTEST_MAIN(TestGame)
#include "tst_game.moc"
