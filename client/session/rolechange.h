#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class Relaunch;
class SingleInstance;
class Composition;

// Play with Others starts the game again in the chosen role. This copy
// writes what the new one reads at its start (the settings and the tally),
// gives up the desktop's key and the game port, hides its window and starts
// the new copy; once that one owns the key this copy may end. A new copy
// that cannot be started, or never takes over, is undone whole: it is
// ended, and this copy takes the key and the game port back and shows its
// window again.
class RoleChange : public QObject
{
    Q_OBJECT
public:
    static inline const QString kCouldNotStart =
        QStringLiteral("Zandor could not be started again.");
    static inline const QString kDidNotStart = QStringLiteral("The new game did not start.");
    // How long the key and the port are tried for while the ended copy
    // lets go of them.
    static constexpr int kTakeBackMs = 5000;
    static constexpr int kRetryMs = 50;

    RoleChange(Composition &program, SingleInstance &instance, Relaunch &relaunch,
               QObject *parent = nullptr);

    void begin(const QStringList &arguments);

signals:
    // The new copy owns the desktop: this copy may end now.
    void handedOver();
    // A failed restart has been undone as far as it could be.
    void takenBack();

private:
    void undo(const QString &why);
    void takeBack();

    Composition &program_;
    SingleInstance &instance_;
    Relaunch &relaunch_;
    QTimer retry_;
    int triedMs_ = 0;
    bool hosted_ = false;
    bool running_ = false;
};
