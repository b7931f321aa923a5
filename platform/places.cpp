// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/places.h"

#include "buildsettings.h"

#include <QFileInfo>

Places findPlaces(const QString &programDir)
{
    const QString libexec = programDir + u'/' + QString::fromUtf8(build::kLibexecFromProgram);
    const QString installedHelper = libexec + QStringLiteral("/brunilla-record");
    if (!QFileInfo(installedHelper).isExecutable())
        return {programDir, programDir + QStringLiteral("/brunilla_sound.so"), {}};
    return {programDir + u'/' + QString::fromUtf8(build::kDataFromProgram),
            libexec + QStringLiteral("/brunilla_sound.so"), installedHelper};
}
