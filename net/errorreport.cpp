#include "net/errorreport.h"

#include <cstdio>
#include <utility>

namespace {
ErrorHandler &currentHandler()
{
    static ErrorHandler handler;
    return handler;
}
} // namespace

void reportError(const QString &text)
{
    if (const auto &handler = currentHandler())
        handler(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

ErrorHandler setErrorHandler(ErrorHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}
