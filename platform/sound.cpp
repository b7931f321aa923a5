// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcSound, "brunilla.sound")

LazySoundPlayer::LazySoundPlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

LazySoundPlayer::~LazySoundPlayer() = default;

void LazySoundPlayer::PlayWave(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        if (!std::exchange(m_missingSaid, true)) // once is enough for the log
            qCWarning(lcSound).noquote() << "no sound: missing" << path;
        return;
    }
    if (!m_tried) {
        m_tried = true;
        QLibrary module(m_modulePath);
        if (auto create = reinterpret_cast<CreateSoundPlayer *>(
                    module.resolve("brunilla_create_sound_player")))
            m_player.reset(create());
        else
            qCWarning(lcSound).noquote()
                    << "no sound: the sound module is missing:" << module.errorString();
    }
    if (m_player)
        m_player->PlayWave(path);
}
