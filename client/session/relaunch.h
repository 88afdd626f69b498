#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

struct PlayChoice;

// The command line that starts the game in the chosen role, exactly as the
// lobby program would: name, "127.0.0.1", "true" to host; name, address,
// "false" to join.
QStringList commandLineFor(const PlayChoice &choice);

// Restarts the game in another role by starting a new copy of the program
// and handing it this desktop's single-instance key. The caller gives up the
// key (and the game port, when it hosted) before `start`; this copy then
// waits until the new one owns the key, and only then may close, so the
// user is never left with no window at all.
class Relaunch : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPollMs = 100;
    static constexpr int kGiveUpMs = 15000;

    Relaunch(QString program, QString instanceKey, QObject *parent = nullptr);

    // Starts the new copy; false when it could not be started at all.
    bool start(const QStringList &arguments);
    // The process id of the copy started last, 0 before any.
    qint64 startedPid() const { return pid_; }

signals:
    // The new copy owns the key: this copy may close now.
    void handedOver();
    // The new copy never took the key.
    void failed();

private:
    void poll();

    QString program_;
    QString key_;
    QTimer poll_;
    int waitedMs_ = 0;
    qint64 pid_ = 0;
};
