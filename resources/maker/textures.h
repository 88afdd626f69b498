#pragma once

#include <QImage>

namespace textures {

QImage feltTile();  // 71 x 96, the table cloth; tiles without seams
QImage linenTile(); // 150 x 149, the download window's background; tiles too
QImage advert();    // 400 x 339, the download window's picture

} // namespace textures
