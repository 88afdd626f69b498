#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

// Everything the art maker produces, by file name (resources/artfiles.h).
namespace catalog {

struct Picture
{
    QString file;
    std::function<QImage()> draw;
};

struct Sound
{
    QString file;
    std::function<QByteArray()> make;
};

std::vector<Picture> pictures();
std::vector<Sound> sounds();

// Encodes a picture as its file name asks: JPEG for ".jpg", else PNG.
QByteArray encode(const QString &file, const QImage &image);

} // namespace catalog
