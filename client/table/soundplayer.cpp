#include "client/table/soundplayer.h"

#include "resources/artwork.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("soundplayer"));
}

SoundPlayer::~SoundPlayer() = default;

QSoundEffect *SoundPlayer::effect(const QString &name)
{
    const QString key = name.toLower();
    if (auto it = effects_.find(key); it != effects_.end())
        return it->second;
    const QUrl source = artwork::soundUrl(key);
    if (source.isEmpty())
        return nullptr;
    // Loaded once and kept: the same few sounds play all game long.
    auto *sound = new QSoundEffect(this);
    sound->setSource(source);
    effects_.emplace(key, sound);
    return sound;
}

void SoundPlayer::playsounds(const QString &name)
{
    if (!enabled_)
        return;
    // Without a sound server Qt still reports a sound as playing for ever;
    // there is simply nothing to play on.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    QSoundEffect *sound = effect(name);
    if (!sound)
        return;
    if (playing_ && playing_ != sound)
        playing_->stop();
    sound->stop();
    sound->play();
    playing_ = sound;
    lastStarted_ = name.toLower();
    ++started_;
}
