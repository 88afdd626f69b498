#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

class QLocalSocket;
struct PlayChoice;

// Marks the start of the game's own arguments in a command line the game
// builds for itself. Qt takes any argument that begins with "-" as one of
// its options ("-platform", "-reverse", ...), wherever it stands; a player
// may type such a name, so what follows this mark never reaches Qt.
inline const QString kGameArgumentsFollow = QStringLiteral("--");

// The command line that starts the game in the chosen role: the mark, then
// what the lobby program gives: name, "127.0.0.1", "true" to host; name,
// address, "false" to join.
QStringList commandLineFor(const PlayChoice &choice);

// A command line split before QApplication reads it: Qt is given the
// arguments before the mark (its own options, from whoever started us),
// and the game those after it. Without the mark, Qt reads the whole line as
// it always has and the game takes what Qt leaves.
struct SplitCommandLine
{
    // How many of argv's first arguments Qt may read, the program's name
    // included.
    int qtArgc = 0;
    // The game's arguments, when they followed the mark.
    std::optional<QStringList> gameArguments;
};
SplitCommandLine splitCommandLine(int argc, const char *const *argv);

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
