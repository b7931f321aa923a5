#include "platform/sound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::~QtSoundPlayer()
{
    qDeleteAll(m_effects);
}

void QtSoundPlayer::PlayWave(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
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
