#pragma once

#include <QHash>
#include <QString>

class QSoundEffect;

// Short wave cues, played without waiting. A missing file or a machine
// without an audio device gives silence, never an error.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void PlayWave(const QString &path) = 0;
};

class QtSoundPlayer final : public SoundPlayer
{
public:
    ~QtSoundPlayer() override;
    void PlayWave(const QString &path) override;

private:
    // One effect per file, made on first use so that start-up does not
    // pay for the audio back end.
    QHash<QString, QSoundEffect *> m_effects;
};
