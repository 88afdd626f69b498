#include "client/table/tablescale.h"

#include <gtest/gtest.h>

namespace {

using tablescale::Fit;

TEST(TableScale, TheTableGrowsByTheSmallerRatioAndIsCentred)
{
    struct Case
    {
        QSize window;
        bool fitToWindow;
        Fit expected;
    };
    const Case cases[] = {
        {{714, 489}, true, {1.0, {0, 0}}},     // the designed size
        {{1428, 978}, true, {2.0, {0, 0}}},    // exactly twice
        {{1920, 978}, true, {2.0, {246, 0}}},  // wide: height decides, cloth left and right
        {{1428, 1200}, true, {2.0, {0, 111}}}, // tall: width decides, cloth above and below
        {{1071, 1000}, true, {1.5, {0, 133}}}, // 1000 - 733.5 rounded to 734, halved
        {{900, 489}, true, {1.0, {93, 0}}},    // wider only: no growth, centred
        {{714, 600}, true, {1.0, {0, 55}}},
        {{600, 400}, true, {1.0, {0, 0}}},        // never below the designed size
        {{1920, 1080}, false, {1.0, {603, 295}}}, // fitting off: designed size, centred
        {{715, 490}, false, {1.0, {0, 0}}},
    };
    for (const Case &c : cases) {
        const Fit got = tablescale::fit(c.window, c.fitToWindow);
        EXPECT_DOUBLE_EQ(got.scale, c.expected.scale)
            << c.window.width() << "x" << c.window.height();
        EXPECT_EQ(got.offset, c.expected.offset) << c.window.width() << "x" << c.window.height();
    }

    // A maximised 1920 x 1080 screen less a menu bar: the scale is the
    // height's, the content fills the height exactly.
    const Fit maximised = tablescale::fit({1920, 1050});
    EXPECT_DOUBLE_EQ(maximised.scale, 1050.0 / 489);
    EXPECT_EQ(maximised.offset.y(), 0);
    EXPECT_EQ(maximised.offset.x(), (1920 - qRound(714 * 1050.0 / 489)) / 2);
}

TEST(TableScale, PlacesScaleWithThePicturesDrawnForThem)
{
    struct Case
    {
        QRect designed;
        qreal scale;
        QRect expected;
    };
    const Case cases[] = {
        {{153, 176, 71, 96}, 1.0, {153, 176, 71, 96}}, // the top card at the designed size
        {{153, 176, 71, 96}, 2.0, {306, 352, 142, 192}},
        {{153, 176, 71, 96}, 1.5, {230, 264, 107, 144}}, // a 1.5 card is 107 x 144
        {{8, 218, 23, 76}, 1.25, {10, 273, 29, 95}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tablescale::scaled(c.designed, c.scale), c.expected) << c.scale;
}

} // namespace
