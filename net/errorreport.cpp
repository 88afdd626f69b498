#include "net/errorreport.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>

namespace {
ErrorHandler &currentHandler()
{
    static ErrorHandler handler;
    return handler;
}

void deliver(const QString &text)
{
    if (const auto &handler = currentHandler())
        handler(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
} // namespace

void reportError(const QString &text)
{
    // Reports made while the windows are still being built (the settings
    // read at start-up) come before the program's error box exists: they
    // wait for the event loop, by which time it does.
    QCoreApplication *app = QCoreApplication::instance();
    if (!currentHandler() && app) {
        QMetaObject::invokeMethod(
            app, [text] { deliver(text); }, Qt::QueuedConnection);
        return;
    }
    deliver(text);
}

ErrorHandler setErrorHandler(ErrorHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}
