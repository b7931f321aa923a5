// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the game's costs, each against a baseline measured in the
// same run. Run on demand; nothing here is a test.
//
//   brunilla_bench [painting] [playing] [records] [startup]   (all when none is named;
//   starts its own Xvfb and window manager when there is no display)

#include "fixture.h"
#include "game/partita.h"
#include "game/sessione.h"
#include "storage/recordfiles.h"
#include "ui/answerbox.h"
#include "platform/sound.h"
#include "ui/picturebutton.h"
#include "ui/sfondo.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median time of one call, in microseconds.
double timeEach(const std::function<void()> &work, int rounds)
{
    std::vector<double> samples;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        work();
        samples.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    return median(samples);
}

void report(const char *what, double value, const char *unit, double baseline, double goal)
{
    const double ratio = value / baseline;
    std::printf("%-44s %10.1f %s   baseline %10.1f %s   ratio %.2f (goal <= %.2f) %s\n", what,
                value, unit, baseline, unit, ratio, goal, ratio <= goal ? "ok" : "OVER");
}

long residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool windowShown(const QString &title)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--name"), u'^' + title + u'$'});
    xdotool.waitForFinished();
    return !xdotool.readAllStandardOutput().trimmed().isEmpty();
}

void xdotoolKey(const QString &key)
{
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
}

struct Launch
{
    double msToWindow;
    long rssKb;
};

// A player's data folder holding a score file. Made seconds before its
// launch, and on disk: writing the file's pages back is no part of the
// game's start.
struct DataHome
{
    QTemporaryDir data;
    explicit DataHome(const QByteArray &scoreBytes = {})
    {
        if (scoreBytes.isEmpty())
            return;
        QDir(data.path()).mkpath(QStringLiteral("brunilla"));
        QFile score(data.filePath(QStringLiteral("brunilla/tavrec8.txt")));
        score.open(QIODevice::WriteOnly);
        score.write(scoreBytes);
        score.flush();
        ::fsync(score.handle());
    }
};

// Starts a program and waits until a window with the title is on screen.
Launch launch(const QString &program, const QString &title, const std::function<void()> &thenPlay,
              const DataHome &home = DataHome())
{
    const QTemporaryDir &data = home.data;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    process.waitForStarted();
    if (thenPlay)
        thenPlay();
    while (!windowShown(title) && clock.elapsed() < 20000)
        QThread::msleep(2);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    QThread::msleep(1500);
    const long rss = residentKb(process.processId());
    process.kill();
    process.waitForFinished();
    return {ms, rss};
}

// Answers the name box and the greeting as soon as each is on screen.
void pastTheBoxes()
{
    for (int box = 0; box < 2; ++box) {
        while (!windowShown(QStringLiteral("Brunilla")))
            QThread::msleep(2);
        xdotoolKey(QStringLiteral("Return"));
    }
}

void startUpAndMemory()
{
    const QString game = QStringLiteral(GAME_PATH);
    const QString title = QStringLiteral("Gioca con la Brunilla");
    std::vector<double> gameMs, bareMs, normalMs, hugeMs;
    long gameRss = 0, bareRss = 0;
    for (int round = 0; round < 11; ++round) {
        const DataHome usual("12\r\n"), tenMegabytes(QByteArray(10 * 1024 * 1024, '7'));
        const Launch bare = launch(QStringLiteral(BARE_PATH), QStringLiteral("Brunilla"), {});
        const Launch nameBox = launch(game, QStringLiteral("Brunilla"), {});
        const Launch normal = launch(game, title, pastTheBoxes, usual);
        const Launch huge = launch(game, title, pastTheBoxes, tenMegabytes);
        bareMs.push_back(bare.msToWindow);
        gameMs.push_back(nameBox.msToWindow);
        normalMs.push_back(normal.msToWindow);
        hugeMs.push_back(huge.msToWindow);
        bareRss = std::max(bareRss, bare.rssKb);
        gameRss = std::max(gameRss, normal.rssKb);
    }
    report("process start to name box on screen", median(gameMs), "ms ", median(bareMs), 1.05);
    report("start to window, 10 MB score file", median(hugeMs), "ms ", median(normalMs), 1.1);
    report("resident memory, game window up", double(gameRss), "kB ", double(bareRss), 1.1);
}

// The background painted into an image of the window's size, as the
// window paints it, against one fill of the same image through a painter;
// taken in turns, so that both meet the same state of the machine.
void painting()
{
    QImage image(792, 554, QImage::Format_RGB32);
    std::vector<double> bands, fill;
    for (int i = 0; i < 2001; ++i) {
        bands.push_back(timeEach(
                [&] {
                    QPainter painter(&image);
                    paintBands(painter, image.size(), 7, image.rect());
                },
                1));
        fill.push_back(
                timeEach([&] { QPainter(&image).fillRect(image.rect(), QColor(70, 70, 128)); }, 1));
    }
    report("PaintBackground 792 x 554", median(bands), "us ", median(fill), 2.0);
}

// Scripted boxes and timer, but the real random source and the real
// sound player (silent: the sound folder is missing), so that nothing the
// bench measures keeps a log.
struct BenchGame
{
    Game world;
    TimeSeededRandom random;
    LazySoundPlayer sound{QStringLiteral(SOUND_MODULE)};
    std::unique_ptr<Sessione> session;

    explicit BenchGame(const QByteArray &scoreBytes = "12\r\n")
    {
        QFile score(world.folder.filePath(QStringLiteral("tavrec8.txt")));
        score.open(QIODevice::WriteOnly);
        score.write(scoreBytes);
        score.close();
        world.replies = {{MsgBoxCode::Ok, QStringLiteral("Anna"), {}}};
        Services services = world.services();
        services.random = &random;
        services.sound = &sound;
        services.soundDir = world.folder.filePath(QStringLiteral("nowhere"));
        session = std::make_unique<Sessione>(services, [this] {
            auto made = std::make_unique<Tavola>();
            tavola = made.get();
            return made;
        });
    }
    Tavola &window() { return *tavola; }
    Tavola *tavola = nullptr;
};

void playing()
{
    BenchGame g;
    g.session->start();
    Tavola &w = g.window();
    QCoreApplication::processEvents();
    TavolaUi &ui = w.ui();

    // The baseline, the whole window painted again with the background,
    // taken in turns with what is measured, so that both meet the same
    // state of the machine.
    const auto repaintAll = [&] {
        ui.sfondo->update();
        w.repaint();
    };
    std::vector<double> bare, judged, dealt;
    QElapsedTimer clock;
    for (int i = 0; i < 501; ++i) {
        bare.push_back(timeEach(repaintAll, 1));
        ui.txtAnswer->setText(QStringLiteral("12"));
        clock.start();
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        w.repaint();
        judged.push_back(double(clock.nsecsElapsed()) / 1000.0);
        clock.start();
        ui.cmdNext->click();
        w.repaint();
        dealt.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    report("Enter to judged answer painted", median(judged), "us ", median(bare), 1.5);
    report("next question to new question painted", median(dealt), "us ", median(bare), 1.5);

    auto answerAndDeal = [&](int times) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClicks(ui.txtAnswer, QString::number(i % 80));
            QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
            ui.cmdNext->click();
            if (i % 100 == 0)
                w.repaint();
        }
        QCoreApplication::processEvents();
    };
    answerAndDeal(200); // caches warm up
    const long before = residentKb(QCoreApplication::applicationPid());
    answerAndDeal(10000);
    const long after = residentKb(QCoreApplication::applicationPid());
    std::printf("%-44s %10ld kB   (goal: no growth beyond 1024 kB)\n",
                "memory growth over 10000 answers and deals", after - before);
}

void bigRecordFile()
{
    auto startUp = [](const QByteArray &content) {
        std::vector<double> samples;
        for (int i = 0; i < 21; ++i) {
            BenchGame g(content);
            QElapsedTimer clock;
            clock.start();
            g.session->start();
            samples.push_back(double(clock.nsecsElapsed()) / 1000.0);
        }
        return median(samples);
    };
    const double normal = startUp("12\r\n");
    const double huge = startUp(QByteArray(10 * 1024 * 1024, '7'));
    std::printf("%-44s %10.1f us   (a normal one: %.1f us)\n",
                "load handler alone, 10 MB score file", huge, normal);
}

// A private X server with a window manager, when there is no display.
std::vector<std::unique_ptr<QProcess>> ensureDisplay()
{
    std::vector<std::unique_ptr<QProcess>> helpers;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return helpers;
    qputenv("DISPLAY", ":93");
    for (const QStringList &command :
         {QStringList{QStringLiteral("Xvfb"), QStringLiteral(":93"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24")},
          QStringList{QStringLiteral("openbox")}}) {
        helpers.push_back(std::make_unique<QProcess>());
        helpers.back()->start(command.first(), command.mid(1));
        QThread::msleep(800);
    }
    return helpers;
}

} // namespace

int main(int argc, char *argv[])
{
    auto display = ensureDisplay();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("brunilla_bench: medians, each against its baseline of the same run\n");
    const std::pair<const char *, void (*)()> parts[] = {{"painting", painting},
                                                         {"playing", playing},
                                                         {"records", bigRecordFile},
                                                         {"startup", startUpAndMemory}};
    const QStringList chosen = app.arguments().mid(1);
    for (const auto &[name, run] : parts)
        if (chosen.isEmpty() || chosen.contains(QLatin1String(name)))
            run();
    // Asked, not killed: the X server removes its lock, and the next run can start its own.
    for (auto it = display.rbegin(); it != display.rend(); ++it) {
        (*it)->terminate();
        (*it)->waitForFinished();
    }
    return 0;
}
