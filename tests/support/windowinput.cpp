#include "tests/support/windowinput.h"

#include "tests/support/wait.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

namespace windowinput {

namespace {
// Where a key goes: the open menu, else the focused widget of the active
// window, else that window.
QWidget *keyReceiver()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget *window = QApplication::activeWindow();
    if (window && window->focusWidget())
        return window->focusWidget();
    return window;
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
    if (!waitUntil([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }))
        return false;
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    // The arrow keys pass over disabled items and separators.
    for (int step = 0; step <= menu->actions().size(); ++step) {
        if (menu->activeAction() == item) {
            press(Qt::Key_Return);
            return true;
        }
        press(Qt::Key_Down);
    }
    press(Qt::Key_Escape);
    return false;
}

void click(QWidget &widget, Qt::MouseButton button)
{
    QTest::mouseClick(&widget, button, Qt::NoModifier, widget.rect().center());
}

QWidget *topWindow()
{
    return QApplication::activeWindow();
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
    if (!waitUntil([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }))
        return nullptr;
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

bool chooseInOpenMenu(const QAction *item)
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return false;
    for (int step = 0; step <= menu->actions().size(); ++step) {
        if (menu->activeAction() == item) {
            press(Qt::Key_Return);
            return true;
        }
        press(Qt::Key_Down);
    }
    press(Qt::Key_Escape);
    return false;
}

bool chooseContextMenuItem(QWidget &widget, const QAction *item, QPoint at)
{
    return openContextMenu(widget, at) && chooseInOpenMenu(item);
}

} // namespace windowinput
