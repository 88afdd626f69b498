#include "tests/e2e/xinput.h"

#include <dlfcn.h>

namespace {
using Display = void;
using KeySym = unsigned long;
using KeyCode = unsigned char;
using Window = unsigned long;
} // namespace

struct XTestInput::Library
{
    void *x11 = nullptr;
    void *xtst = nullptr;
    Display *(*openDisplay)(const char *) = nullptr;
    int (*closeDisplay)(Display *) = nullptr;
    KeySym (*stringToKeysym)(const char *) = nullptr;
    KeyCode (*keysymToKeycode)(Display *, KeySym) = nullptr;
    int (*sync)(Display *, int) = nullptr;
    int (*fakeKey)(Display *, unsigned int, int, unsigned long) = nullptr;
    int (*fakeButton)(Display *, unsigned int, int, unsigned long) = nullptr;
    int (*fakeMotion)(Display *, int, int, int, unsigned long) = nullptr;
    Window (*defaultRootWindow)(Display *) = nullptr;
    int (*queryTree)(Display *, Window, Window *, Window *, Window **, unsigned int *) = nullptr;
    int (*getInputFocus)(Display *, Window *, int *) = nullptr;
    int (*free)(void *) = nullptr;

    template <typename F> static bool load(void *from, F &function, const char *name)
    {
        function = reinterpret_cast<F>(dlsym(from, name));
        return function != nullptr;
    }

    bool open()
    {
        x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        return x11 && xtst && load(x11, openDisplay, "XOpenDisplay") &&
               load(x11, closeDisplay, "XCloseDisplay") &&
               load(x11, stringToKeysym, "XStringToKeysym") &&
               load(x11, keysymToKeycode, "XKeysymToKeycode") && load(x11, sync, "XSync") &&
               load(xtst, fakeKey, "XTestFakeKeyEvent") &&
               load(xtst, fakeButton, "XTestFakeButtonEvent") &&
               load(xtst, fakeMotion, "XTestFakeMotionEvent") &&
               load(x11, defaultRootWindow, "XDefaultRootWindow") &&
               load(x11, queryTree, "XQueryTree") && load(x11, getInputFocus, "XGetInputFocus") &&
               load(x11, free, "XFree");
    }

    ~Library()
    {
        if (xtst)
            dlclose(xtst);
        if (x11)
            dlclose(x11);
    }
};

XTestInput::XTestInput(const QString &display) : x_(std::make_unique<Library>())
{
    if (x_->open())
        display_ = x_->openDisplay(display.toLocal8Bit().constData());
}

XTestInput::~XTestInput()
{
    if (display_)
        x_->closeDisplay(display_);
}

bool XTestInput::connected() const
{
    return display_ != nullptr;
}

bool XTestInput::key(const char *keysym, const char *modifier)
{
    if (!display_)
        return false;
    const KeyCode code = x_->keysymToKeycode(display_, x_->stringToKeysym(keysym));
    const KeyCode held = modifier ? x_->keysymToKeycode(display_, x_->stringToKeysym(modifier)) : 0;
    if (code == 0 || (modifier && held == 0))
        return false;
    if (held)
        x_->fakeKey(display_, held, 1, 0);
    x_->fakeKey(display_, code, 1, 0);
    x_->fakeKey(display_, code, 0, 0);
    if (held)
        x_->fakeKey(display_, held, 0, 0);
    x_->sync(display_, 0);
    return true;
}

void XTestInput::moveTo(QPoint screen)
{
    if (!display_)
        return;
    x_->fakeMotion(display_, -1, screen.x(), screen.y(), 0);
    x_->sync(display_, 0);
}

void XTestInput::click(int button)
{
    if (!display_)
        return;
    x_->fakeButton(display_, unsigned(button), 1, 0);
    x_->fakeButton(display_, unsigned(button), 0, 0);
    x_->sync(display_, 0);
}

unsigned long XTestInput::focusWindow() const
{
    if (!display_)
        return 0;
    Window focus = 0;
    int revertTo = 0;
    x_->getInputFocus(display_, &focus, &revertTo);
    return focus;
}

int XTestInput::topLevelWindows() const
{
    if (!display_)
        return 0;
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!x_->queryTree(display_, x_->defaultRootWindow(display_), &root, &parent, &children,
                       &count))
        return 0;
    if (children)
        x_->free(children);
    return int(count);
}
