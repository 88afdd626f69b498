#include "resources/artwork.h"

#include <QFile>
#include <QSet>
#include <QTransform>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Expected
{
    const char *what;
    std::function<QImage()> image;
    QSize size;
};

TEST(Artwork, EveryPictureHasItsSize)
{
    const Expected singles[] = {
        {"turn marker", artwork::turnMarker, {23, 24}},
        {"eyes", artwork::eyes, {23, 15}},
        {"out of money", artwork::outOfMoney, {66, 57}},
        {"winner", artwork::winner, {77, 56}},
        {"start button", artwork::startButton, {144, 33}},
        {"start button pressed", artwork::startButtonDown, {144, 33}},
        {"logo", artwork::logo, {146, 20}},
        {"window icon", artwork::windowIcon, {64, 64}},
        {"card fan", artwork::cardFan, {505, 102}},
        {"background tile", artwork::backgroundTile, {71, 96}},
        {"download tile", artwork::downloadTile, {150, 149}},
        {"advert", artwork::advert, {400, 339}},
    };
    for (const Expected &e : singles)
        EXPECT_EQ(e.image().size(), e.size) << e.what;

    struct List
    {
        const char *what;
        std::function<QImage(int)> image;
        int first, last;
        QSize size;
    };
    const List lists[] = {
        {"big cards", artwork::bigCard, 0, 52, {71, 96}},
        {"digits", artwork::digit, 0, 9, {71, 96}},
        {"bags", artwork::bags, 0, 3, {23, 76}},
        {"bots switch", artwork::botSwitch, 0, 1, {48, 30}},
        {"phrase buttons", artwork::phraseButton, 1, 10, {25, 19}},
        {"ornaments", artwork::ornament, 1, 4, {30, 30}},
    };
    for (const List &list : lists) {
        for (int i = list.first; i <= list.last; ++i)
            EXPECT_EQ(list.image(i).size(), list.size) << list.what << " " << i;
        EXPECT_TRUE(list.image(list.first - 1).isNull()) << list.what;
        EXPECT_TRUE(list.image(list.last + 1).isNull()) << list.what;
    }
}

// The hand overlaps its cards so that each shows only a 25-pixel strip at
// its left; the corner index at the top of that strip alone must tell every
// card apart.
TEST(Artwork, EveryCardIsKnownByItsCornerIndex)
{
    QSet<QByteArray> strips;
    for (int n = 0; n <= 52; ++n) {
        const QImage strip =
            artwork::bigCard(n).copy(0, 0, 18, 34).convertToFormat(QImage::Format_ARGB32);
        strips.insert(QByteArray(reinterpret_cast<const char *>(strip.constBits()),
                                 int(strip.sizeInBytes())));
    }
    EXPECT_EQ(strips.size(), 53);

    QSet<QByteArray> digits;
    for (int d = 0; d <= 9; ++d) {
        const QImage image = artwork::digit(d).convertToFormat(QImage::Format_ARGB32);
        digits.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                                 int(image.sizeInBytes())));
    }
    EXPECT_EQ(digits.size(), 10);
}

// Cards lie on top of each other in the hand: only the rounded corners may
// let the cloth through, never the body of a card.
TEST(Artwork, CardsAreOpaqueInsideTheirRoundedCorners)
{
    for (int n = 0; n <= 52; ++n) {
        const QImage card = artwork::bigCard(n).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(card.pixel(0, 0)), 0) << n;
        EXPECT_EQ(qAlpha(card.pixel(70, 95)), 0) << n;
        int seeThrough = 0;
        for (int y = 3; y < 93; ++y)
            for (int x = 3; x < 68; ++x)
                seeThrough += qAlpha(card.pixel(x, y)) < 255;
        EXPECT_EQ(seeThrough, 0) << n;
    }
}

TEST(Artwork, BagStacksGrowWithTheCount)
{
    int previous = -1;
    for (int count = 0; count <= 3; ++count) {
        const QImage stack = artwork::bags(count).convertToFormat(QImage::Format_ARGB32);
        int painted = 0;
        for (int y = 0; y < stack.height(); ++y)
            for (int x = 0; x < stack.width(); ++x)
                painted += qAlpha(stack.pixel(x, y)) > 0;
        if (count == 0)
            EXPECT_EQ(painted, 0);
        else
            EXPECT_GT(painted, previous + 200) << count;
        previous = painted;
    }
}

TEST(Artwork, CardFanFramesShowCardsOnTheLimeKey)
{
    const QImage strip = artwork::cardFan();
    ASSERT_FALSE(strip.hasAlphaChannel());
    EXPECT_EQ(artwork::cardFanKey(), qRgb(0, 255, 0));
    QList<QImage> frames;
    for (int f = 0; f < artwork::cardFanFrames; ++f) {
        const QImage frame =
            strip.copy(f * artwork::cardFanFrameWidth, 0, artwork::cardFanFrameWidth, 102);
        int key = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                key += (frame.pixel(x, y) & 0xFFFFFF) == (artwork::cardFanKey() & 0xFFFFFF);
        // Each frame's cards keep clear of its edges, or the fan would show
        // cut off.
        for (int x = 0; x < frame.width(); ++x)
            for (int y : {0, frame.height() - 1})
                EXPECT_EQ(frame.pixel(x, y), artwork::cardFanKey()) << f << ": " << x << "," << y;
        for (int y = 0; y < frame.height(); ++y)
            for (int x : {0, frame.width() - 1})
                EXPECT_EQ(frame.pixel(x, y), artwork::cardFanKey()) << f << ": " << x << "," << y;
        const int all = frame.width() * frame.height();
        EXPECT_GT(key, all / 10) << "frame " << f;
        EXPECT_LT(key, all * 9 / 10) << "frame " << f;
        for (const QImage &earlier : frames)
            EXPECT_NE(frame, earlier) << "frame " << f << " repeats an earlier one";
        frames.append(frame);
    }
}

// Where one tile meets the next, neighbouring columns (and rows) differ no
// more than the most different neighbours inside the tile do.
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

TEST(Artwork, BackgroundTilesHaveNoSeams)
{
    QTransform turn;
    turn.rotate(90);
    for (const QImage &tile : {artwork::backgroundTile(), artwork::downloadTile()})
        for (const QImage &image : {tile, tile.transformed(turn)}) {
            double inside = 0;
            for (int x = 0; x + 1 < image.width(); ++x)
                inside = std::max(inside, columnStep(image, x, x + 1));
            EXPECT_LE(columnStep(image, image.width() - 1, 0), inside)
                << image.width() << "x" << image.height();
        }
    EXPECT_TRUE(artwork::feltColour().isValid());
}

TEST(Artwork, AdvertIsAJpegFile)
{
    const QByteArray jpeg = artwork::advertJpeg();
    ASSERT_GE(jpeg.size(), 3);
    EXPECT_EQ(jpeg.left(3), QByteArray("\xFF\xD8\xFF", 3));
    EXPECT_EQ(QImage::fromData(jpeg, "JPG").size(), QSize(400, 339));
}

struct Wave
{
    quint16 format = 0, channels = 0, bits = 0, blockAlign = 0;
    quint32 rate = 0, byteRate = 0;
    QByteArray data;
};

// Reads the chunks of a RIFF wave file; fails the test on a broken layout.
Wave parseWave(const QByteArray &file)
{
    Wave wave;
    EXPECT_GE(file.size(), 44);
    if (file.size() < 12)
        return wave;
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));
    EXPECT_EQ(file.mid(8, 4), "WAVE");
    int at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        const char *body = file.constData() + at + 8;
        if (at + 8 + qint64(size) > file.size()) {
            ADD_FAILURE() << "chunk " << id.constData() << " runs past the end";
            break;
        }
        if (id == "fmt ") {
            wave.format = qFromLittleEndian<quint16>(body);
            wave.channels = qFromLittleEndian<quint16>(body + 2);
            wave.rate = qFromLittleEndian<quint32>(body + 4);
            wave.byteRate = qFromLittleEndian<quint32>(body + 8);
            wave.blockAlign = qFromLittleEndian<quint16>(body + 12);
            wave.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            wave.data = QByteArray(body, int(size));
        }
        at += 8 + int(size) + int(size & 1);
    }
    return wave;
}

TEST(Artwork, EverySoundIsAPaddedSixteenBitMonoWave)
{
    const QStringList names = artwork::soundNames();
    EXPECT_EQ(names.size(), 7);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const Wave wave = parseWave(artwork::sound(name));
        EXPECT_EQ(wave.format, 1); // PCM
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_EQ(wave.blockAlign, 2);
        ASSERT_GT(wave.rate, 0u);
        EXPECT_EQ(wave.byteRate, wave.rate * 2);

        const auto *samples = reinterpret_cast<const qint16 *>(wave.data.constData());
        const int count = int(wave.data.size() / 2);
        const int tail = int(wave.rate / 4);     // 250 ms
        ASSERT_GT(count, tail + wave.rate / 20); // at least 50 ms of sound
        int loudest = 0;
        for (int i = 0; i < count - tail; ++i)
            loudest = std::max(loudest, std::abs(int(qFromLittleEndian(samples[i]))));
        EXPECT_GT(loudest, 32767 / 4);
        for (int i = count - tail; i < count; ++i)
            ASSERT_EQ(samples[i], 0) << "sample " << i << " of the silent tail";
    }
}

TEST(Artwork, SoundsAreFoundInAnyCaseAndByUrl)
{
    EXPECT_EQ(artwork::sound(QStringLiteral("TURN")), artwork::sound(QStringLiteral("turn")));
    EXPECT_NE(artwork::sound(QStringLiteral("turn")), artwork::sound(QStringLiteral("winner")));
    EXPECT_TRUE(artwork::sound(QStringLiteral("nosuchsound")).isEmpty());
    EXPECT_TRUE(artwork::soundUrl(QStringLiteral("nosuchsound")).isEmpty());

    const QUrl url = artwork::soundUrl(QStringLiteral("PlaceCard"));
    EXPECT_EQ(url.scheme(), QStringLiteral("qrc"));
    QFile file(QLatin1Char(':') + url.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), artwork::sound(QStringLiteral("placecard")));
}

} // namespace
