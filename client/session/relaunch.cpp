#include "client/session/relaunch.h"

#include <QLocalSocket>
#include <QProcess>

#include <csignal>

Relaunch::Relaunch(QString program, QString instanceKey, QObject *parent)
    : QObject(parent), program_(std::move(program)), key_(std::move(instanceKey))
{
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &Relaunch::poll);
}

Relaunch::~Relaunch() = default;

bool Relaunch::start(const QStringList &arguments)
{
    pid_ = 0;
    if (!QProcess::startDetached(program_, arguments, QString(), &pid_))
        return false;
    waitedMs_ = 0;
    poll_.start();
    return true;
}

void Relaunch::abandon()
{
    poll_.stop();
    if (probe_)
        dropProbe(probe_.get());
    // It never took the desktop over: nothing of it is worth keeping, and
    // it must not take the key later.
    if (pid_ > 0)
        ::kill(pid_t(pid_), SIGKILL);
}

void Relaunch::poll()
{
    waitedMs_ += kPollMs;
    if (waitedMs_ >= giveUpMs_) {
        poll_.stop();
        if (probe_)
            dropProbe(probe_.get());
        emit failed();
        return;
    }
    if (probe_)
        return; // the last probe has not answered yet
    // Connecting counts as a request to come to the front, which is what the
    // new copy should do anyway. The answer comes as an event: the game this
    // copy may still host goes on meanwhile.
    probe_ = std::make_unique<QLocalSocket>();
    probe_->setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    QLocalSocket *probe = probe_.get();
    connect(probe, &QLocalSocket::connected, this, [this, probe] {
        if (!dropProbe(probe))
            return;
        poll_.stop();
        emit handedOver();
    });
    connect(probe, &QLocalSocket::errorOccurred, this, [this, probe] { dropProbe(probe); });
    probe->connectToServer(key_);
}

bool Relaunch::dropProbe(QLocalSocket *probe)
{
    if (probe_.get() != probe)
        return false;
    probe->disconnect(this);
    probe_.release()->deleteLater();
    return true;
}
