#pragma once

#include <QImage>

// Pictures that act as buttons; `scale` draws them that many times as large.
namespace controls {

QImage startButton(bool pressed, qreal scale = 1.0); // 144 x 33, "START GAME"
QImage botSwitch(bool on, qreal scale = 1.0);        // 48 x 30, "ON" / "OFF"
QImage phraseButton(int n, qreal scale = 1.0);       // 25 x 19, "P1" to "P9", "P0" for the tenth

} // namespace controls
