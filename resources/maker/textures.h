#pragma once

#include <QImage>

namespace textures {

// `scale` draws a tile that many times as large; it still tiles.
QImage feltTile(qreal scale = 1.0);  // 71 x 96, the table cloth; tiles without seams
QImage linenTile(qreal scale = 1.0); // 150 x 149, the download window's background; tiles too
QImage advert();                     // 400 x 339, the download window's picture

} // namespace textures
