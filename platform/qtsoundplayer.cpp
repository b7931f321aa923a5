// SPDX-License-Identifier: GPL-3.0-or-later
// The audio back end, built as a module and loaded on the first cue.

#include "platform/sound.h"

#include <QHash>
#include <QSoundEffect>
#include <QUrl>

namespace {

class QtSoundPlayer final : public SoundPlayer
{
public:
    ~QtSoundPlayer() override { qDeleteAll(m_effects); }

    void PlayWave(const QString &path) override
    {
        // A new cue replaces one still playing.
        for (QSoundEffect *effect : std::as_const(m_effects))
            effect->stop();
        QSoundEffect *&effect = m_effects[path];
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl::fromLocalFile(path));
        }
        effect->play();
    }

private:
    QHash<QString, QSoundEffect *> m_effects; // one per file, loaded once
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer *brunilla_create_sound_player()
{
    return new QtSoundPlayer;
}
