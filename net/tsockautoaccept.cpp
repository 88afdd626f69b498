// Auto-accept: the listener takes each connection itself and hands it to
// OnAutoAccept, on the event loop, or on a thread of its own per connection
// when the listener is blocking. The game accepts by hand instead.

#include "net/tsockprivate.h"

#include "net/errorreport.h"

#include <QCoreApplication>

#include <sys/socket.h>

using namespace tsockdetail;

void TSock::Private::autoAcceptIncoming()
{
    SockAddress from;
    const int handle = ::accept4(fd, from.data(), from.lengthToFill(), SOCK_CLOEXEC);
    if (handle < 0)
        return; // the caller gave up before we took it
    peer = from;
    QPointer<TSock> alive(q);
    TSock *accepted = makeAccepted(handle);
    setAcceptedAddresses(accepted, from);
    if (!alive)
        return;
    if (!blocking) {
        const TNotifyAutoEvent handler = q->OnAutoAccept;
        handler(q, accepted);
    } else {
        startAutoAcceptThread(accepted);
    }
}

void TSock::Private::startAutoAcceptThread(TSock *accepted)
{
    std::erase_if(autoAcceptThreads, [](const QPointer<QThread> &t) { return t.isNull(); });
    const TNotifyAutoEvent handler = q->OnAutoAccept;
    TSock *listener = q;
    QThread *thread = QThread::create([handler, listener, accepted] {
        try {
            handler(listener, accepted);
        } catch (...) {
            QString failure = unknownHandlerFailure;
            try {
                throw;
            } catch (const ESockException &e) {
                failure = e.text;
            } catch (const std::exception &e) {
                failure = QString::fromLocal8Bit(e.what());
            } catch (...) {
            }
            // Error boxes belong to the user-interface thread.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [failure] { reportError(failure); },
                Qt::QueuedConnection);
        }
    });
    thread->setParent(q);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    autoAcceptThreads.emplace_back(thread);
    thread->start();
}
