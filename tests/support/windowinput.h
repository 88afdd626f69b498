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
// sent through QTest to the widget itself: a disabled button ignores it,
// but a hidden one would not, so a test checks that what it clicks is
// shown.
void click(QWidget &widget, Qt::MouseButton button = Qt::LeftButton);

// The window the keys go to now: the active one.
QWidget *topWindow();

// As chooseMenuItem, for an item of a submenu: walks to the submenu's own
// item, opens it with Right, walks to `item` and presses Enter.
bool chooseSubmenuItem(char menuLetter, const QMenu *submenu, const QAction *item);

// A right click at `at` in `widget` (its middle when `at` is null), sent to
// its window as the window system sends it, so the widget under the pointer
// gets the move, the click and the request for its menu. Returns the menu
// that opened, or null.
QMenu *openContextMenu(QWidget &widget, QPoint at = {});

// In the menu that is open, walks down to `item` with the arrow keys and
// presses Enter. False, with the menus closed, when no menu is open or the
// item was not reached; the arrow keys pass over disabled items.
bool chooseInOpenMenu(const QAction *item);

// A right click on `widget` and `item` chosen from the menu that opens.
bool chooseContextMenuItem(QWidget &widget, const QAction *item, QPoint at = {});

// A click into the text box `box`, Ctrl+A over what it holds and `text`
// typed in its place.
void retype(QWidget &box, const QString &text);

// The left button pressed at `from` in `widget`, the pointer moved to `to`
// and the button let go there, sent to its window as the window system
// sends them: whatever the press landed on follows the pointer.
void drag(QWidget &widget, QPoint from, QPoint to);

// The pointer moved, no button held, to `at` in `widget`, sent to its window
// as the window system sends it.
void movePointer(QWidget &widget, QPoint at);

} // namespace windowinput
