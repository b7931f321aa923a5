// SPDX-License-Identifier: GPL-3.0-or-later
// The window as its layout builds it and its painted background; then a
// scripted game: start-up, dealing, judging and what a screen reader is
// told of it, both endings and the new-game command. The key filter and
// what Orca says are heard in the end-to-end test, with real keys.

#include "fixture.h"
#include "ui/fonts.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QProxyStyle>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kSaved = QStringLiteral("Ok! Ho registrato il tuo record, C A M P I O N E");
const QString kSorry =
    QStringLiteral("Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!");
const QColor kYellow(255, 255, 0), kCyan(0, 255, 255), kBlue(0, 0, 255), kRed(255, 0, 0), kGreen(0, 128, 0);

// A control as the layout has it: place in twips, font size in pixels (0:
// the system's), flags b(old) i(talic) s(erif) B(order) C(entred) Y(ellow
// box), text colour.
struct Expect
{
    const char *name;
    QRect twips;
    int pixels;
    QByteArray flags;
    QColor colour;
};

QColor pixel(QWidget *w, QPoint at)
{
    return w->grab().toImage().pixelColor(at);
}

QString accessible(QObject *object, QAccessible::Text which = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(object)->text(which);
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT
private slots:
    void windowAsBuilt()
    {
        Game game;
        const Services services = game.services(); // the window keeps a reference
        Tavola window(services);
        TavolaUi &ui = window.ui();
        const Expect rows[] = {
            {"txtAnswer", {8160, 0, 2775, 1200}, 64, "b", kBlue},   {"cmdNext", {4200, 5280, 1815, 1095}, 11, "b", {}},
            {"cmdExit", {7680, 5280, 2055, 1095}, 11, "b", {}},     {"Command1", {4680, 5640, 855, 615}, 0, "", {}},
            {"lblpunti", {9600, 7560, 270, 555}, 32, "", kYellow},  {"Label13", {7320, 7560, 1965, 555}, 32, "", kYellow},
            {"lblnome", {3240, 7560, 1275, 555}, 32, "b", kYellow}, {"Label12", {120, 7560, 3135, 615}, 32, "", kYellow},
            {"lblnome1", {120, 6480, 165, 420}, 18, "bB", kGreen},  {"Label14", {0, 5520, 1425, 420}, 18, "BC", kCyan},
            {"Label5", {2040, 2160, 6615, 615}, 32, "biC", kRed},   {"lblconto", {0, 2280, 1575, 495}, 16, "bB", kYellow},
            {"Label11", {0, 1320, 1575, 375}, 13, "", kYellow},     {"Label3", {7440, 3360, 2340, 495}, 24, "B", kBlue},
            {"Label1", {3840, 3360, 2520, 495}, 24, "B", kRed},     {"lblScore2", {8310, 4080, 555, 885}, 48, "bsBC", kBlue},
            {"lblScore1", {4830, 4080, 540, 885}, 48, "bsBC", kRed}, {"Image1", {480, 1680, 480, 480}, 0, "", {}},
            {"lblNum2", {4155, 0, 345, 1185}, 64, "bBCY", kBlue},   {"Label4", {5880, 0, 615, 975}, 64, "bC", kYellow},
            {"Label2", {2400, 0, 615, 975}, 64, "C", kYellow},      {"lblNum1", {840, 0, 345, 1185}, 64, "bBCY", kBlue},
            {"lblScore", {1080, 4080, 555, 885}, 48, "bsBC", {}},   {"lblMessage", {1680, 2040, 6615, 615}, 32, "biC", kRed},
            {"Label6", {240, 3360, 2565, 495}, 24, "BC", kCyan},
        };
        for (const Expect &e : rows) {
            auto *w = window.findChild<QWidget *>(QString::fromLatin1(e.name));
            QVERIFY2(w && w->parentWidget() == window.centralWidget() && w->geometry() == QRect(e.twips.topLeft() / 15, e.twips.size() / 15), e.name);
            const QFontInfo font(w->font());
            QVERIFY2(!e.pixels || (font.pixelSize() == e.pixels && font.bold() == e.flags.contains('b') && font.italic() == e.flags.contains('i')
                                   && font.family() == (e.flags.contains('s') ? u"Liberation Serif" : u"Liberation Sans")), e.name);
            QVERIFY2(!e.colour.isValid() || w->palette().color(w->foregroundRole()) == e.colour, e.name);
            if (auto *label = qobject_cast<Etichetta *>(w))
                QVERIFY2(label->contentsMargins().left() == int(e.flags.contains('B')) && label->autoFillBackground() == e.flags.contains('Y')
                             && bool(label->alignment() & Qt::AlignHCenter) == e.flags.contains('C'), e.name);
        }
        QCOMPARE(window.windowTitle() + ui.lblconto->text() + ui.lblnome->text(), QStringLiteral("Gioca con la Brunilla00.00.00nome"));
        QVERIFY(!window.windowIcon().isNull() && game.timer->active && !ui.cmdNext->isEnabled());
        QCOMPARE(ui.txtAnswer->toolTip() + ui.cmdNext->toolTip() + ui.cmdExit->toolTip() + ui.lblScore->toolTip() + ui.Image1->toolTip(),
                 QStringLiteral("Inserisci il risultato e  premi il tasto  InvioGoTi prego resta ancora, forse riuscirai a farmi uscire "
                                "Questo è il tuo punteggio. Forza con il  recordClicca sotto di me per impostare il Timer"));
        QTest::keyClicks(ui.txtAnswer, QStringLiteral("12345"));
        QCOMPARE(ui.txtAnswer->text(), QStringLiteral("1234"));
        QCOMPARE(ui.txtAnswer->palette().color(QPalette::Base), QColor(255, 255, 128));
        QVERIFY(pixel(ui.cmdNext, {6, 4}) == QColor(0, 192, 192) && pixel(ui.cmdExit, {6, 4}) == QColor(192, 0, 192));
        QCOMPARE(ui.lblMessage->cursor().pixmap().size() + ui.sfondo->cursor().pixmap().size(), QSize(64, 64));
        QString menus = ui.Next->text();
        for (QAction *menu : window.menuBar()->actions())
            for (QAction *item : menu->menu()->actions())
                menus += u' ' + menu->menu()->objectName() + u'/' + item->objectName();
        QCOMPARE(menus, QStringLiteral("nuovo wp/v Ciao/a Ciao/Next"));
        QCOMPARE(pixel(ui.lblconto, {0, 10}), QColor(Qt::black)); // a flat border, black whatever the text colour

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.resize(1276, 995); // as a tiling desktop would: the window keeps its layout's size
        QCOMPARE(ui.sfondo->size(), QSize(792, 554));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        // The text box and the buttons lie above the labels, cmdNext above Command1.
        for (const auto &[place, on] : {std::pair<QWidget *, QWidget *>{ui.txtAnswer, ui.txtAnswer}, {ui.cmdExit, ui.cmdExit},
                                        {ui.cmdNext, ui.cmdNext}, {ui.Command1, ui.cmdNext}})
            QCOMPARE(ui.sfondo->childAt(place->geometry().center()), on);
        QString order; // from cmdExit, with cmdNext disabled, then enabled
        for (bool nextEnabled : {false, true}) {
            ui.cmdNext->setEnabled(nextEnabled);
            ui.cmdExit->setFocus();
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                order += QApplication::focusWidget()->objectName() + u' ';
            }
        }
        QCOMPARE(order, QStringLiteral("txtAnswer Command1 cmdExit txtAnswer cmdNext txtAnswer Command1 cmdExit "));
    }

    void boxesLook()
    {
        const QFont system = QApplication::font();
        useLayoutFaceThroughout();
        const QFont chosen = QApplication::font();
        QApplication::setFont(system);
        QVERIFY(QFontInfo(chosen).family() == u"Liberation Sans" && chosen.pointSizeF() == system.pointSizeF()); // the desktop's size kept
        struct PicturedBoxes final : QProxyStyle // as some desktops have them
        {
            int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *returned) const override
            {
                return hint == SH_DialogButtonBox_ButtonsHaveIcons ? 1 : QProxyStyle::styleHint(hint, option, widget, returned);
            }
        };
        useWordOnlyBoxButtons();
        static_cast<QProxyStyle *>(QApplication::style())->setBaseStyle(new PicturedBoxes);
        const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        for (QAbstractButton *button : buttons.buttons())
            QVERIFY(button->icon().isNull() && !button->text().isEmpty());
    }

    void background()
    {
        for (const auto &[tinta, height] : {std::pair{0, 554}, {7, 554}, {14, 554}, {3, 1000}, {3, 300}}) {
            QImage image(50, height + 10, QImage::Format_RGB32);
            paintBands(image, {0, 0}, {50, height}, tinta, image.rect());
            for (int y = 0, band = 0; y < height; ++y) {
                while ((band + 1) * height / 256 <= y) // row y lies in band i when i*H/256 <= y < (i+1)*H/256
                    ++band;
                QVERIFY(image.pixelColor(0, y) == QColor(10 * tinta, 10 * tinta, band) && image.pixelColor(49, y) == image.pixelColor(0, y));
            }
            QCOMPARE(image.pixelColor(0, height), QColor(Qt::black)); // black below the painting
        }
        Sfondo sfondo; // resized after a painting, it keeps the old one until the next
        sfondo.resize(792, 554);
        sfondo.PaintBackground(14);
        sfondo.resize(892, 654);
        QImage direct(900, 660, QImage::Format_RGB32); // painted straight into an image, at an offset
        direct.fill(Qt::white);
        sfondo.render(&direct, QPoint(8, 6));
        const QImage drawn = sfondo.grab().toImage().convertToFormat(QImage::Format_RGB32); // through a painter
        QVERIFY(drawn.pixelColor(791, 553) == QColor(140, 140, 255) && drawn.pixelColor(891, 653) == QColor(Qt::black));
        QVERIFY(direct.copy(8, 6, 892, 654) == drawn && direct.pixelColor(7, 5) == QColor(Qt::white));
    }

    void startUpAndDealing()
    {
        Game g;
        QFile score(g.folder.filePath(QStringLiteral("tavrec8.txt")));
        QVERIFY(score.open(QIODevice::WriteOnly) && score.write("7\r\n9\r\n") == 6);
        score.close();
        bool hiddenAndStopped = false;
        g.start(QStringLiteral("  Niccolò "), {0.5, 0.05, 0.75},
                [&] { hiddenAndStopped = !g.window().isVisible() && !g.window().centralWidget() && !g.timer->active; });
        QVERIFY(hiddenAndStopped); // the boxes come before the window and its building, with no countdown
        QCOMPARE(g.prompts + g.titles, (QStringList{"Come ti chiami?", "   Niccolò  vediamo se sei un vero campione  ", "", ""}));
        QCOMPARE(g.buttons, (QList<int>{-1, MsgBoxCode::OkOnly}));
        g.window().hide();
        g.window().show();
        QCoreApplication::processEvents();
        QCOMPARE(g.log, QStringLiteral("uRuu")); // one deal, once the window shows
        // A first draw of 0, then r = 75: 5; the tint from the draw before the reseed.
        QCOMPARE(g.ui().lblconto->text() + g.ui().lblNum1->text() + g.ui().lblNum2->text() + QString::number(g.state().tinta),
                 QStringLiteral("00:15:00857"));
        QVERIFY(g.state().orologio.restanti == 900 && g.state().risultato == 40 && g.timer->active);
        QCOMPARE(g.state().cartella, g.folder.path() + u'/');
        QCOMPARE(g.ui().lblnome1->text() + g.ui().lblpunti->text() + g.counters(), QStringLiteral("  Niccolò 7\r\n9\r\n0,0,0"));
        QVERIFY(g.ui().lblpunti->height() > 555 / 15); // grown past its one-line box
        QVERIFY(g.record() == QLatin1String("7\r\n9\r\n|") && QFile::exists(g.folder.filePath(QStringLiteral("ntavrec8.txt")))); // the missing holder file made, empty
        g.answer(QStringLiteral("40"));
        QCOMPARE(g.ui().lblMessage->text(), QStringLiteral("Esatto!   Niccolò  sei forte!"));
        g.next({0.99, 0.7, 0.3});
        QCOMPARE(g.log, QStringLiteral("uRuuuRuu"));
        QVERIFY(g.state().tinta == 14 && g.state().risultato == 56 && !g.ui().cmdNext->isEnabled());
        QVERIFY(g.ui().txtAnswer->text().isEmpty() && !g.ui().txtAnswer->isUndoAvailable() && g.ui().lblMessage->text().isEmpty());
        QCOMPARE(g.window().focusWidget(), g.ui().txtAnswer);
        QCOMPARE(pixel(g.ui().sfondo, {780, 1}), QColor(140, 140, 0));
        g.answer(QStringLiteral("1"));
        g.next({0.0, 0.0, 0.95}); // r = 95: the factor stays 0, and an empty box reads as 0
        QTest::keyClick(g.ui().txtAnswer, Qt::Key_Return);
        QCOMPARE(g.ui().lblNum2->text() + g.counters(), QStringLiteral("02,1,3"));
        Game cancelled; // an empty name is taken as it is
        cancelled.start(QString());
        QVERIFY(cancelled.prompts[1] == QLatin1String("  vediamo se sei un vero campione  ") && cancelled.ui().lblnome1->width() < 16);
    }

    void judging()
    {
        Game g;
        g.start(); // 8 x 5
        TavolaUi &ui = g.ui();
        QVERIFY(QTest::qWaitForWindowActive(&g.window()));
        g.tick();
        QString names; // each piece of information under an Italian name, for a screen reader's review
        for (QObject *o : std::initializer_list<QObject *>{ui.lblNum1, ui.lblNum2, ui.txtAnswer, ui.lblScore, ui.lblScore1,
                                                           ui.lblScore2, ui.lblconto, ui.lblnome1, ui.lblpunti, ui.lblnome})
            names += accessible(o) + u'|';
        QCOMPARE(names, QStringLiteral("Primo numero: 8|Secondo numero: 5|8 per 5|Risposte esatte: 0|Risposte errate: 0|"
                                       "Risposte totali: 0|Tempo restante: 00:14:59|Sfidante: Anna|Punti del record: |Record di: |"));
        QCOMPARE(accessible(ui.cmdNext, QAccessible::Description), QStringLiteral("Passa alla domanda successiva")); // not "Go"
        g.answer(QStringLiteral("40"));
        QCOMPARE(ui.lblMessage->text() + g.counters() + ui.txtAnswer->text(), QStringLiteral("Esatto! Anna sei forte!1,0,140"));
        QCOMPARE(QApplication::focusWidget(), ui.cmdNext); // which a screen reader reads with the verdict
        QCOMPARE(accessible(ui.cmdNext, QAccessible::Description), ui.lblMessage->text());
        g.next(dealing(5));
        g.answer(QStringLiteral("41"));
        QCOMPARE(ui.lblMessage->text() + g.counters() + accessible(ui.cmdNext, QAccessible::Description), QStringLiteral("Sbagliato!! 401,1,2Sbagliato!! 40"));
        QCOMPARE(g.played, (QStringList{"/opt/brunilla/suoni/Esatto.wav", "/opt/brunilla/suoni/no.wav"}));
        QCOMPARE(pixel(ui.sfondo, {700, 500}), QColor(Qt::black));
        // Pasted text counts by its leading number; too big for a whole number, it is wrong.
        for (const char *pasted : {"056", "56ab", "56.5", "9E99", "1e5", "-9e9"}) {
            g.next(dealing(7));
            ui.txtAnswer->setText(QString::fromLatin1(pasted));
            QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        }
        QCOMPARE(ui.lblMessage->text() + g.counters() + accessible(ui.txtAnswer), QStringLiteral("Sbagliato!! 564,4,88 per 7"));
        // Enter after judging deals, from the box too, and never judges again; a held Enter repeats nothing.
        g.draws = dealing(6);
        ui.txtAnswer->setFocus();
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        g.answer(QStringLiteral("48"));
        g.draws = dealing(2);
        QTest::keyClick(ui.cmdNext, Qt::Key_Return);
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(ui.txtAnswer, &held);
        QCOMPARE(ui.lblNum2->text() + g.counters() + QString::number(g.log.count(u'R')), QStringLiteral("25,4,910"));
        g.window().showMinimized(); // minimized, the caption changes, and a screen reader reads it
        QTRY_COMPARE(g.window().windowTitle(), QStringLiteral("Giocare con la tavola pitagorica"));
        QCOMPARE(accessible(&g.window()), QStringLiteral("Giocare con la tavola pitagorica"));
    }

    void endings()
    {
        const QString goodbye = QStringLiteral("Ciao a presto. Ore 0"), sorry = QStringLiteral(
            "Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!");
        // The answers (r: right, w: wrong), how the game ends (blocked: exit, the
        // holder file unreplaceable), the boxes shown, the record files after.
        const std::tuple<const char *, QString, QStringList, const char *> rows[] = {
            {"w", QStringLiteral("exit"), {}, "|"},            {"rw", QStringLiteral("exit"), {kSaved}, "1\r\n|Anna\r\n"},
            {"", QStringLiteral("time"), {goodbye}, "|"},      {"r", QStringLiteral("time"), {goodbye, kSaved + u'"'}, "1\r\n|Anna\r\n"},
            {"r", QStringLiteral("close"), {}, "|"},           {"r", QStringLiteral("blocked"), {sorry}, "|"},
        };
        for (const auto &[answers, how, boxes, record] : rows) {
            Game g;
            g.start();
            for (const char answer : std::string_view(answers)) {
                g.answer(answer == 'r' ? QStringLiteral("40") : QStringLiteral("1"));
                g.next(dealing(5));
            }
            if (how == QLatin1String("blocked"))
                QVERIFY(QFile::remove(g.folder.filePath(QStringLiteral("ntavrec8.txt"))) && QDir(g.folder.path()).mkpath(QStringLiteral("ntavrec8.txt/x")));
            bool quitEarly = false;
            g.replies = {{MsgBoxCode::Ok, {}, [&] { quitEarly = g.quit; }}};
            if (how == QLatin1String("time")) {
                g.tick(900);
                QVERIFY(g.ui().lblconto->text() == QLatin1String("00:00:00") && !g.quit); // the end comes on the tick after
                g.tick();
                QCOMPARE(g.titles[2], QStringLiteral("Data ") + QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat));
            } else if (how == QLatin1String("close")) {
                g.window().close();
            } else {
                g.ui().cmdExit->click();
            }
            QTRY_VERIFY2(g.quit || how == u"close", qPrintable(how));
            QVERIFY2(g.quit && !quitEarly && !g.timer->active && g.prompts.mid(2) == boxes && g.record() == QLatin1String(record),
                     qPrintable(how + u' ' + QLatin1String(answers)));
        }
    }

    void newGame()
    {
        Game g;
        g.start();
        g.answer(QStringLiteral("40"));
        g.replies = {{MsgBoxCode::No, {}, [&g] { g.tick(3); }}};
        g.ui().Next->trigger(); // No: the game goes on, and the clock counted meanwhile
        QCOMPARE(g.prompts[2] + g.titles[2] + QString::number(g.buttons[2]) + g.counters() + g.ui().lblconto->text(),
                 QStringLiteral("INIZIAMO UNA NUOVA GARA  ?INIZIARE NUOVA GARA2921,0,100:14:57"));
        // Yes, and no number: the notice, then the window loads afresh.
        g.replies = {{MsgBoxCode::Yes, {}, {}}, {}, {}, {MsgBoxCode::Ok, QStringLiteral("Luca"), {}}};
        g.draws = dealing(3);
        g.ui().Next->trigger();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(g.prompts.mid(4, 3), (QStringList{"Tavola pitagorica fino al numero? ", " Anna siccome non hai scelto arriviamo fino al 10.", "Come ti chiami?"}));
        QCOMPARE(g.ui().lblnome1->text() + g.counters() + g.ui().lblconto->text() + g.ui().lblNum2->text() + g.window().windowTitle(),
                 QStringLiteral("Luca0,0,000:15:003Gioca con la Brunilla"));
        QVERIFY(g.windows == 2 && g.record() == QLatin1String("|")); // the abandoned game stores nothing
        // Time runs out while the number is asked: that ending rules, once.
        g.answer(QStringLiteral("24"));
        g.replies = {{MsgBoxCode::Yes, {}, {}}, {MsgBoxCode::Ok, {}, [&g] { g.tick(901); }}};
        g.ui().Next->trigger();
        QTRY_VERIFY(g.quit);
        QVERIFY(g.quit && g.windows == 2 && g.prompts.last() == kSaved + u'"' && g.record() == QLatin1String("1\r\n|Luca\r\n"));
    }

    void theNameBoxTakesOnlyWhatARecordMayHold()
    {
        QTimer::singleShot(0, [] {
            auto *field = QApplication::activeModalWidget()->findChild<QLineEdit *>();
            field->insert(QStringLiteral("Eva\x1b]0;x\x07")); // terminal controls, pasted
            field->insert(QStringLiteral("Eva"));
            field->insert(QString(40, u'a'));
            QTest::keyClicks(field, QString(40, u'b'));
            QTest::keyClick(field, Qt::Key_Return);
        });
        QtDialogs dialogs;
        const QString name = dialogs.InputBox(QStringLiteral("Come ti chiami?"), {}, {});
        QCOMPARE(name, QStringLiteral("Eva") + QString(29, u'b'));
        QCOMPARE(record::nameProblem(name.toStdString()), nullptr);
    }

    void theWindowGoesOnWhileTheRecordIsSaved()
    {
        Game g;
        g.start();
        g.answer(QStringLiteral("40"));
        // Another copy of the game holds the lock, and keeps it.
        const QByteArray blocco = QFile::encodeName(g.folder.filePath(QStringLiteral("blocco")));
        const int lock = ::open(blocco.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        QCOMPARE(::flock(lock, LOCK_EX), 0);
        g.ui().cmdExit->click();
        QCOMPARE(g.prompts.size(), 2); // back at once: no box yet, the save waits
        QVERIFY(!g.quit);
        g.ui().cmdExit->click(); // a second ending does not start
        QTRY_VERIFY_WITH_TIMEOUT(g.quit, 8000);
        QCOMPARE(g.prompts.mid(2), QStringList{kSorry});
        QCOMPARE(g.record(), QStringLiteral("|"));
        ::close(lock);
    }

    void anOldRecordIsOfferedInTheBackground()
    {
        Game g;
        QTemporaryDir own, shared; // the player's folder of version 1.0.0, the shared directory
        QFile score(own.filePath(QStringLiteral("tavrec8.txt"))), holder(own.filePath(QStringLiteral("ntavrec8.txt")));
        QVERIFY(score.open(QIODevice::WriteOnly) && holder.open(QIODevice::WriteOnly));
        score.write("9\r\n");
        holder.write("Zoe\r\n");
        score.close();
        holder.close();
        // The helper, slow, as it may be: it stores what it reads.
        const QString helper = own.filePath(QStringLiteral("helper"));
        QFile script(helper);
        QVERIFY(script.open(QIODevice::WriteOnly));
        const QByteArray to = QFile::encodeName(shared.path());
        script.write("#!/bin/sh\nread s; read n; sleep 1\nprintf '%s\\r\\n' \"$s\" > " + to + "/tavrec8.txt\n"
                     "printf '%s\\r\\n' \"$n\" > " + to + "/ntavrec8.txt\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        g.records = std::make_unique<SharedRecords>(shared.path(), helper, own.path());
        g.start();
        QVERIFY(g.window().isVisible());
        QVERIFY(!g.records->findChildren<QProcess *>().isEmpty()); // the window did not wait for it
        QCOMPARE(g.ui().lblpunti->text(), QString());
        QTRY_COMPARE(g.ui().lblpunti->text(), QStringLiteral("9\r\n")); // shown once stored
        QCOMPARE(g.ui().lblnome->text(), QStringLiteral("Zoe\r\n"));
        QTRY_VERIFY(QFile::exists(own.filePath(QStringLiteral("tavrec8.txt.offerto"))));
        QVERIFY(!QFile::exists(own.filePath(QStringLiteral("tavrec8.txt"))));
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
