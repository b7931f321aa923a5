// The real sound player: silent when it should be, never in the way.

#include "platform/sound.h"

#include <QLibrary>
#include <QTest>

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
    QVERIFY(!QLibrary(QStringLiteral(SOUND_MODULE)).isLoaded());
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
    QVERIFY(QLibrary(QStringLiteral(SOUND_MODULE)).isLoaded());
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
