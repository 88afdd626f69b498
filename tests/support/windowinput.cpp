#include "tests/support/windowinput.h"

#include "tests/support/wait.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

namespace windowinput {

namespace {
// The active window. A menu never takes the keyboard from its window on
// the desktop, but the offscreen platform makes every shown window active,
// a menu too, and leaves a closed one so. Here the window system's part is
// played: the menu's window gets the keyboard back.
QWidget *activeWindow()
{
    QWidget *window = QApplication::activeWindow();
    if (window && window->isHidden() && window->windowType() == Qt::Popup &&
        window->parentWidget()) {
        window = window->parentWidget()->window();
        window->activateWindow();
        waitUntil([window] { return QApplication::activeWindow() == window; });
    }
    return window;
}

// Where a key goes: the open menu, else the focused widget of the active
// window, else that window.
QWidget *keyReceiver()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget *window = activeWindow();
    if (window && window->focusWidget())
        return window->focusWidget();
    return window;
}

// The open menu, once it is there.
QMenu *openMenu()
{
    if (!waitUntil([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }))
        return nullptr;
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// Walks down the open `menu` with the arrow keys, which pass over disabled
// items and separators, until `item` is highlighted. False, with the menu
// left open, when it is not reached in one round.
bool walkTo(QMenu *menu, const QAction *item)
{
    for (int step = 0; step <= menu->actions().size(); ++step) {
        if (menu->activeAction() == item)
            return true;
        press(Qt::Key_Down);
    }
    return false;
}

// Closes every open menu, as Escape does one at a time.
void closeMenus()
{
    for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
        press(Qt::Key_Escape);
}
} // namespace

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (QWidget *receiver = keyReceiver())
        QTest::keyClick(receiver, key, modifiers);
}

void type(const QString &text)
{
    QWidget *receiver = keyReceiver();
    if (!receiver)
        return;
    for (const QChar c : text) {
        // QTest knows the keys of ASCII only; for other letters the window
        // system sends the capital's code as the key, with the letter.
        if (c.unicode() < 0x80)
            QTest::keyClick(receiver, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, receiver, Qt::Key(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
    }
}

bool chooseMenuItem(char menuLetter, const QAction *item)
{
    press(Qt::Key(Qt::Key_A + (menuLetter - 'a')), Qt::AltModifier);
    return openMenu() && chooseInOpenMenu(item);
}

void click(QWidget &widget, Qt::MouseButton button)
{
    QTest::mouseClick(&widget, button, Qt::NoModifier, widget.rect().center());
}

QWidget *topWindow()
{
    return activeWindow();
}

bool chooseSubmenuItem(char menuLetter, const QMenu *submenu, const QAction *item)
{
    press(Qt::Key(Qt::Key_A + (menuLetter - 'a')), Qt::AltModifier);
    QMenu *menu = openMenu();
    if (!menu || !walkTo(menu, submenu->menuAction())) {
        closeMenus();
        return false;
    }
    press(Qt::Key_Right);
    QMenu *opened = nullptr;
    waitUntil([&] {
        opened = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        return opened == submenu;
    });
    if (opened != submenu || !walkTo(opened, item)) {
        closeMenus();
        return false;
    }
    press(Qt::Key_Return);
    return true;
}

QMenu *openContextMenu(QWidget &widget, QPoint at)
{
    QWindow *window = widget.window()->windowHandle();
    if (!window)
        return nullptr;
    if (at.isNull())
        at = widget.rect().center();
    QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier,
                      window->mapFromGlobal(widget.mapToGlobal(at)));
    return openMenu();
}

bool chooseInOpenMenu(const QAction *item)
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return false;
    if (!walkTo(menu, item)) {
        closeMenus();
        return false;
    }
    press(Qt::Key_Return);
    return true;
}

bool chooseContextMenuItem(QWidget &widget, const QAction *item, QPoint at)
{
    return openContextMenu(widget, at) && chooseInOpenMenu(item);
}

void retype(QWidget &box, const QString &text)
{
    click(box);
    press(Qt::Key_A, Qt::ControlModifier);
    type(text);
}

void drag(QWidget &widget, QPoint from, QPoint to)
{
    QWindow *window = widget.window()->windowHandle();
    if (!window)
        return;
    const auto inWindow = [&](QPoint at) { return window->mapFromGlobal(widget.mapToGlobal(at)); };
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow(from));
    // On its way, as a hand moves it, so that a slider takes it as a drag.
    QTest::mouseMove(window, inWindow((from + to) / 2));
    QTest::mouseMove(window, inWindow(to));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow(to));
}

void movePointer(QWidget &widget, QPoint at)
{
    if (QWindow *window = widget.window()->windowHandle())
        QTest::mouseMove(window, window->mapFromGlobal(widget.mapToGlobal(at)));
}

} // namespace windowinput
