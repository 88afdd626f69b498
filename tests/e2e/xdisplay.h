#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <memory>
#include <vector>

// A private X server (Xvfb) on a free display number for one test, so that
// the real program runs in real windows without touching the user's desktop.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();

    bool running() const { return number_ >= 0; }
    // ":N", for DISPLAY.
    QString name() const { return QStringLiteral(":%1").arg(number_); }

private:
    QProcess xvfb_;
    int number_ = -1;
};

// A desktop's window manager (openbox) on a display for one test: it gives
// a new window the keyboard and hands it back when a dialog closes, as a
// player's desktop does. Ended with the object.
class WindowManager
{
public:
    explicit WindowManager(const VirtualDisplay &display);
    ~WindowManager();
    WindowManager(const WindowManager &) = delete;
    WindowManager &operator=(const WindowManager &) = delete;

    // Why there is none (openbox not installed or not started); empty when
    // it runs.
    QString missing() const { return missing_; }

private:
    QProcess openbox_;
    QString missing_;
};

// The environment for the real program on `display`, with a runtime folder
// of the test's own (where the single-instance key lives).
QProcessEnvironment programEnvironment(const VirtualDisplay &display, const QString &runtimeFolder);

// Looks at the top-level windows of an X display and can put a window of its
// own on top, through libxcb, which every Qt desktop installation carries.
// It loads the library at run time so the tests need nothing more to link.
class XWindowProbe
{
public:
    explicit XWindowProbe(const QString &display);
    ~XWindowProbe();

    bool connected() const;
    // Mapped top-level windows whose title is `title`, bottom to top.
    std::vector<quint32> mappedWindowsTitled(const QString &title);
    // The mapped top-level windows, bottom to top.
    std::vector<quint32> stackingOrder();
    // Maps a plain window over the whole screen; returns its id.
    quint32 coverScreen();
    // Whether `upper` stands above `lower` among the top-level windows.
    bool isAbove(quint32 upper, quint32 lower);
    // Whether the server shows the window: mapped, and its parents too.
    bool isViewable(quint32 window);
    // Minimises a window as a window manager does: marks it iconic
    // (WM_STATE) and takes it off the screen (unmaps it).
    void iconify(quint32 window);

private:
    struct Library;
    std::unique_ptr<Library> xcb_;
    void *connection_ = nullptr;
    quint32 root_ = 0;
    quint32 rootVisual_ = 0;
};
