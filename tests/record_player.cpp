// SPDX-License-Identifier: GPL-3.0-or-later
// The installed game's start and end, as the account that runs it plays
// them, for the shared-record test:
//   record_player <installed games folder> <name> <right answers>
// prints the record the start shows and the box the end shows ("-": none).

#include "fixture.h"
#include "platform/places.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const Places places = findPlaces(args.value(1));
    if (args.size() != 4 || places.recordHelper.isEmpty())
        return 2;
    Game g;
    g.records = std::make_unique<SharedRecords>(QStringLiteral(BRUNILLA_SHARED_RECORD_DIR), places.recordHelper,
                                                QDir::homePath() + QStringLiteral("/.local/share/brunilla"));
    g.start(args[2]);
    // A record kept by version 1.0.0 is offered in the background.
    QElapsedTimer clock;
    clock.start();
    while (!g.records->findChildren<QProcess *>().isEmpty() && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("record: %s|%s\n", qPrintable(g.ui().lblpunti->text().trimmed()), qPrintable(g.ui().lblnome->text().trimmed()));
    for (int right = args[3].toInt(); right > 0; --right) {
        g.answer(QStringLiteral("40"));
        g.next(dealing(5));
    }
    const qsizetype before = g.prompts.size();
    g.ui().cmdExit->click();
    while (!g.quit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("end: %s\n", g.prompts.size() > before ? qPrintable(g.prompts.last()) : "-");
    return 0;
}
