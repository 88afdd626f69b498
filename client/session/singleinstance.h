#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One copy of the program per desktop. The first copy listens on a local
// socket named "vrokex" with the user and the display; a later copy on the same
// desktop finds it there, asks it to come to the front and ends. The name
// lives in the abstract namespace, so a copy that crashed leaves nothing
// behind, and copies on separate displays do not see each other.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role { First, Second };

    explicit SingleInstance(QString key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The key for this user on this desktop.
    static QString desktopKey();

    // Second: another copy runs and has been asked to raise its window.
    // First: this copy is the one; it answers later copies from now on.
    Role claim(int timeoutMs = 2000);
    // Stops answering: a new copy started now becomes the one (a restart in
    // another role hands the desktop over this way).
    void release();
    // Takes the key back after a release, without asking anybody and
    // without waiting; false while another copy still holds it.
    bool reclaim();
    bool holdsKey() const { return server_ != nullptr; }

signals:
    // A later copy asked this one to bring its window to the front.
    void raiseRequested();

private:
    bool askRunningCopy(int timeoutMs);
    void answerNewCopies();

    QString key_;
    QLocalServer *server_ = nullptr;
};
