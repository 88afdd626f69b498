#include "router/portmapping.h"

#include "router/mappingworker.h"

#include <QThread>

#include <utility>

namespace router {

PortMapping::PortMapping(std::chrono::seconds lease, QObject *parent)
    : QObject(parent), thread_(new QThread), worker_(new MappingWorker), lease_(lease)
{
    thread_->setObjectName(QStringLiteral("router"));
    worker_->moveToThread(thread_);
    renewal_.setSingleShot(true);
    connect(&renewal_, &QTimer::timeout, worker_, &MappingWorker::renew);
    connect(worker_, &MappingWorker::opened, this, [this](const QString &external, qint64 seconds) {
        // An answer to a question taken back since is nobody's news.
        if (!started_)
            return;
        forwarded_ = true;
        granted(std::chrono::seconds(seconds));
        emit mapped(external);
    });
    connect(worker_, &MappingWorker::renewed, this, [this](qint64 seconds) {
        granted(std::chrono::seconds(seconds));
        emit renewed();
    });
    connect(worker_, &MappingWorker::failed, this, [this](int kind, const QString &text) {
        renewal_.stop();
        forwarded_ = false;
        if (started_)
            emit failed(Failure(kind), text);
    });
    thread_->start();
}

PortMapping::~PortMapping()
{
    stop();
    // Queued behind the giving back, so that it runs first.
    QMetaObject::invokeMethod(worker_, [thread = thread_] { thread->quit(); });
    // While the router is still being looked for there is nothing to give
    // back, and the search stops short of asking for the port.
    // An idle thread ends at once.
    const bool mayHoldPort = worker_->end();
    const std::chrono::milliseconds wait = mayHoldPort ? kGoodbyeWait : kIdleWait;
    if (thread_->wait(QDeadlineTimer(wait.count()))) {
        delete worker_;
        delete thread_;
        return;
    }
    // The thread is left to finish its search alone (or, past the wait,
    // its talk with a slow router, whose lease then runs out by itself):
    // the program is ending.
    disconnect(worker_, nullptr, this, nullptr);
}

void PortMapping::start(quint16 port)
{
    if (started_)
        return;
    started_ = true;
    QMetaObject::invokeMethod(worker_, [worker = worker_, port, seconds = qint64(lease_.count())] {
        worker->open(port, seconds);
    });
}

bool PortMapping::stop()
{
    if (!started_)
        return false;
    started_ = false;
    renewal_.stop();
    QMetaObject::invokeMethod(worker_, &MappingWorker::close);
    return std::exchange(forwarded_, false);
}

void PortMapping::granted(std::chrono::seconds lease)
{
    // A router that keeps the port for good (0) needs no renewal.
    if (lease.count() <= 0 || !started_)
        return;
    renewal_.start(std::chrono::milliseconds(lease) / 2);
}

} // namespace router
