#pragma once

#include <QObject>
#include <QString>

#include <map>

class QSoundEffect;

// Plays the game's sounds without waiting for them: a new sound stops one
// still playing, nothing is queued, and nothing plays while "Play Sounds"
// is off. A machine without an audio output (no sound server) stays silent
// without any error.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    // "Play Sounds" carries its check mark (it does at start).
    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    // Starts the sound of that name (any letter case); unknown names are
    // ignored.
    void playsounds(const QString &name);

    // The sound started last and how many were started, for the curious.
    QString lastStarted() const { return lastStarted_; }
    int started() const { return started_; }

private:
    QSoundEffect *effect(const QString &name);

    bool enabled_ = true;
    std::map<QString, QSoundEffect *> effects_;
    QSoundEffect *playing_ = nullptr;
    QString lastStarted_;
    int started_ = 0;
};
