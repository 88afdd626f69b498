#include "sidewindow_clicks.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

void clickCentre(QWidget &widget)
{
    const QPointF at = QRectF(widget.rect()).center();
    const QPointF global = widget.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}
