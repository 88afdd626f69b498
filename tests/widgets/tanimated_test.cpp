#include "tests/support/wait.h"
#include "widgetprobe.h"
#include "widgets/tanimated.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <vector>

namespace {

const QColor lime(0, 255, 0);
const QColor nearLime(0, 254, 0);
const QColor board(0, 96, 48);

QColor frameColor(int frame)
{
    return QColor(40 * frame + 20, 10, 200 - 30 * frame);
}

// A strip of `frames` frames, each filled with its own colour, with a lime
// square at (2, 2)-(4, 4) and one almost-lime pixel at (6, 6).
QImage makeStrip(int frameWidth, int height, int frames)
{
    QImage strip(frameWidth * frames, height, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int f = 0; f < frames; ++f) {
        const int left = f * frameWidth;
        painter.fillRect(left, 0, frameWidth, height, frameColor(f));
        painter.fillRect(left + 2, 2, 3, 3, lime);
        painter.fillRect(left + 6, 6, 1, 1, nearLime);
    }
    return strip;
}

// Records every frame reported through OnChangeFrame.
struct FrameLog
{
    explicit FrameLog(TAnimated &image)
    {
        QObject::connect(&image, &TAnimated::OnChangeFrame,
                         [this](TAnimated *sender) { frames.push_back(sender->Frame()); });
    }
    std::vector<int> frames;
};

TEST(TAnimatedTest, FrameWrapsAndReportsOnlyNewValues)
{
    struct Case
    {
        int start;
        int value;
        int shown;
        bool reported;
    };
    const Case cases[] = {
        {0, 7, 2, true},  {0, -1, 4, true}, {0, -9, 4, true},  {3, 5, 0, true},
        {3, 3, 3, false}, {2, 7, 2, false}, {4, -1, 4, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << ", set " << c.value);
        TAnimated image;
        image.setFrameCount(5);
        image.setFrame(c.start);
        FrameLog log(image);
        image.setFrame(c.value);
        EXPECT_EQ(image.Frame(), c.shown);
        EXPECT_EQ(log.frames, c.reported ? std::vector<int>{c.shown} : std::vector<int>{});
    }
}

TEST(TAnimatedTest, FrameCountBelowOneIsRefused)
{
    TAnimated image;
    image.setFrameCount(5);
    for (int bad : {0, -3}) {
        image.setFrameCount(bad);
        EXPECT_EQ(image.FrameCount(), 5);
    }
    image.setFrame(9);
    EXPECT_EQ(image.Frame(), 4);
}

TEST(TAnimatedTest, StepsRunAndStopAtTheEnds)
{
    struct Case
    {
        const char *name;
        int frameCount;
        int start;
        bool reverse;
        bool loop;
        int ticks;
        std::vector<int> shown; // frames reported, in order
        bool playingAfter;
    };
    const Case cases[] = {
        {"looping forwards", 5, 0, false, true, 7, {1, 2, 3, 4, 0, 1, 2}, true},
        {"once forwards", 5, 0, false, false, 9, {1, 2, 3, 4}, false},
        {"once forwards from the last", 5, 4, false, false, 9, {0, 1, 2, 3, 4}, false},
        {"looping backwards", 5, 2, true, true, 5, {1, 0, 4, 3, 2}, true},
        {"once backwards", 5, 3, true, false, 9, {2, 1, 0}, false},
        {"once backwards from the first", 5, 0, true, false, 9, {4, 3, 2, 1, 0}, false},
        {"single frame, once", 1, 0, false, false, 3, {}, false},
        {"single frame, looping", 1, 0, false, true, 3, {}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TAnimated image;
        image.setFrameCount(c.frameCount);
        image.setFrame(c.start);
        image.setReverse(c.reverse);
        image.setLoop(c.loop);
        image.setInterval(250);
        image.setPlay(true);
        FrameLog log(image);
        for (int tick = 0; tick < c.ticks && image.Play(); ++tick)
            image.step();
        EXPECT_EQ(log.frames, c.shown);
        EXPECT_EQ(image.Play(), c.playingAfter);
        EXPECT_EQ(image.stepTimer().isActive(), c.playingAfter);
    }
}

TEST(TAnimatedTest, PlayAndIntervalDriveTheStepTimer)
{
    TAnimated image;
    image.setFrameCount(5);
    image.setInterval(250);

    struct Step
    {
        const char *name;
        std::function<void()> change;
        bool play;
        bool timerRunning;
        int period;
    };
    const Step steps[] = {
        {"play", [&] { image.setPlay(true); }, true, true, 250},
        {"faster while playing", [&] { image.setInterval(100); }, true, true, 100},
        {"interval 0 arms only", [&] { image.setInterval(0); }, true, false, 0},
        {"positive interval starts again", [&] { image.setInterval(40); }, true, true, 40},
        {"stop", [&] { image.setPlay(false); }, false, false, 0},
        {"interval while stopped", [&] { image.setInterval(250); }, false, false, 0},
        {"play with interval -5",
         [&] {
             image.setInterval(-5);
             image.setPlay(true);
         },
         true, false, 0},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        EXPECT_EQ(image.Play(), s.play);
        EXPECT_EQ(image.stepTimer().isActive(), s.timerRunning);
        if (s.timerRunning) {
            EXPECT_EQ(image.stepTimer().interval(), s.period);
        }
    }
}

TEST(TAnimatedTest, StoppingAsTheTableDoesLeavesFrameZeroAndNoTimer)
{
    TAnimated image;
    image.setFrameCount(5);
    image.setInterval(250);
    image.setPlay(true);
    image.step();
    image.step();
    image.setPlay(false);
    EXPECT_EQ(image.Frame(), 2); // stopping alone keeps the frame
    image.setFrame(0);
    EXPECT_EQ(image.Frame(), 0);
    EXPECT_FALSE(image.Play());
    EXPECT_FALSE(image.stepTimer().isActive());
}

TEST(TAnimatedTest, TheStepTimerAdvancesTheStrip)
{
    TAnimated image;
    image.setFrameCount(5);
    image.setLoop(false);
    image.setInterval(1);
    FrameLog log(image);
    image.setPlay(true);
    ASSERT_TRUE(waitUntil([&] { return !image.Play(); }));
    EXPECT_EQ(log.frames, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(image.stepTimer().isActive());
}

TEST(TAnimatedTest, BitMapSetsTheHeightButNotTheWidth)
{
    struct Case
    {
        QSize picture;
        QSize control;
    };
    const Case cases[] = {
        {{505, 102}, {101, 102}},
        {{20, 7}, {101, 7}},
        {{0, 0}, {101, 30}},
    };
    for (const Case &c : cases) {
        TAnimated image;
        image.resize(101, 55);
        image.setBitMap(c.picture.isEmpty() ? QImage()
                                            : makeStrip(c.picture.width(), c.picture.height(), 1));
        EXPECT_EQ(image.size(), c.control) << c.picture.width() << "x" << c.picture.height();
    }
}

TEST(TAnimatedTest, WithoutPictureTheAreaIsWhite)
{
    QWidget board;
    TAnimated image(&board);
    image.resize(40, 25);
    const QImage shot = widgetprobe::snapshot(image);
    ASSERT_EQ(shot.size(), QSize(40, 25));
    EXPECT_EQ(widgetprobe::inkBounds(shot, Qt::white), QRect(0, 0, 40, 25));
}

TEST(TAnimatedTest, PaintsTheCurrentFrameWithTheKeyColourInTheControlColour)
{
    struct Case
    {
        const char *name;
        QColor key;
        bool ownColour; // set the control's colour instead of taking the parent's
    };
    const QColor own(200, 180, 20);
    const Case cases[] = {
        {"no key", QColor(), false},
        {"lime key, parent colour", lime, false},
        {"lime key, own colour", lime, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget panel;
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, board);
        panel.setPalette(palette);
        TAnimated image(&panel);
        image.resize(12, 30);
        image.setBitMap(makeStrip(12, 10, 5));
        image.setFrameCount(5);
        image.setFrame(3);
        image.setTransparentColor(c.key);
        if (c.ownColour)
            image.setColor(own);
        const QColor background = c.ownColour ? own : board;

        const QImage shot = widgetprobe::snapshot(image);
        ASSERT_EQ(shot.size(), QSize(12, 10));
        EXPECT_EQ(shot.pixelColor(0, 0), frameColor(3));
        EXPECT_EQ(shot.pixelColor(11, 9), frameColor(3));
        EXPECT_EQ(shot.pixelColor(6, 6), nearLime);
        const QColor keyed = c.key.isValid() ? background : lime;
        EXPECT_EQ(widgetprobe::inkBounds(shot, keyed).intersected(QRect(1, 1, 5, 5)),
                  QRect(2, 2, 3, 3));
        if (c.key.isValid()) {
            EXPECT_TRUE(widgetprobe::inkBounds(shot, lime).isEmpty());
        }
    }
}

TEST(TAnimatedTest, AFrameBeyondTheStripShowsTheControlColour)
{
    QWidget panel;
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, board);
    panel.setPalette(palette);
    TAnimated image(&panel);
    image.resize(12, 30);
    image.setBitMap(makeStrip(12, 10, 2)); // two frames painted, five counted
    image.setFrameCount(5);
    image.setFrame(4);
    EXPECT_EQ(widgetprobe::inkBounds(widgetprobe::snapshot(image), board), QRect(0, 0, 12, 10));
}

} // namespace
