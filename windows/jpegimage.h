#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes JPEG bytes with libjpeg. Colour and greyscale pictures, baseline or
// progressive, come back as an RGB image; a picture cut short keeps what was
// decoded, the rest grey. Anything that is not a usable JPEG gives a null
// image and, when asked for, the decoder's reason.
namespace jpegimage {

// Pictures larger than this on either side are refused before any memory
// is taken for them.
inline constexpr int kMaxSide = 8192;

QImage decode(const QByteArray &jpeg, QString *error = nullptr);

} // namespace jpegimage
