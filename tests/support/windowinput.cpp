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
    if (QWidget *receiver = keyReceiver())
        QTest::keyClicks(receiver, text);
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

} // namespace windowinput
