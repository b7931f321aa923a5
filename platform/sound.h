// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// Short wave cues, played without waiting. A missing file or a machine
// without an audio device gives silence, never an error.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void PlayWave(const QString &path) = 0;
};

// The game's player. The audio back end (Qt Multimedia and the system's
// sound libraries) lives in a module beside the program and is loaded on
// the first cue, so that start-up neither waits for it nor carries it.
// Without the module the cues are silent.
class LazySoundPlayer final : public SoundPlayer
{
public:
    explicit LazySoundPlayer(QString modulePath);
    ~LazySoundPlayer() override;
    void PlayWave(const QString &path) override;

private:
    QString m_modulePath;
    bool m_tried = false;
    bool m_missingSaid = false;
    std::unique_ptr<SoundPlayer> m_player;
};

// The module's one entry point.
extern "C" using CreateSoundPlayer = SoundPlayer * ();
