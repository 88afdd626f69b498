#pragma once

#include "net/errorreport.h"

#include <QString>
#include <QStringList>

#include <utility>

// Sends what the code under test reports through reportError() to `handler`
// while it lives, then puts back the handler that was there before, so one
// test's catcher never swallows the next test's errors.
class ScopedErrorHandler
{
public:
    explicit ScopedErrorHandler(ErrorHandler handler)
        : m_previous(setErrorHandler(std::move(handler)))
    {}
    ~ScopedErrorHandler() { setErrorHandler(std::move(m_previous)); }
    ScopedErrorHandler(const ScopedErrorHandler &) = delete;
    ScopedErrorHandler &operator=(const ScopedErrorHandler &) = delete;

    // The handler this one stands in for.
    const ErrorHandler &previous() const { return m_previous; }

private:
    ErrorHandler m_previous;
};

// Keeps every text reported while it lives, in order.
class ReportedErrors
{
public:
    QStringList texts;

private:
    ScopedErrorHandler m_catcher{[this](const QString &text) { texts.append(text); }};
};
