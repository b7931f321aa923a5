// SPDX-License-Identifier: GPL-3.0-or-later
#include "buildsettings.h"
#include "game/sessione.h"
#include "platform/dialogs.h"
#include "platform/places.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"
#include "storage/recordfiles.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: the toolkit would append it to the window title.
    QApplication::setApplicationName(QStringLiteral("brunilla"));
    QApplication::setApplicationVersion(QString::fromUtf8(build::kVersion));
    // The desktop entry's name, which gives the window its icon on Wayland;
    // the icon itself, for the boxes too, without a search of icon themes.
    QGuiApplication::setDesktopFileName(QStringLiteral("it.brunilla.Brunilla"));
    QApplication::setWindowIcon(gameIcon());
    useWordOnlyBoxButtons();
    useLayoutFaceThroughout();
    // The game decides when it ends: boxes shown before the window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    const Places places = findPlaces(QCoreApplication::applicationDirPath());
    const QString ownFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/brunilla");
    std::unique_ptr<RecordFiles> records;
    if (places.recordHelper.isEmpty())
        records = std::make_unique<OwnRecords>(ownFolder);
    else
        records = std::make_unique<SharedRecords>(QString::fromUtf8(build::kSharedRecordDir),
                                                  places.recordHelper, ownFolder);

    QtDialogs dialogs;
    LazySoundPlayer sound(places.soundModule);
    TimeSeededRandom random;
    Services services;
    services.dialogs = &dialogs;
    services.sound = &sound;
    services.random = &random;
    services.records = records.get();
    services.makeTimer = [] { return std::make_unique<QtTicker>(); };
    services.today = [] { return QDate::currentDate(); };
    services.quit = [] { QCoreApplication::exit(0); };
    services.soundDir = places.sounds;

    Sessione sessione(services, [] { return std::make_unique<Tavola>(); });
    sessione.start();
    return app.exec();
}
