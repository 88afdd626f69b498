#include "resources/artsizes.h"

#include "resources/artwork.h"
#include "resources/maker/cardfan.h"
#include "resources/maker/cards.h"
#include "resources/maker/controls.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/tablepieces.h"
#include "resources/maker/textures.h"

#include <QCache>
#include <QPixmapCache>

namespace {

// Enough for every picture of the table at twice its size, twice over.
constexpr int cacheKilobytes = 24 * 1024;

bool designedScale(qreal scale, qreal ratio)
{
    return qFuzzyCompare(scale, 1.0) && qFuzzyCompare(ratio, 1.0);
}

// The maker's drawing of one picture, `factor` times its designed size.
QImage draw(artwork::Art art, int index, qreal factor)
{
    using artwork::Art;
    switch (art) {
    case Art::BigCard:
        return cards::picture(index, factor);
    case Art::Digit:
        return tablepieces::digit(index, factor);
    case Art::Bags:
        return tablepieces::bags(index, factor);
    case Art::TurnMarker:
        return tablepieces::turnMarker(factor);
    case Art::Eyes:
        return tablepieces::eyes(factor);
    case Art::OutOfMoney:
        return tablepieces::outOfMoney(factor);
    case Art::Winner:
        return tablepieces::winner(factor);
    case Art::StartButton:
        return controls::startButton(false, factor);
    case Art::StartButtonDown:
        return controls::startButton(true, factor);
    case Art::BotSwitch:
        return controls::botSwitch(index == 1, factor);
    case Art::PhraseButton:
        return controls::phraseButton(index, factor);
    case Art::Ornament:
        return tablepieces::ornament(index, factor);
    case Art::Logo:
        return tablepieces::logo(factor);
    case Art::WindowIcon:
        return tablepieces::windowIcon(factor);
    case Art::CardFan:
        return cardfan::strip(factor);
    case Art::BackgroundTile:
        return textures::feltTile(factor);
    case Art::DownloadTile:
        return textures::linenTile(factor);
    }
    return {};
}

// The embedded picture that the maker drew at build time.
QImage embedded(artwork::Art art, int index)
{
    using artwork::Art;
    switch (art) {
    case Art::BigCard:
        return artwork::bigCard(index);
    case Art::Digit:
        return artwork::digit(index);
    case Art::Bags:
        return artwork::bags(index);
    case Art::TurnMarker:
        return artwork::turnMarker();
    case Art::Eyes:
        return artwork::eyes();
    case Art::OutOfMoney:
        return artwork::outOfMoney();
    case Art::Winner:
        return artwork::winner();
    case Art::StartButton:
        return artwork::startButton();
    case Art::StartButtonDown:
        return artwork::startButtonDown();
    case Art::BotSwitch:
        return artwork::botSwitch(index);
    case Art::PhraseButton:
        return artwork::phraseButton(index);
    case Art::Ornament:
        return artwork::ornament(index);
    case Art::Logo:
        return artwork::logo();
    case Art::WindowIcon:
        return artwork::windowIcon();
    case Art::CardFan:
        return artwork::cardFan();
    case Art::BackgroundTile:
        return artwork::backgroundTile();
    case Art::DownloadTile:
        return artwork::downloadTile();
    }
    return {};
}

bool valid(artwork::Art art, int index, qreal scale, qreal ratio)
{
    return index >= artwork::firstIndex(art) && index <= artwork::lastIndex(art) && scale > 0 &&
           ratio > 0;
}

QString cacheKey(artwork::Art art, int index, qreal scale, qreal ratio)
{
    const QSize size = artwork::pixelSize(art, scale, ratio);
    return QStringLiteral("art/%1/%2/%3x%4@%5")
        .arg(int(art))
        .arg(index)
        .arg(size.width())
        .arg(size.height())
        .arg(ratio);
}

QCache<QString, QImage> &imageCache()
{
    static QCache<QString, QImage> cache(cacheKilobytes);
    return cache;
}

} // namespace

namespace artwork {

const std::vector<Art> &allArt()
{
    static const std::vector<Art> all = {
        Art::BigCard,        Art::Digit,        Art::Bags,
        Art::TurnMarker,     Art::Eyes,         Art::OutOfMoney,
        Art::Winner,         Art::StartButton,  Art::StartButtonDown,
        Art::BotSwitch,      Art::PhraseButton, Art::Ornament,
        Art::Logo,           Art::WindowIcon,   Art::CardFan,
        Art::BackgroundTile, Art::DownloadTile,
    };
    return all;
}

int firstIndex(Art art)
{
    switch (art) {
    case Art::PhraseButton:
    case Art::Ornament:
        return 1;
    default:
        return 0;
    }
}

int lastIndex(Art art)
{
    switch (art) {
    case Art::BigCard:
        return 52;
    case Art::Digit:
        return 9;
    case Art::Bags:
        return 3;
    case Art::BotSwitch:
        return 1;
    case Art::PhraseButton:
        return 10;
    case Art::Ornament:
        return 4;
    default:
        return 0;
    }
}

QSize designedSize(Art art)
{
    switch (art) {
    case Art::BigCard:
    case Art::Digit:
    case Art::BackgroundTile:
        return {71, 96};
    case Art::Bags:
        return {23, 76};
    case Art::TurnMarker:
        return {23, 24};
    case Art::Eyes:
        return {23, 15};
    case Art::OutOfMoney:
        return {66, 57};
    case Art::Winner:
        return {77, 56};
    case Art::StartButton:
    case Art::StartButtonDown:
        return {144, 33};
    case Art::BotSwitch:
        return {48, 30};
    case Art::PhraseButton:
        return {25, 19};
    case Art::Ornament:
        return {30, 30};
    case Art::Logo:
        return {146, 20};
    case Art::WindowIcon:
        return {64, 64};
    case Art::CardFan:
        return {cardfan::frameWidth * cardfan::frameCount, cardfan::frameHeight};
    case Art::DownloadTile:
        return {150, 149};
    }
    return {};
}

QSize pixelSize(Art art, qreal scale, qreal ratio)
{
    const qreal factor = scale * ratio;
    if (art == Art::CardFan)
        return {drawkit::scaledSide(cardfan::frameWidth, factor) * cardfan::frameCount,
                drawkit::scaledSide(cardfan::frameHeight, factor)};
    const QSize designed = designedSize(art);
    return {drawkit::scaledSide(designed.width(), factor),
            drawkit::scaledSide(designed.height(), factor)};
}

QImage drawn(Art art, int index, qreal scale, qreal ratio)
{
    if (!valid(art, index, scale, ratio))
        return {};
    QImage image = draw(art, index, scale * ratio);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage picture(Art art, int index, qreal scale, qreal ratio)
{
    if (!valid(art, index, scale, ratio))
        return {};
    if (designedScale(scale, ratio))
        return embedded(art, index);
    const QString key = cacheKey(art, index, scale, ratio);
    if (const QImage *kept = imageCache().object(key))
        return *kept;
    const QImage image = drawn(art, index, scale, ratio);
    imageCache().insert(key, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}

std::function<QImage(qreal ratio)> makerFor(Art art, int index, qreal scale)
{
    return [art, index, scale](qreal ratio) { return picture(art, index, scale, ratio); };
}

QPixmap pixmap(Art art, int index, qreal scale, qreal ratio)
{
    if (!valid(art, index, scale, ratio))
        return {};
    const QString key = cacheKey(art, index, scale, ratio);
    QPixmap kept;
    if (!QPixmapCache::find(key, &kept)) {
        // Straight from the file or the maker: a pixmap holds its own copy,
        // so going through the image cache would keep every picture twice.
        kept = QPixmap::fromImage(designedScale(scale, ratio) ? embedded(art, index)
                                                              : drawn(art, index, scale, ratio));
        QPixmapCache::insert(key, kept);
    }
    return kept;
}

} // namespace artwork
