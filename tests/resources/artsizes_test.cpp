#include "resources/artsizes.h"

#include <QCryptographicHash>
#include <QPixmap>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using artwork::Art;

QString nameOf(Art art, int index)
{
    return QStringLiteral("art %1, picture %2").arg(int(art)).arg(index);
}

// The first pixel where two pictures differ, for a readable failure.
QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column)
            if (x.pixel(column, row) != y.pixel(column, row))
                return QStringLiteral("at %1,%2: %3 and %4")
                    .arg(column)
                    .arg(row)
                    .arg(x.pixel(column, row), 8, 16)
                    .arg(y.pixel(column, row), 8, 16);
    return {};
}

// At the designed size the pictures drawn while the game runs are the very
// pictures the game has always shown (the embedded files, drawn by the same
// code at build time): whatever bigger size is drawn is the same picture.
TEST(ArtSizes, DrawnAtTheDesignedSizeEveryPictureIsTheEmbeddedOne)
{
    for (Art art : artwork::allArt())
        for (int i = artwork::firstIndex(art); i <= artwork::lastIndex(art); ++i) {
            const QImage shown = artwork::picture(art, i);
            const QImage fresh = artwork::drawn(art, i, 1.0, 1.0);
            ASSERT_FALSE(shown.isNull()) << qPrintable(nameOf(art, i));
            EXPECT_EQ(shown.size(), artwork::designedSize(art)) << qPrintable(nameOf(art, i));
            EXPECT_EQ(firstDifference(shown, fresh), QString()) << qPrintable(nameOf(art, i));
        }
}

// The pixels of every picture of a kind, in turn.
std::string fingerprint(Art art)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = artwork::firstIndex(art); i <= artwork::lastIndex(art); ++i) {
        const QImage image = artwork::picture(art, i).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(image.constScanLine(y)),
                                        image.width() * 4));
    }
    return hash.result().toHex().left(16).toStdString();
}

// The designed look is pinned: drawing code changed for other sizes must
// leave every picture at the designed size as it was, pixel for pixel.
TEST(ArtSizes, TheDesignedPicturesAreThoseTheGameHasAlwaysShown)
{
    const std::pair<Art, const char *> known[] = {
        {Art::BigCard, "1bb18dbd56288897"},
        {Art::Digit, "e9c8757a5e8535ba"},
        {Art::Bags, "10d9c9e9f5404c24"},
        {Art::TurnMarker, "c0b509b960683b0b"},
        {Art::Eyes, "295081962ca5caed"},
        {Art::OutOfMoney, "ee1236e59675516f"},
        {Art::Winner, "0fa1a4af45b15f47"},
        {Art::StartButton, "09d7187ec1407ec7"},
        {Art::StartButtonDown, "cff8f937b12e1400"},
        {Art::BotSwitch, "be0a39430275d18f"},
        {Art::PhraseButton, "748b84c067884e89"},
        {Art::Ornament, "87689d1bb2a0e95d"},
        {Art::Logo, "5c0b7eb853a3c352"},
        {Art::WindowIcon, "3e936a3783559c60"},
        {Art::CardFan, "17c810d2204cbe3d"},
        {Art::BackgroundTile, "cb8f127114e7f927"},
        {Art::DownloadTile, "32baa34ea22ef4cc"},
    };
    ASSERT_EQ(std::size(known), artwork::allArt().size());
    for (const auto &[art, print] : known)
        EXPECT_EQ(fingerprint(art), print) << int(art);
}

TEST(ArtSizes, APictureHasThePixelsOfItsShownSizeAndTheScreensRatio)
{
    struct Case
    {
        Art art;
        qreal scale;
        qreal ratio;
        QSize pixels;
    };
    const Case cases[] = {
        {Art::BigCard, 1, 2, {142, 192}},   // a high-density screen
        {Art::BigCard, 2, 1, {142, 192}},   // a table twice its size
        {Art::BigCard, 1.5, 2, {213, 288}}, // both
        {Art::BigCard, 1.5, 1, {107, 144}}, // 106.5 rounds up
        {Art::Bags, 1.25, 1, {29, 95}},
        {Art::TurnMarker, 3, 1, {69, 72}},
        {Art::StartButton, 2, 1.25, {360, 83}},
        // The fan's frames stay whole and equal: 151.5 makes 152 each.
        {Art::CardFan, 1.5, 1, {760, 153}},
        {Art::CardFan, 2, 1, {1010, 204}},
        {Art::BackgroundTile, 2, 1, {142, 192}},
        {Art::DownloadTile, 1, 2, {300, 298}},
    };
    for (const Case &c : cases) {
        const QString what =
            QStringLiteral("art %1 at %2 x %3").arg(int(c.art)).arg(c.scale).arg(c.ratio);
        const int index = artwork::firstIndex(c.art);
        EXPECT_EQ(artwork::pixelSize(c.art, c.scale, c.ratio), c.pixels) << qPrintable(what);
        for (const QImage &image : {artwork::drawn(c.art, index, c.scale, c.ratio),
                                    artwork::picture(c.art, index, c.scale, c.ratio)}) {
            EXPECT_EQ(image.size(), c.pixels) << qPrintable(what);
            EXPECT_EQ(image.devicePixelRatio(), c.ratio) << qPrintable(what);
        }
        const QPixmap pixmap = artwork::pixmap(c.art, index, c.scale, c.ratio);
        EXPECT_EQ(pixmap.size(), c.pixels) << qPrintable(what);
        EXPECT_EQ(pixmap.devicePixelRatio(), c.ratio) << qPrintable(what);
    }

    // Every picture at twice its size, for the layout's every place.
    for (Art art : artwork::allArt())
        EXPECT_EQ(artwork::picture(art, artwork::lastIndex(art), 2, 1).size(),
                  artwork::designedSize(art) * 2)
            << int(art);
}

TEST(ArtSizes, NumbersOutsideAListAndSizesOfNothingGiveNoPicture)
{
    for (Art art : artwork::allArt()) {
        EXPECT_TRUE(artwork::picture(art, artwork::firstIndex(art) - 1, 2, 1).isNull()) << int(art);
        EXPECT_TRUE(artwork::picture(art, artwork::lastIndex(art) + 1, 2, 1).isNull()) << int(art);
        EXPECT_TRUE(artwork::drawn(art, artwork::lastIndex(art) + 1, 1, 1).isNull()) << int(art);
        EXPECT_TRUE(artwork::pixmap(art, artwork::lastIndex(art) + 1, 2, 1).isNull()) << int(art);
    }
    EXPECT_TRUE(artwork::picture(Art::BigCard, 1, 0, 1).isNull());
    EXPECT_TRUE(artwork::picture(Art::BigCard, 1, 1, -2).isNull());
    EXPECT_TRUE(artwork::drawn(Art::BigCard, 1, -1, 1).isNull());
}

// A bigger table draws each picture once; the table asks for the same cards
// hundreds of times in a game.
TEST(ArtSizes, EachSizeIsDrawnOnceAndKept)
{
    const QImage first = artwork::picture(Art::BigCard, 27, 2, 1);
    const QImage again = artwork::picture(Art::BigCard, 27, 2, 1);
    EXPECT_EQ(first.cacheKey(), again.cacheKey());
    EXPECT_NE(artwork::picture(Art::BigCard, 27, 3, 1).cacheKey(), first.cacheKey());

    // The same pixels for another screen still carry that screen's ratio.
    const QImage dense = artwork::picture(Art::BigCard, 27, 1, 2);
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(first.devicePixelRatio(), 1.0);
    EXPECT_EQ(firstDifference(dense, first), QString());

    const QPixmap pixmap = artwork::pixmap(Art::Digit, 7, 2, 1);
    EXPECT_EQ(artwork::pixmap(Art::Digit, 7, 2, 1).cacheKey(), pixmap.cacheKey());
}

double luminance(QRgb p)
{
    return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
}

// Mean squared step in luminance between horizontal and vertical
// neighbours: high where edges are crisp, low where they are smeared.
double edgeEnergy(const QImage &image, const QRect &area)
{
    double sum = 0;
    int count = 0;
    for (int y = area.top(); y < area.bottom(); ++y)
        for (int x = area.left(); x < area.right(); ++x) {
            const double here = luminance(image.pixel(x, y));
            const double right = luminance(image.pixel(x + 1, y));
            const double below = luminance(image.pixel(x, y + 1));
            sum += (here - right) * (here - right) + (here - below) * (here - below);
            ++count;
        }
    return sum / count;
}

// Pixels that differ by more than a shade of grey.
int differingPixels(const QImage &a, const QImage &b, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += std::abs(luminance(a.pixel(x, y)) - luminance(b.pixel(x, y))) > 24;
    return count;
}

// 2 x 2 blocks whose four pixels are not all the same: none in a picture
// enlarged pixel for pixel.
int mixedBlocks(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb p = image.pixel(x, y);
            count += image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                     image.pixel(x + 1, y + 1) != p;
        }
    return count;
}

// What a blurred table showed: the designed picture blown up. A card drawn
// for twice the size must be a different, sharper picture, in its edge and
// in its rank.
TEST(ArtSizes, ACardDrawnAtTwiceItsSizeIsSharperThanTheEnlargedCard)
{
    // The Queen of Hearts: a red index, a court figure and the card's edge.
    const QImage designed =
        artwork::picture(Art::BigCard, 38).convertToFormat(QImage::Format_ARGB32);
    const QImage twice =
        artwork::picture(Art::BigCard, 38, 2, 1).convertToFormat(QImage::Format_ARGB32);
    const QImage smooth =
        designed.scaled(designed.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage blocky =
        designed.scaled(designed.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_EQ(twice.size(), smooth.size());

    // The corner index (rank over suit) and the rounded edge of the
    // bottom left corner, in the pixels of the twice-size card. (Straight
    // edges lie on whole pixels at both sizes and come out the same.)
    const QRect index(2, 2, 34, 64);
    const QRect edge(0, 168, 24, 24);

    for (const QRect &area : {index, edge}) {
        const int all = area.width() * area.height();
        EXPECT_GT(differingPixels(twice, smooth, area), all / 50) << area.x() << "," << area.y();
        EXPECT_GT(differingPixels(twice, blocky, area), all / 50) << area.x() << "," << area.y();
        EXPECT_GT(edgeEnergy(twice, area), 1.3 * edgeEnergy(smooth, area))
            << area.x() << "," << area.y();
        // Drawn for its size, not doubled: detail finer than a designed pixel.
        EXPECT_EQ(mixedBlocks(blocky, area), 0);
        EXPECT_GT(mixedBlocks(twice, area), all / 4 / 10) << area.x() << "," << area.y();
    }
}

// Where one tile meets the next, neighbouring columns differ no more than
// the most different neighbours inside the tile do.
double columnStep(const QImage &tile, int x1, int x2)
{
    double sum = 0;
    for (int y = 0; y < tile.height(); ++y) {
        const QRgb a = tile.pixel(x1, y);
        const QRgb b = tile.pixel(x2, y);
        sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
    }
    return sum / tile.height();
}

TEST(ArtSizes, BackgroundTilesStillTileAtOtherSizes)
{
    QTransform turn;
    turn.rotate(90);
    for (Art art : {Art::BackgroundTile, Art::DownloadTile})
        for (qreal scale : {1.5, 2.0}) {
            const QImage tile = artwork::picture(art, 0, scale, 1);
            for (const QImage &image : {tile, tile.transformed(turn)}) {
                double inside = 0;
                for (int x = 0; x + 1 < image.width(); ++x)
                    inside = std::max(inside, columnStep(image, x, x + 1));
                EXPECT_LE(columnStep(image, image.width() - 1, 0), inside)
                    << int(art) << " at " << scale;
            }
        }
}

// The fan's frames are cut from the strip by the control's width; at any
// size each frame's cards keep clear of its edges, which show the lime key.
TEST(ArtSizes, CardFanFramesKeepClearOfTheirEdgesAtOtherSizes)
{
    for (qreal scale : {1.5, 2.0, 3.0}) {
        const QImage strip = artwork::picture(Art::CardFan, 0, scale, 1);
        ASSERT_FALSE(strip.hasAlphaChannel());
        const int frameWidth = strip.width() / 5;
        for (int f = 0; f < 5; ++f) {
            const QImage frame = strip.copy(f * frameWidth, 0, frameWidth, strip.height());
            int keyed = 0, edge = 0;
            for (int x = 0; x < frame.width(); ++x)
                for (int y : {0, frame.height() - 1}) {
                    ++edge;
                    keyed += frame.pixel(x, y) == qRgb(0, 255, 0);
                }
            for (int y = 0; y < frame.height(); ++y)
                for (int x : {0, frame.width() - 1}) {
                    ++edge;
                    keyed += frame.pixel(x, y) == qRgb(0, 255, 0);
                }
            EXPECT_EQ(keyed, edge) << "frame " << f << " at " << scale;
        }
    }
}

} // namespace
