#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;

// Small tools the widget tests share: pictures of a widget and mouse events
// delivered straight to it.
namespace widgetprobe {

// The widget as it paints itself, unpainted pixels left transparent.
QImage snapshot(QWidget &widget);

// Smallest rectangle holding every pixel of exactly this colour; empty if none.
QRect inkBounds(const QImage &image, const QColor &color);

void sendMouse(QWidget &widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void sendEnter(QWidget &widget, QPoint at);
void sendLeave(QWidget &widget);

} // namespace widgetprobe
