// Ends a game with the given score, as another copy of the game would:
// record_writer <directory> <score> <name> <shown record>
#include "storage/recordfiles.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    const SaveOutcome outcome = saveRecordIfBeaten(args[1], args[4].toDouble(), args[2], args[3]);
    return outcome == SaveOutcome::Failed ? 1 : 0;
}
