#pragma once

#include <QPoint>
#include <QString>

#include <Qt>

class QAction;
class QMenu;
class QWidget;

// A player's keys, sent through QTest where the window system sends them:
// to the open menu, else to the widget that has the focus in the active
// window, else to that window. Nothing is focused, triggered or set for the
// program; what does not answer a key stays as it was.
namespace windowinput {

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void type(const QString &text);

// Opens a menu of the active window's menu bar with Alt and its underlined
// letter, walks down to `item` with the arrow keys and presses Enter. False
// when the menu did not open or the item was not reached.
bool chooseMenuItem(char menuLetter, const QAction *item);

// A click of the mouse in the middle of `widget`, a press and a release
// sent through QTest as the window system sends them; a disabled button
// ignores it, as on screen.
void click(QWidget &widget, Qt::MouseButton button = Qt::LeftButton);

// The window the keys go to now: the active one.
QWidget *topWindow();

// As chooseMenuItem, for an item of a submenu: walks to the submenu's own
// item, opens it with Right, walks to `item` and presses Enter.
bool chooseSubmenuItem(char menuLetter, const QMenu *submenu, const QAction *item);

// A right click at `at` in `widget` (its middle when left out), sent to its
// window as the window system sends it, so the widget under the pointer
// gets the move, the click and the context menu request that come with
// it. Returns the menu that opened, or null.
QMenu *openContextMenu(QWidget &widget, QPoint at);
QMenu *openContextMenu(QWidget &widget);

// Walks the open menu down to `item` with the arrow keys and presses
// Enter. False when no menu is open or the item was not reached.
bool chooseOpenMenuItem(const QAction *item);

// A right click in the middle of `widget`, then the item of the menu it
// opens.
bool chooseContextMenuItem(QWidget &widget, const QAction *item);

} // namespace windowinput
