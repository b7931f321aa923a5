// SPDX-License-Identifier: GPL-3.0-or-later
// The real sound player: silent when it should be, never in the way.

#include "platform/sound.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

// Whether the sound module is mapped into this process. QLibrary cannot
// tell: since Qt 6.6 isLoaded() speaks only for its own load().
bool moduleLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly)
        && maps.readAll().contains(QFile::encodeName(QFileInfo(QStringLiteral(SOUND_MODULE)).canonicalFilePath()));
}

} // namespace

class TestSound : public QObject
{
    Q_OBJECT
private slots:
    void missingFileIsSilentAndLoadsNothing();
    void cuesPlayThroughTheModule();
    void missingModuleIsSilent();
};

void TestSound::missingFileIsSilentAndLoadsNothing()
{
    LazySoundPlayer player{QStringLiteral(SOUND_MODULE)};
    player.PlayWave(QStringLiteral("/nowhere/suoni/no.wav"));
    player.PlayWave(QStringLiteral(SOUND_DIR "//no.wav.missing"));
    QVERIFY(!moduleLoaded());
}

void TestSound::cuesPlayThroughTheModule()
{
    LazySoundPlayer player{QStringLiteral(SOUND_MODULE)};
    // Quick cues in a row, the doubled separator as the game builds paths;
    // on a machine without an audio device they are simply silent.
    for (int i = 0; i < 3; ++i) {
        player.PlayWave(QStringLiteral(SOUND_DIR "//Esatto.wav"));
        player.PlayWave(QStringLiteral(SOUND_DIR "//no.wav"));
    }
    QVERIFY(moduleLoaded());
    QTest::qWait(100);
}

void TestSound::missingModuleIsSilent()
{
    LazySoundPlayer player{QStringLiteral("/nowhere/brunilla_sound.so")};
    player.PlayWave(QStringLiteral(SOUND_DIR "/Esatto.wav"));
    player.PlayWave(QStringLiteral(SOUND_DIR "/no.wav"));
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
