// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/places.h"

#include <QFileInfo>

Places findPlaces(const QString &programDir)
{
    const QString installedHelper = programDir + QStringLiteral("/" BRUNILLA_LIBEXEC_FROM_BIN "/brunilla-record");
    if (!QFileInfo(installedHelper).isExecutable())
        return {programDir, programDir + QStringLiteral("/brunilla_sound.so"), {}};
    return {programDir + QStringLiteral("/" BRUNILLA_DATA_FROM_BIN),
            programDir + QStringLiteral("/" BRUNILLA_LIBEXEC_FROM_BIN "/brunilla_sound.so"), installedHelper};
}
