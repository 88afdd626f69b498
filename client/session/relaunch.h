#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

class QLocalSocket;

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
    ~Relaunch() override;

    // Tests wait less for a copy that never comes.
    void setGiveUpMs(int milliseconds) { giveUpMs_ = milliseconds; }

    // Starts the new copy; false when it could not be started at all.
    // Never waits: the outcome comes as a signal.
    bool start(const QStringList &arguments);
    // Stops waiting and ends the copy started last, which never took over.
    void abandon();
    // The process id of the copy started last, 0 before any.
    qint64 startedPid() const { return pid_; }

signals:
    // The new copy owns the key: this copy may close now.
    void handedOver();
    // The new copy never took the key.
    void failed();

private:
    void poll();
    // Lets go of `probe` if it is the one waiting; false for a stale one.
    bool dropProbe(QLocalSocket *probe);

    QString program_;
    QString key_;
    QTimer poll_;
    std::unique_ptr<QLocalSocket> probe_;
    int waitedMs_ = 0;
    int giveUpMs_ = kGiveUpMs;
    qint64 pid_ = 0;
};
