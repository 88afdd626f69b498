#include "windows/jpegimage.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Four flat quarters, so that colours survive the lossy coding well enough
// to be told apart.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(220, 30, 30));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(30, 200, 40));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(20, 40, 210));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2,
                     QColor(240, 240, 240));
    return image;
}

QByteArray encode(const QImage &image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

bool near(QRgb got, QColor want, int tolerance = 12)
{
    return std::abs(qRed(got) - want.red()) <= tolerance &&
           std::abs(qGreen(got) - want.green()) <= tolerance &&
           std::abs(qBlue(got) - want.blue()) <= tolerance;
}

struct PictureCase
{
    const char *name;
    QImage::Format format;
    bool progressive;
};

class JpegPictureTest : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(JpegPictureTest, DecodesSizeAndColours)
{
    const QImage original = quarters(400, 339).convertToFormat(GetParam().format);
    QString error;
    const QImage decoded = jpegimage::decode(encode(original, GetParam().progressive), &error);
    ASSERT_FALSE(decoded.isNull()) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(decoded.size(), QSize(400, 339));
    // Sample the middle of each quarter against the original's colour there.
    for (const QPoint at : {QPoint(100, 85), QPoint(300, 85), QPoint(100, 250), QPoint(300, 250)})
        EXPECT_TRUE(near(decoded.pixel(at), original.pixelColor(at)))
            << at.x() << "," << at.y() << " got " << std::hex << decoded.pixel(at);
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegPictureTest,
                         ::testing::Values(PictureCase{"Colour", QImage::Format_RGB32, false},
                                           PictureCase{"Progressive", QImage::Format_RGB32, true},
                                           PictureCase{"Grey", QImage::Format_Grayscale8, false}),
                         [](const auto &info) { return info.param.name; });

TEST(JpegImage, PictureCutShortKeepsWhatArrived)
{
    const QByteArray whole = encode(quarters(200, 200), false);
    const QImage decoded = jpegimage::decode(whole.left(whole.size() * 2 / 3));
    ASSERT_EQ(decoded.size(), QSize(200, 200));
    EXPECT_TRUE(near(decoded.pixel(50, 50), QColor(220, 30, 30)));
}

TEST(JpegImage, RefusesWhatIsNotAUsableJpeg)
{
    QByteArray hugeHeader = encode(quarters(16, 16), false);
    // The frame header's height and width follow the 0xFFC0 marker and its
    // length and precision fields.
    const qsizetype frame = hugeHeader.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    hugeHeader[frame + 5] = char(0x40);
    hugeHeader[frame + 6] = char(0x00);

    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"text", QByteArray("this is not a picture at all")},
        {"PNG", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"only the start marker", QByteArray("\xFF\xD8", 2)},
        {"16384 pixels high", hugeHeader},
    };
    for (const auto &[name, bytes] : cases) {
        QString error;
        EXPECT_TRUE(jpegimage::decode(bytes, &error).isNull()) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}

} // namespace
