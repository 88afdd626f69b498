#pragma once

#include <QString>

#include <functional>

// Refusals and conversion errors end the handling of one event and are shown
// to the user in an error box; the program then goes on with the next event.
// Code without a window (the socket, the server) reports through here, and
// the program installs the handler that shows the box. A report made before
// one is installed waits for the event loop and goes to the handler there;
// with no handler even then, or no application at all, the text goes to
// standard error.
using ErrorHandler = std::function<void(const QString &text)>;

void reportError(const QString &text);
// Returns the handler that was installed before.
ErrorHandler setErrorHandler(ErrorHandler handler);
