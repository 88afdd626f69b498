#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <utility>

// Two computers on one home network, in one test: the test process moves
// into a network namespace of its own ("here"), makes a second one
// ("there") and joins them with a virtual cable, each end with an address
// on one /24. "There" also has an address on a network that "here" is not
// on, with a route back to it, so that an answer to a stranger would arrive
// if anybody sent one. Everything is removed again when the object goes.
class TwoNetworks
{
public:
    static inline const QString kHere = QStringLiteral("10.77.1.1");
    static inline const QString kThere = QStringLiteral("10.77.1.2");
    static inline const QString kBroadcast = QStringLiteral("10.77.1.255");
    static inline const QString kStranger = QStringLiteral("10.77.9.2");

    TwoNetworks()
        : there_(QStringLiteral("zandor%1").arg(::getpid())),
          cableHere_(QStringLiteral("zh%1").arg(::getpid())),
          cableThere_(QStringLiteral("zg%1").arg(::getpid()))
    {}
    TwoNetworks(const TwoNetworks &) = delete;
    TwoNetworks &operator=(const TwoNetworks &) = delete;

    ~TwoNetworks()
    {
        if (entered_)
            ::setns(hereFd_, CLONE_NEWNET);
        if (madeThere_)
            ip({"netns", "del", there_});
        for (int fd : {hereFd_, thereFd_}) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    // Empty when both networks are up; otherwise why they could not be.
    QString setUp()
    {
        if (::geteuid() != 0)
            return QStringLiteral("network namespaces need root");
        if (ipProgram().isEmpty())
            return QStringLiteral("the ip command is not installed");
        if (::unshare(CLONE_NEWNET) != 0)
            return QStringLiteral("no network namespace of our own");
        hereFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const QString cableMask = QStringLiteral("/24");
        const QList<QStringList> steps = {
            {"link", "set", "lo", "up"},
            {"netns", "add", there_},
            {"link", "add", cableHere_, "type", "veth", "peer", "name", cableThere_, "netns",
             there_},
            {"addr", "add", kHere + cableMask, "dev", cableHere_},
            {"link", "set", cableHere_, "up"},
            {"route", "add", "10.77.9.0/24", "dev", cableHere_},
            {"-n", there_, "link", "set", "lo", "up"},
            {"-n", there_, "addr", "add", kThere + cableMask, "brd", kBroadcast, "dev",
             cableThere_},
            {"-n", there_, "addr", "add", kStranger + cableMask, "dev", cableThere_},
            {"-n", there_, "link", "set", cableThere_, "up"},
        };
        for (const QStringList &step : steps) {
            QString failure = ip(step);
            if (step.value(1) == QStringLiteral("add") && step.value(0) == "netns")
                madeThere_ = failure.isEmpty();
            if (!failure.isEmpty())
                return failure;
        }
        thereFd_ = ::open(QByteArray("/var/run/netns/" + there_.toUtf8()).constData(),
                          O_RDONLY | O_CLOEXEC);
        if (hereFd_ < 0 || thereFd_ < 0)
            return QStringLiteral("the namespaces cannot be opened");
        return QString();
    }

    QString thereName() const { return there_; }
    int thereFd() const { return thereFd_; }

    // Moves the calling thread to the network there for as long as this
    // object lives: sockets made from now on are there's, those made before
    // stay here.
    bool enterThere()
    {
        entered_ = ::setns(thereFd_, CLONE_NEWNET) == 0;
        return entered_;
    }

    // Plugs the cable's end there in or pulls it out; neither side is told.
    QString setCableThere(bool up)
    {
        return ip({"-n", there_, "link", "set", cableThere_, up ? "up" : "down"});
    }

    // Runs `work` with the calling thread on the network there: sockets it
    // makes stay there when the thread comes back.
    template <class Work> auto there(Work work)
    {
        ::setns(thereFd_, CLONE_NEWNET);
        struct Back
        {
            int fd;
            ~Back() { ::setns(fd, CLONE_NEWNET); }
        } back{hereFd_};
        return work();
    }

    static QString ipProgram()
    {
        QString found = QStandardPaths::findExecutable(QStringLiteral("ip"));
        if (found.isEmpty())
            found = QStandardPaths::findExecutable(
                QStringLiteral("ip"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        return found;
    }

private:
    static QString ip(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(ipProgram(), arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return QStringLiteral("ip %1: %2")
                .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()));
        return QString();
    }

    QString there_;
    QString cableHere_;
    QString cableThere_;
    int hereFd_ = -1;
    int thereFd_ = -1;
    bool madeThere_ = false;
    bool entered_ = false;
};
