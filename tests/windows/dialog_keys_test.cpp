#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/thelp.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QWidget> makeWindow(const QString &name)
{
    if (name == QLatin1String("Thelp"))
        return std::make_unique<Thelp>();
    if (name == QLatin1String("Tabout"))
        return std::make_unique<Tabout>();
    if (name == QLatin1String("Tdownload")) {
        auto window = std::make_unique<Tdownload>();
        // Nothing may start on the desktop, whatever the keys do.
        window->setShellOpen([](const QString &, const QString &, shellopen::Show,
                                const shellopen::Done &done) { done(false); });
        window->setMessageShower([](const QString &) {});
        return window;
    }
    return nullptr;
}

// Escape leaves a side window the way its "Done" does; Enter does too where
// that is the obvious answer. The key goes to the widget that holds the
// focus, as the user types it, and reaches the window only if that widget
// lets it through.
TEST(SideWindowKeys, EscapeAndEnterCloseTheWindow)
{
    const struct
    {
        const char *window;
        const char *focus; // a child by name; null: where the window put the focus
        int key;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    } cases[] = {
        {"Thelp", "memo1", Qt::Key_Escape, Qt::NoModifier, true},
        {"Thelp", "memo1", Qt::Key_Return, Qt::NoModifier, true},
        {"Thelp", "memo1", Qt::Key_Enter, Qt::KeypadModifier, true},
        {"Thelp", "memo1", Qt::Key_A, Qt::NoModifier, false},
        {"Tabout", nullptr, Qt::Key_Escape, Qt::NoModifier, true},
        {"Tabout", nullptr, Qt::Key_Return, Qt::NoModifier, true},
        // "Play Solo Game" holds the focus when the window opens, so Enter
        // goes on with the game rather than starting a download.
        {"Tdownload", nullptr, Qt::Key_Escape, Qt::NoModifier, true},
        {"Tdownload", nullptr, Qt::Key_Return, Qt::NoModifier, true},
        {"Tdownload", "getbutton", Qt::Key_Escape, Qt::NoModifier, true},
    };
    for (const auto &c : cases) {
        const QString what = QStringLiteral("%1, key %2 in %3")
                                 .arg(QLatin1String(c.window))
                                 .arg(c.key, 0, 16)
                                 .arg(QLatin1String(c.focus ? c.focus : "the focus"));
        SCOPED_TRACE(what.toStdString());
        std::unique_ptr<QWidget> window = makeWindow(QLatin1String(c.window));
        ASSERT_NE(window, nullptr);
        window->show();
        ASSERT_TRUE(window->isVisible());
        QWidget *target =
            c.focus ? window->findChild<QWidget *>(QLatin1String(c.focus)) : window->focusWidget();
        if (!target && !c.focus)
            target = window.get();
        ASSERT_NE(target, nullptr);

        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, c.key, c.modifiers);
        QCoreApplication::sendEvent(target, &release);
        EXPECT_EQ(window->isVisible(), !c.closes);
        if (auto *download = qobject_cast<Tdownload *>(window.get())) {
            EXPECT_EQ(download->downloadMark(), 0) << "no download was started";
        }
    }
}

} // namespace
