#include "widgetprobe.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

namespace widgetprobe {

QImage snapshot(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QRect inkBounds(const QImage &image, const QColor &color)
{
    const QRgb wanted = color.rgba();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == wanted)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

void sendMouse(QWidget &widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held, modifiers);
    QCoreApplication::sendEvent(&widget, &event);
}

void sendEnter(QWidget &widget, QPoint at)
{
    QEnterEvent event{QPointF(at), QPointF(at), QPointF(widget.mapToGlobal(at))};
    QCoreApplication::sendEvent(&widget, &event);
}

void sendLeave(QWidget &widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace widgetprobe
