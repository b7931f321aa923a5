#include "game/sessione.h"
#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"
#include "storage/recordfiles.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: the toolkit would append it to the window title.
    QApplication::setApplicationName(QStringLiteral("brunilla"));
    // The game decides when it ends: boxes shown before the window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    QtDialogs dialogs;
    LazySoundPlayer sound(QCoreApplication::applicationDirPath() + QStringLiteral("/brunilla_sound.so"));
    TimeSeededRandom random;
    Services services;
    services.dialogs = &dialogs;
    services.sound = &sound;
    services.random = &random;
    services.makeTimer = [] { return std::make_unique<QtTicker>(); };
    services.systemDir = GetSystemDir;
    services.today = [] { return QDate::currentDate(); };
    services.quit = [] { QCoreApplication::exit(0); };
    services.programDir = QCoreApplication::applicationDirPath();

    Sessione sessione(services);
    sessione.start();
    return app.exec();
}
