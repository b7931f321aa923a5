// SPDX-License-Identifier: GPL-3.0-or-later
// The two endings, the new-game command and the record they may store.

#include "gamefixture.h"

#include <QFile>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString kSaved = QStringLiteral("Ok! Ho registrato il tuo record, C A M P I O N E");

} // namespace

class TestEndings : public QObject
{
    Q_OBJECT
private slots:
    void startUpShowsTheStoredRecord();
    void accessKeys();
    void exitWithATieEndsSilently();
    void exitAboveTheRecordStoresAndSaysSo();
    void exitStopsTheCountdownFirst();
    void timeUpSaysGoodbyeThenStores();
    void timeUpWithNothingToStore();
    void failedSaveIsNeverReportedAsSaved();
    void titleBarCloseSkipsTheRecord();
    void newGameNoChangesNothing();
    void newGameYesReloadsTheWindow();
    void newGameWithoutANumberShowsTheNotice();
    void timeUpDuringTheNewGameBoxesTakesOver_data();
    void timeUpDuringTheNewGameBoxesTakesOver();
};

void TestEndings::startUpShowsTheStoredRecord()
{
    QTemporaryDir dir;
    {
        QFile score(dir.filePath(QStringLiteral("tavrec8.txt")));
        QVERIFY(score.open(QIODevice::WriteOnly));
        score.write("7\r\n9\r\n");
        QFile holder(dir.filePath(QStringLiteral("ntavrec8.txt")));
        QVERIFY(holder.open(QIODevice::WriteOnly));
        holder.write("Niccol\xc3\xb2\r\n");
    }
    FakeWorld world;
    world.dir = dir.path() + u'/';
    world.dialogs.type(QStringLiteral("Anna"));
    Sessione session(world.services());
    session.start();
    TavolaUi &ui = session.window()->ui();
    QCOMPARE(ui.lblpunti->text(), QStringLiteral("7\r\n9\r\n"));
    QCOMPARE(ui.lblnome->text(), QStringLiteral("Niccolò\r\n"));
    QVERIFY(ui.lblnome->height() > 555 / 15); // grown past its one-line box

    // The first run creates both files, empty.
    GameFixture first;
    QCOMPARE(bytesOf(scoreFile(first.world.dir)), QByteArray());
    QCOMPARE(bytesOf(holderFile(first.world.dir)), QByteArray());
    QVERIFY(first.ui().lblpunti->text().isEmpty());
}

void TestEndings::accessKeys()
{
    GameFixture g;
    QVERIFY(QTest::qWaitForWindowActive(&g.window()));
    // Through the window, as the platform delivers keys, so shortcuts apply.
    QWindow *window = g.window().windowHandle();
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier); // disabled: nothing
    QTest::qWait(200); // an access key presses its button after a short animation
    QCOMPARE(g.world.random.log, QStringLiteral("uRuu"));
    g.answer(QStringLiteral("40"));
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(g.world.random.log, QStringLiteral("uRuuuRuu"));
    QVERIFY(!g.world.quit);
    QTest::keyClick(window, Qt::Key_X, Qt::AltModifier);
    QTRY_VERIFY(g.world.quit);
}

void TestEndings::exitWithATieEndsSilently()
{
    GameFixture g;
    g.answer(QStringLiteral("1")); // wrong: the score stays 0, the record is empty
    g.ui().cmdExit->click();
    QVERIFY(g.world.quit);
    QCOMPARE(g.world.dialogs.shown.size(), size_t(2));
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray());
}

void TestEndings::exitAboveTheRecordStoresAndSaysSo()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    bool quitBeforeClosing = true;
    g.world.dialogs.answer(MsgBoxCode::Ok, [&] { quitBeforeClosing = g.world.quit; });
    g.ui().cmdExit->click();
    QCOMPARE(g.world.dialogs.shown.back().prompt, kSaved);
    QVERIFY(g.world.dialogs.shown.back().title.isEmpty());
    QVERIFY(!quitBeforeClosing);
    QVERIFY(g.world.quit);
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray("1\r\n"));
    QCOMPARE(bytesOf(holderFile(g.world.dir)), QByteArray("Anna\r\n"));
}

void TestEndings::exitStopsTheCountdownFirst()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.world.dialogs.answer(MsgBoxCode::Ok, [&] { g.tick(1000); });
    g.ui().cmdExit->click();
    // Only the record message: no goodbye box on top of it.
    QCOMPARE(g.world.dialogs.shown.size(), size_t(3));
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:15:00"));
}

void TestEndings::timeUpSaysGoodbyeThenStores()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.tick(901);
    QCOMPARE(g.world.dialogs.shown.size(), size_t(4));
    QCOMPARE(g.world.dialogs.shown[2].prompt, QStringLiteral("Ciao a presto. Ore 0"));
    QVERIFY(g.world.dialogs.shown[2].title.startsWith(QStringLiteral("Data ")));
    QCOMPARE(g.world.dialogs.shown[3].prompt, kSaved + u'"');
    QVERIFY(g.world.quit);
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray("1\r\n"));
}

void TestEndings::timeUpWithNothingToStore()
{
    GameFixture g;
    g.tick(901);
    QCOMPARE(g.world.dialogs.shown.size(), size_t(3));
    QVERIFY(g.world.quit);
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray());
}

void TestEndings::failedSaveIsNeverReportedAsSaved()
{
    GameFixture g;
    QFile::remove(holderFile(g.world.dir));
    QVERIFY(QDir(g.world.dir).mkpath(QStringLiteral("ntavrec8.txt/x")));
    g.answer(QStringLiteral("40"));
    g.ui().cmdExit->click();
    const QString message = g.world.dialogs.shown.back().prompt;
    QVERIFY(message != kSaved);
    QVERIFY(message.contains(QStringLiteral("non sono riuscita a registrare")));
    QVERIFY(g.world.quit);
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray());
}

void TestEndings::titleBarCloseSkipsTheRecord()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.window().close();
    QVERIFY(g.world.quit);
    QCOMPARE(g.world.dialogs.shown.size(), size_t(2));
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray());
}

void TestEndings::newGameNoChangesNothing()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.world.dialogs.answer(MsgBoxCode::No, [&] { g.tick(3); });
    g.ui().Next->trigger();
    const ShownBox &confirm = g.world.dialogs.shown.back();
    QCOMPARE(confirm.prompt, QStringLiteral("INIZIAMO UNA NUOVA GARA  ?"));
    QCOMPARE(confirm.buttons, 292);
    QCOMPARE(confirm.title, QStringLiteral("INIZIARE NUOVA GARA"));
    QCoreApplication::processEvents();
    QCOMPARE(g.world.timersMade, 1);
    QCOMPARE(g.ui().lblScore->text(), QStringLiteral("1"));
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:14:57")); // counted while the box was open
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("5"));
    QVERIFY(g.world.timer->isActive());
}

void TestEndings::newGameYesReloadsTheWindow()
{
    GameFixture g;
    g.answer(QStringLiteral("40"));
    g.answer(QString());
    g.tick(10);
    Tavola *old = &g.window();
    g.world.dialogs.answer(MsgBoxCode::Yes);
    g.world.dialogs.type(QStringLiteral("5"));
    g.world.dialogs.type(QStringLiteral("Luca"));
    g.world.dialogs.answer(MsgBoxCode::Ok);
    g.world.random.feed({0.0, 0.35, 0.0});
    g.ui().Next->trigger();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    const auto &shown = g.world.dialogs.shown;
    QCOMPARE(shown.size(), size_t(6));
    QCOMPARE(shown[3].prompt, QStringLiteral("Tavola pitagorica fino al numero? "));
    QCOMPARE(shown[4].prompt, QStringLiteral("Come ti chiami?"));
    QVERIFY(&g.window() != old);
    QCOMPARE(g.world.timersMade, 2);
    QCOMPARE(g.ui().lblnome1->text(), QStringLiteral("Luca"));
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:15:00"));
    for (Etichetta *counter : {g.ui().lblScore, g.ui().lblScore1, g.ui().lblScore2})
        QCOMPARE(counter->text(), QStringLiteral("0"));
    QCOMPARE(g.ui().lblNum2->text(), QStringLiteral("3"));
    QVERIFY(!g.ui().cmdNext->isEnabled());
    QCOMPARE(g.window().windowTitle(), QStringLiteral("Gioca con la Brunilla"));
    // The abandoned game never touches the record.
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray());
    g.tick();
    QCOMPARE(g.ui().lblconto->text(), QStringLiteral("00:14:59"));
}

void TestEndings::newGameWithoutANumberShowsTheNotice()
{
    GameFixture g;
    g.world.dialogs.answer(MsgBoxCode::Yes);
    g.world.dialogs.type(QString());
    g.world.dialogs.answer(MsgBoxCode::Ok);
    g.world.dialogs.type(QStringLiteral("Anna"));
    g.ui().Next->trigger();
    QCOMPARE(g.world.dialogs.shown[4].prompt, QStringLiteral(" Anna siccome non hai scelto arriviamo fino al 10."));
    QCoreApplication::processEvents();
    QCOMPARE(g.world.timersMade, 2);
}

void TestEndings::timeUpDuringTheNewGameBoxesTakesOver_data()
{
    QTest::addColumn<int>("openBox");
    QTest::newRow("confirmation") << 0;
    QTest::newRow("number box") << 1;
    QTest::newRow("notice") << 2;
}

void TestEndings::timeUpDuringTheNewGameBoxesTakesOver()
{
    QFETCH(int, openBox);
    GameFixture g;
    g.answer(QStringLiteral("40"));
    // Time runs out while the chosen box is open; the boxes of the ending
    // that opens inside it take the replies after it.
    auto runOutIf = [&](int box) -> std::function<void()> {
        if (box != openBox)
            return {};
        return [&g] { g.tick(901); };
    };
    g.world.dialogs.answer(MsgBoxCode::Yes, runOutIf(0));
    if (openBox > 0)
        g.world.dialogs.type(QString(), runOutIf(1));
    if (openBox > 1)
        g.world.dialogs.answer(MsgBoxCode::Ok, runOutIf(2));
    g.ui().Next->trigger();
    QCoreApplication::processEvents();

    QVERIFY(g.world.quit);
    QCOMPARE(g.world.timersMade, 1); // never reloaded
    QStringList prompts;
    for (const ShownBox &box : g.world.dialogs.shown)
        prompts << box.prompt;
    QCOMPARE(prompts.count(QStringLiteral("Come ti chiami?")), 1);
    QCOMPARE(prompts.last(), kSaved + u'"');
    QCOMPARE(bytesOf(scoreFile(g.world.dir)), QByteArray("1\r\n"));
}

QTEST_MAIN(TestEndings)
#include "tst_endings.moc"
