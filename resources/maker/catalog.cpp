#include "resources/maker/catalog.h"

#include "resources/artfiles.h"
#include "resources/maker/cardfan.h"
#include "resources/maker/cards.h"
#include "resources/maker/controls.h"
#include "resources/maker/synth.h"
#include "resources/maker/tablepieces.h"
#include "resources/maker/textures.h"

#include <QBuffer>

namespace catalog {

std::vector<Picture> pictures()
{
    std::vector<Picture> list;
    for (int n = 0; n <= 52; ++n)
        list.push_back({artfiles::bigCard(n), [n] { return cards::picture(n); }});
    for (int d = 0; d <= 9; ++d)
        list.push_back({artfiles::digit(d), [d] { return tablepieces::digit(d); }});
    for (int b = 0; b <= 3; ++b)
        list.push_back({artfiles::bags(b), [b] { return tablepieces::bags(b); }});
    for (int on = 0; on <= 1; ++on)
        list.push_back({artfiles::botSwitch(on), [on] { return controls::botSwitch(on == 1); }});
    for (int corner = 1; corner <= 4; ++corner)
        list.push_back(
            {artfiles::ornament(corner), [corner] { return tablepieces::ornament(corner); }});
    for (int n = 1; n <= 10; ++n)
        list.push_back({artfiles::phraseButton(n), [n] { return controls::phraseButton(n); }});
    list.push_back({artfiles::turnMarker, [] { return tablepieces::turnMarker(); }});
    list.push_back({artfiles::eyes, [] { return tablepieces::eyes(); }});
    list.push_back({artfiles::outOfMoney, [] { return tablepieces::outOfMoney(); }});
    list.push_back({artfiles::winner, [] { return tablepieces::winner(); }});
    list.push_back({artfiles::startButton, [] { return controls::startButton(false); }});
    list.push_back({artfiles::startButtonDown, [] { return controls::startButton(true); }});
    list.push_back({artfiles::cardFan, [] { return cardfan::strip(); }});
    list.push_back({artfiles::logo, [] { return tablepieces::logo(); }});
    list.push_back({artfiles::windowIcon, [] { return tablepieces::windowIcon(); }});
    list.push_back({artfiles::backgroundTile, [] { return textures::feltTile(); }});
    list.push_back({artfiles::downloadTile, [] { return textures::linenTile(); }});
    list.push_back({artfiles::advert, textures::advert});
    return list;
}

std::vector<Sound> sounds()
{
    std::vector<Sound> list;
    for (const QString &name : artfiles::soundNames)
        list.push_back({artfiles::sound(name), [name] { return synth::wave(name); }});
    return list;
}

QByteArray encode(const QString &file, const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (file.endsWith(QLatin1String(".jpg")))
        image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 92);
    else
        image.save(&buffer, "PNG");
    return bytes;
}

} // namespace catalog
