#pragma once

#include <QPoint>
#include <QString>

#include <memory>

// Keys and clicks put into an X display through its test extension, exactly
// as a keyboard and a mouse would: the X server delivers them to whichever
// window has the input focus or lies under the pointer. Xlib and libXtst
// are loaded at run time so the tests need nothing more to link.
class XTestInput
{
public:
    explicit XTestInput(const QString &display);
    ~XTestInput();

    bool connected() const;
    // A press and release of the key with this X keysym name ("1",
    // "Return", "Alt_L"...); with `modifier` held, another keysym name.
    bool key(const char *keysym, const char *modifier = nullptr);
    // Moves the pointer to a point of the screen.
    void moveTo(QPoint screen);
    // A press and release of a mouse button where the pointer is.
    void click(int button = 1);

    // The window that has the keyboard now, as the X server says.
    unsigned long focusWindow() const;
    // How many windows lie directly on the screen's root: a menu that pops
    // up for the first time adds one.
    int topLevelWindows() const;

private:
    struct Library;
    std::unique_ptr<Library> x_;
    void *display_ = nullptr;
};
