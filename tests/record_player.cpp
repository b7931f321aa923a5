// SPDX-License-Identifier: GPL-3.0-or-later
// The installed game's start and end, as the account that runs it plays
// them, for the shared-record test:
//   record_player <installed games folder> <name> <right answers>
// prints the record the start shows and the box the end shows ("-": none).

#include "fakes.h"
#include "game/sessione.h"
#include "platform/places.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const Places places = findPlaces(args.value(1));
    if (args.size() != 4 || places.recordHelper.isEmpty())
        return 2;
    SharedRecords records(QStringLiteral(BRUNILLA_SHARED_RECORD_DIR), places.recordHelper,
                          QDir::homePath() + QStringLiteral("/.local/share/brunilla"));
    FakeWorld world;
    world.records = &records;
    world.dialogs.type(args[2]);
    world.dialogs.answer(MsgBoxCode::Ok);
    Sessione session(world.services());
    for (int deal = 0; deal <= args[3].toInt(); ++deal) {
        world.random.feed({0.0, 0.55, 0.0}); // 8 x 5
        if (deal == 0) {
            session.start();
            QCoreApplication::processEvents();
            const TavolaUi &ui = session.window()->ui();
            std::printf("record: %s|%s\n", qPrintable(ui.lblpunti->text().trimmed()),
                        qPrintable(ui.lblnome->text().trimmed()));
            continue;
        }
        TavolaUi &ui = session.window()->ui();
        QTest::keyClicks(ui.txtAnswer, QStringLiteral("40"));
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        ui.cmdNext->click();
    }
    const size_t before = world.dialogs.shown.size();
    session.window()->ui().cmdExit->click();
    std::printf("end: %s\n", world.dialogs.shown.size() > before ? qPrintable(world.dialogs.shown.back().prompt) : "-");
    return 0;
}
