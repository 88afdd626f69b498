#include "resources/artwork.h"

#include "resources/artfiles.h"

#include <QFile>

namespace {

QString resourcePath(const QString &file)
{
    return QStringLiteral(":/art/") + file;
}

QImage load(const QString &file)
{
    return QImage(resourcePath(file));
}

QImage loadIf(bool inRange, const QString &file)
{
    return inRange ? load(file) : QImage();
}

QByteArray readAll(const QString &file)
{
    QFile in(resourcePath(file));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool knownSound(const QString &name)
{
    return artfiles::soundNames.contains(name, Qt::CaseInsensitive);
}

} // namespace

namespace artwork {

QImage bigCard(int n)
{
    return loadIf(n >= 0 && n <= 52, artfiles::bigCard(n));
}
QImage digit(int d)
{
    return loadIf(d >= 0 && d <= 9, artfiles::digit(d));
}
QImage bags(int count)
{
    return loadIf(count >= 0 && count <= 3, artfiles::bags(count));
}
QImage turnMarker()
{
    return load(artfiles::turnMarker);
}
QImage eyes()
{
    return load(artfiles::eyes);
}
QImage outOfMoney()
{
    return load(artfiles::outOfMoney);
}
QImage winner()
{
    return load(artfiles::winner);
}
QImage startButton()
{
    return load(artfiles::startButton);
}
QImage startButtonDown()
{
    return load(artfiles::startButtonDown);
}
QImage botSwitch(int on)
{
    return loadIf(on == 0 || on == 1, artfiles::botSwitch(on));
}
QImage phraseButton(int n)
{
    return loadIf(n >= 1 && n <= 10, artfiles::phraseButton(n));
}
QImage ornament(int corner)
{
    return loadIf(corner >= 1 && corner <= 4, artfiles::ornament(corner));
}
QImage logo()
{
    return load(artfiles::logo);
}
QImage windowIcon()
{
    return load(artfiles::windowIcon);
}
QImage cardFan()
{
    return load(artfiles::cardFan);
}
QRgb cardFanKey()
{
    return qRgb(0, 255, 0);
}
QImage backgroundTile()
{
    return load(artfiles::backgroundTile);
}
QImage downloadTile()
{
    return load(artfiles::downloadTile);
}
QImage advert()
{
    return load(artfiles::advert);
}
QByteArray advertJpeg()
{
    return readAll(artfiles::advert);
}

QColor feltColour()
{
    const QImage tile = backgroundTile();
    if (tile.isNull())
        return QColor();
    qint64 red = 0, green = 0, blue = 0;
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x) {
            const QRgb p = tile.pixel(x, y);
            red += qRed(p);
            green += qGreen(p);
            blue += qBlue(p);
        }
    const qint64 count = qint64(tile.width()) * tile.height();
    return QColor(int(red / count), int(green / count), int(blue / count));
}

QStringList soundNames()
{
    return artfiles::soundNames;
}

QByteArray sound(const QString &name)
{
    return knownSound(name) ? readAll(artfiles::sound(name)) : QByteArray();
}

QUrl soundUrl(const QString &name)
{
    return knownSound(name) ? QUrl(QStringLiteral("qrc") + resourcePath(artfiles::sound(name)))
                            : QUrl();
}

} // namespace artwork
