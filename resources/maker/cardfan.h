#pragma once

#include <QImage>

// The seats' card fans: a strip of five frames of 101 x 102 side by side,
// without alpha, lime (0, 255, 0) where the table should show through.
// Frame 0 is the resting fan; in frames 1 to 4 one card after the other is
// lifted, as if the player were choosing.
namespace cardfan {

constexpr int frameWidth = 101;
constexpr int frameHeight = 102;
constexpr int frameCount = 5;

// `scale` draws the strip that many times as large, each frame a whole
// number of pixels wide.
QImage strip(qreal scale = 1.0);

} // namespace cardfan
