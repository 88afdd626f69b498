#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

// Runs the event loop until `done` holds or the deadline passes. Returns
// whether it held, so a test can assert on it:
//   ASSERT_TRUE(waitUntil([&] { return client.loggedIn(); }));
template <typename Pred>
bool waitUntil(Pred done, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!done())
            QThread::msleep(1);
    }
    return true;
}
