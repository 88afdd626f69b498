// The animated fan and the tiled background on a screen of twice the pixel
// density: they must paint pictures drawn for that density pixel for pixel,
// never an enlargement. The whole program runs at QT_SCALE_FACTOR=2, set
// before the application starts.
#include "widgets/tanimated.h"
#include "widgets/tlbbackground.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

namespace {

const bool twiceTheDensity = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

const QRgb lime = qRgb(0, 255, 0);
const QRgb board = qRgb(10, 90, 40);

// A strip of `frames` frames of `width` x `height` logical pixels, drawn for
// `ratio`: every device pixel differs from its neighbours, so a strip
// enlarged from a smaller one could never match it. Frame f shows f in its
// blue channel; pixels where x + y is a multiple of 7 are lime.
QImage patternStrip(int frames, int width, int height, qreal ratio)
{
    const int w = qRound(width * ratio);
    const int h = qRound(height * ratio);
    QImage strip(w * frames, h, QImage::Format_RGB32);
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                strip.setPixel(f * w + x, y,
                               (x + y) % 7 == 0 ? lime : qRgb(x * 5 % 256, y * 3 % 256, 40 * f));
    strip.setDevicePixelRatio(ratio);
    return strip;
}

TEST(PixelRatio, TheScreenIsTwiceAsDense)
{
    QWidget probe;
    probe.resize(10, 10);
    EXPECT_EQ(probe.devicePixelRatioF(), 2.0);
}

TEST(PixelRatio, AnAnimatedFanPaintsItsStripForTheScreensDensityPixelForPixel)
{
    QWidget parent;
    parent.resize(200, 200);
    auto *fan = new TAnimated(&parent);
    fan->setGeometry(10, 10, 20, 12);
    fan->setFrameCount(3);
    fan->setTransparentColor(QColor(lime));
    fan->setColor(QColor(board));
    QList<qreal> asked;
    fan->setBitMapMaker([&asked](qreal ratio) {
        asked.append(ratio);
        return patternStrip(3, 20, 12, ratio);
    });
    parent.show();

    const QImage strip = patternStrip(3, 20, 12, 2.0);
    for (int frame : {0, 2, 1}) {
        fan->setFrame(frame);
        const QImage shown = fan->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(40, 24));
        int wrong = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x) {
                const QRgb drawn = strip.pixel(frame * 40 + x, y);
                wrong += shown.pixel(x, y) != (drawn == lime ? board : drawn);
            }
        EXPECT_EQ(wrong, 0) << "frame " << frame;
    }
    // Drawn once, for this screen, however often it is painted.
    EXPECT_EQ(asked, QList<qreal>{2.0});
}

TEST(PixelRatio, AHiddenFanDrawsNothingUntilItIsShown)
{
    QWidget parent;
    parent.resize(200, 200);
    auto *fan = new TAnimated(&parent);
    fan->hide();
    int asked = 0;
    fan->setBitMapMaker([&asked](qreal ratio) {
        ++asked;
        return patternStrip(5, 30, 30, ratio);
    });
    parent.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 0);
    fan->grab(); // a hidden control is painted only when asked for
    EXPECT_EQ(asked, 1);
    TAnimated idle(&parent);
    idle.setBitMapMaker([&asked](qreal ratio) {
        ++asked;
        return patternStrip(5, 30, 30, ratio);
    });
    idle.hide();
    EXPECT_EQ(asked, 1);
}

// A strip given outright at the screen's density is painted as it is.
TEST(PixelRatio, AStripGivenWithItsRatioIsNotEnlarged)
{
    TAnimated fan;
    fan.resize(20, 12);
    fan.setFrameCount(3);
    fan.setBitMap(patternStrip(3, 20, 12, 2.0));
    EXPECT_EQ(fan.height(), 12); // logical pixels, not the strip's 24
    fan.setFrame(1);
    const QImage shown = fan.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage strip = patternStrip(3, 20, 12, 2.0);
    ASSERT_EQ(shown.size(), QSize(40, 24));
    EXPECT_EQ(shown, strip.copy(40, 0, 40, 24).convertToFormat(QImage::Format_RGB32));
}

TEST(PixelRatio, BackgroundTilesLieOnTheScreensOwnPixels)
{
    QWidget form;
    form.resize(90, 70);
    TLbBackground background(&form);
    background.setEnabled(true);
    QList<qreal> asked;
    background.setImageMaker([&asked](qreal ratio) {
        asked.append(ratio);
        return patternStrip(1, 13, 9, ratio);
    });
    form.show();
    const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage tile = patternStrip(1, 13, 9, 2.0);
    ASSERT_EQ(shown.size(), QSize(180, 140));
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            wrong += shown.pixel(x, y) != tile.pixel(x % tile.width(), y % tile.height());
    EXPECT_EQ(wrong, 0);
    form.update();
    form.grab();
    EXPECT_EQ(asked, QList<qreal>{2.0});
}

} // namespace
