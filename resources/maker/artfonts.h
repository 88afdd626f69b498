#pragma once

#include <QFont>

// Text in the pictures is drawn with the DejaVu fonts loaded from their
// files, so the pictures come out the same on every machine. If a file is
// missing the desktop's default font stands in.
namespace artfonts {

QFont sans(qreal pixelSize, bool bold = true);
QFont serif(qreal pixelSize, bool bold = true);

} // namespace artfonts
