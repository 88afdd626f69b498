#pragma once

#include <QImage>

// Pictures that act as buttons.
namespace controls {

QImage startButton(bool pressed); // 144 x 33, "START GAME"
QImage botSwitch(bool on);        // 48 x 30, "ON" / "OFF"
QImage phraseButton(int n);       // 25 x 19, "P1" to "P9", "P0" for the tenth

} // namespace controls
