#include "platform/sound.h"

#include <QFileInfo>
#include <QLibrary>

LazySoundPlayer::LazySoundPlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

LazySoundPlayer::~LazySoundPlayer() = default;

void LazySoundPlayer::PlayWave(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    if (!m_tried) {
        m_tried = true;
        QLibrary module(m_modulePath);
        if (auto create = reinterpret_cast<CreateSoundPlayer *>(module.resolve("brunilla_create_sound_player")))
            m_player.reset(create());
    }
    if (m_player)
        m_player->PlayWave(path);
}
