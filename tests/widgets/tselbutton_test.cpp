#include "widgetprobe.h"
#include "widgets/tselbutton.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using widgetprobe::sendEnter;
using widgetprobe::sendLeave;
using widgetprobe::sendMouse;
using widgetprobe::snapshot;

const QColor olive(128, 128, 0);
const QColor hoverCaption(0, 0, 160);
const QColor border(10, 20, 30);
const QColor normalFill(193, 219, 17);
const QColor overFill(230, 230, 230);
const QColor downFill(90, 200, 250);

// The caption font of the pixel cases. Without antialiasing every caption
// pixel has exactly the caption colour.
QFont captionFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Where the ink of `text` starts when its text cell's top-left is at (0, 0).
QPoint inkOffset(const QString &text, const QFont &font)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 20, metrics.height() + 20,
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, metrics.ascent()), text);
    painter.end();
    return widgetprobe::inkBounds(image, Qt::black).topLeft();
}

void styleForPixels(TSelButton &button)
{
    button.setFont(captionFont());
    button.setFontColor(olive);
    button.setColorOverCaption(hoverCaption);
    button.setColorBorder(border);
    button.setColor(normalFill);
    button.setColorOver(overFill);
    button.setColorDown(downFill);
}

TEST(TSelButtonTest, CaptionOriginFollowsAlignmentAndLook)
{
    struct Case
    {
        Qt::Alignment alignment;
        TSelLook look;
        QSize button;
        QSize caption;
        QPoint origin;
    };
    const Case cases[] = {
        {Qt::AlignHCenter, TSelLook::Normal, {71, 20}, {40, 16}, {15, 2}},
        {Qt::AlignHCenter, TSelLook::Hover, {71, 20}, {40, 16}, {15, 2}},
        {Qt::AlignHCenter, TSelLook::Pressed, {71, 20}, {40, 16}, {16, 3}},
        {Qt::AlignRight, TSelLook::Normal, {117, 20}, {30, 16}, {81, 2}},
        {Qt::AlignRight, TSelLook::Pressed, {117, 20}, {30, 16}, {80, 3}},
        {Qt::AlignLeft, TSelLook::Hover, {117, 20}, {30, 13}, {5, 4}},
        {Qt::AlignLeft, TSelLook::Pressed, {117, 20}, {30, 13}, {6, 5}},
        {Qt::AlignHCenter, TSelLook::Normal, {105, 21}, {33, 13}, {36, 4}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TSelButton::captionOrigin(c.alignment, c.look, c.button, c.caption), c.origin)
            << "alignment " << int(c.alignment) << ", look " << int(c.look);
    }
}

// The Part's pixel cases on a real button: where the caption's ink lands and
// in which colour, for every look.
TEST(TSelButtonTest, CaptionIsDrawnAtItsOffsetInEachLook)
{
    struct Case
    {
        const char *caption;
        int captionWidth;
        Qt::Alignment alignment;
        int buttonWidth;
        QPoint normal;
        QPoint pressed;
    };
    const Case cases[] = {
        {"Cards", 40, Qt::AlignHCenter, 71, {15, 2}, {16, 3}},
        {"Turn", 30, Qt::AlignRight, 117, {81, 2}, {80, 3}},
        {"Turn", 30, Qt::AlignLeft, 117, {5, 2}, {6, 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        const QString caption = QString::fromLatin1(c.caption);
        const QFontMetrics metrics(captionFont());
        ASSERT_EQ(QSize(metrics.horizontalAdvance(caption), metrics.height()),
                  QSize(c.captionWidth, 16))
            << "the pixel cases need DejaVu Sans (fonts-dejavu-core)";
        const QPoint ink = inkOffset(caption, captionFont());

        QWidget form;
        TSelButton button(&form);
        button.resize(c.buttonWidth, 20);
        styleForPixels(button);
        button.setAlignment(c.alignment);
        button.setCaption(caption);

        struct Look
        {
            const char *name;
            std::function<void()> reach;
            QColor fill;
            QColor text;
            QPoint origin;
        };
        const Look looks[] = {
            {"normal", [] {}, normalFill, olive, c.normal},
            {"hover",
             [&] {
                 sendEnter(button, {3, 3});
             },
             overFill, hoverCaption, c.normal},
            {"pressed",
             [&] {
                 sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, {3, 3});
             },
             downFill, hoverCaption, c.pressed},
        };
        for (const Look &look : looks) {
            SCOPED_TRACE(look.name);
            look.reach();
            const QImage shot = snapshot(button);
            EXPECT_EQ(shot.pixelColor(1, 1), look.fill);
            const QRect text = widgetprobe::inkBounds(shot, look.text);
            ASSERT_FALSE(text.isEmpty());
            EXPECT_EQ(text.topLeft() - ink, look.origin);
        }
    }
}

TEST(TSelButtonTest, PressedWithoutHoverKeepsTheNormalCaptionColour)
{
    QWidget form;
    TSelButton button(&form);
    styleForPixels(button);
    button.setCaption(QStringLiteral("Done"));
    sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, {3, 3});
    ASSERT_EQ(button.look(), TSelLook::Pressed);
    const QImage shot = snapshot(button);
    EXPECT_EQ(shot.pixelColor(1, 1), downFill);
    EXPECT_FALSE(widgetprobe::inkBounds(shot, olive).isEmpty());
    EXPECT_TRUE(widgetprobe::inkBounds(shot, hoverCaption).isEmpty());
}

TEST(TSelButtonTest, FrameIsDrawnAsNestedOutlinesOverTheFill)
{
    const QColor formColour(1, 2, 3);
    for (int width : {0, 1, 3}) {
        SCOPED_TRACE(testing::Message() << "BorderWidth " << width);
        QWidget form;
        QPalette palette = form.palette();
        palette.setColor(QPalette::Window, formColour);
        form.setPalette(palette);
        TSelButton button(&form);
        button.resize(40, 20);
        styleForPixels(button);
        button.setCaption(QString());
        button.setBorderWidth(width);
        const QImage shot = snapshot(button);

        // A horizontal and a vertical walk in from the edges.
        for (int i = 0; i < 6; ++i) {
            QColor expected = normalFill;
            if (i < width)
                expected = border;
            else if (i == 0)
                expected = formColour; // no frame: the form shows through the outer ring
            EXPECT_EQ(shot.pixelColor(i, 10), expected) << "left " << i;
            EXPECT_EQ(shot.pixelColor(39 - i, 10), expected) << "right " << i;
            EXPECT_EQ(shot.pixelColor(20, i), expected) << "top " << i;
            EXPECT_EQ(shot.pixelColor(20, 19 - i), expected) << "bottom " << i;
        }
    }
}

// Every event of the button's own, in the order fired.
struct EventLog
{
    explicit EventLog(TSelButton &button)
    {
        auto mouse = [this](const char *what) {
            return [this, what](TSelButton *, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                int y) {
                std::string line = std::string(what) + (b == Qt::LeftButton ? " left" : " other");
                if (m & Qt::ShiftModifier)
                    line += " shift";
                entries.push_back(line + " " + std::to_string(x) + "," + std::to_string(y));
            };
        };
        QObject::connect(&button, &TSelButton::OnMouseDown, mouse("down"));
        QObject::connect(&button, &TSelButton::OnMouseUp, mouse("up"));
        QObject::connect(&button, &TSelButton::OnClick,
                         [this](TSelButton *) { entries.push_back("click"); });
    }
    std::vector<std::string> entries;
};

enum class Input {
    Enter,
    Leave,
    PressLeft,
    PressLeftShift,
    ReleaseLeft,
    ReleaseOutside,
    PressRight,
    ReleaseRight
};

void deliver(TSelButton &button, Input input)
{
    switch (input) {
    case Input::Enter:
        sendEnter(button, {4, 5});
        break;
    case Input::Leave:
        sendLeave(button);
        break;
    case Input::PressLeft:
        sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, {4, 5});
        break;
    case Input::PressLeftShift:
        sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, {4, 5}, Qt::ShiftModifier);
        break;
    case Input::ReleaseLeft:
        sendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, {7, 8});
        break;
    case Input::ReleaseOutside:
        sendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, {90, 40});
        break;
    case Input::PressRight:
        sendMouse(button, QEvent::MouseButtonPress, Qt::RightButton, {4, 5});
        break;
    case Input::ReleaseRight:
        sendMouse(button, QEvent::MouseButtonRelease, Qt::RightButton, {7, 8});
        break;
    }
}

TEST(TSelButtonTest, MouseEventsFireInOrderAndPickTheLook)
{
    using L = TSelLook;
    struct Case
    {
        const char *name;
        bool enabled;
        std::vector<Input> inputs;
        std::vector<TSelLook> looks; // after each input
        std::vector<std::string> fired;
    };
    const Case cases[] = {
        {"a click",
         true,
         {Input::Enter, Input::PressLeft, Input::ReleaseLeft, Input::Leave},
         {L::Hover, L::Pressed, L::Hover, L::Normal},
         {"down left 4,5", "click", "up left 7,8"}},
        {"shift passed on",
         true,
         {Input::PressLeftShift, Input::ReleaseLeft},
         {L::Pressed, L::Hover},
         {"down left shift 4,5", "click", "up left 7,8"}},
        {"dragged off, leave first",
         true,
         {Input::Enter, Input::PressLeft, Input::Leave, Input::ReleaseOutside},
         {L::Hover, L::Pressed, L::Normal, L::Normal},
         {"down left 4,5", "up left 90,40"}},
        {"dragged off, leave after the release",
         true,
         {Input::Enter, Input::PressLeft, Input::ReleaseOutside, Input::Leave},
         {L::Hover, L::Pressed, L::Normal, L::Normal},
         {"down left 4,5", "up left 90,40"}},
        {"right button",
         true,
         {Input::Enter, Input::PressRight, Input::ReleaseRight},
         {L::Hover, L::Hover, L::Hover},
         {}},
        {"not Enabled",
         false,
         {Input::Enter, Input::PressLeft, Input::ReleaseLeft, Input::Leave},
         {L::Normal, L::Normal, L::Normal, L::Normal},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget form;
        form.resize(200, 100);
        TSelButton button(&form);
        button.setGeometry(10, 10, 71, 20);
        form.show();
        button.setEnabled(c.enabled);
        EventLog log(button);
        ASSERT_EQ(c.inputs.size(), c.looks.size());
        for (size_t i = 0; i < c.inputs.size(); ++i) {
            deliver(button, c.inputs[i]);
            EXPECT_EQ(button.look(), c.looks[i]) << "after input " << i;
        }
        EXPECT_EQ(log.entries, c.fired);
    }
}

TEST(TSelButtonTest, NotEnabledButtonRepaintsNormallyOnClick)
{
    QWidget form;
    TSelButton button(&form);
    styleForPixels(button);
    sendEnter(button, {4, 5});
    ASSERT_EQ(button.look(), TSelLook::Hover);
    button.setEnabled(false);
    EventLog log(button);
    deliver(button, Input::PressLeft);
    EXPECT_EQ(button.look(), TSelLook::Hover);
    deliver(button, Input::ReleaseLeft);
    EXPECT_EQ(button.look(), TSelLook::Normal);
    EXPECT_EQ(snapshot(button).pixelColor(1, 1), normalFill);
    EXPECT_TRUE(log.entries.empty());
}

TEST(TSelButtonTest, ClickHandlersMayHideOrDeleteTheButton)
{
    QWidget form;
    form.resize(200, 100);
    auto owned = std::make_unique<TSelButton>(&form);
    TSelButton *button = owned.get();
    form.show();

    // A "Done" button that closes its window: no hover look stays behind.
    auto hide = QObject::connect(button, &TSelButton::OnClick, [&] { form.hide(); });
    bool released = false;
    QObject::connect(button, &TSelButton::OnMouseUp, [&] { released = true; });
    deliver(*button, Input::Enter);
    deliver(*button, Input::PressLeft);
    deliver(*button, Input::ReleaseLeft);
    EXPECT_TRUE(released);
    EXPECT_EQ(button->look(), TSelLook::Normal);
    QObject::disconnect(hide);

    // A handler that destroys the button ends the release handling there.
    form.show();
    released = false;
    QObject::connect(button, &TSelButton::OnClick, [&] { owned.reset(); });
    deliver(*button, Input::PressLeft);
    deliver(*button, Input::ReleaseLeft);
    EXPECT_EQ(owned, nullptr);
    EXPECT_FALSE(released);
}

TEST(TSelButtonTest, PaintingPropertiesShowTheNormalLookOthersAreStoredOnly)
{
    struct Case
    {
        const char *name;
        std::function<void(TSelButton &)> set;
        bool showsNormal;
    };
    const Case cases[] = {
        {"Caption", [](TSelButton &b) { b.setCaption(QStringLiteral("Done")); }, true},
        {"Color", [](TSelButton &b) { b.setColor(Qt::red); }, true},
        {"ColorBorder", [](TSelButton &b) { b.setColorBorder(Qt::red); }, true},
        {"Alignment", [](TSelButton &b) { b.setAlignment(Qt::AlignRight); }, true},
        {"BorderWidth", [](TSelButton &b) { b.setBorderWidth(2); }, true},
        {"ColorOver", [](TSelButton &b) { b.setColorOver(Qt::red); }, false},
        {"ColorDown", [](TSelButton &b) { b.setColorDown(Qt::red); }, false},
        {"ColorOverCaption", [](TSelButton &b) { b.setColorOverCaption(Qt::red); }, false},
        {"Enabled", [](TSelButton &b) { b.setEnabled(false); }, false},
    };
    for (const Case &c : cases) {
        QWidget form;
        TSelButton button(&form);
        sendEnter(button, {4, 5});
        c.set(button);
        EXPECT_EQ(button.look(), c.showsNormal ? TSelLook::Normal : TSelLook::Hover) << c.name;
    }
}

TEST(TSelButtonTest, NewButtonStartsWithItsNameAndDefaults)
{
    QWidget form;
    TSelButton named(QStringLiteral("button_done"), &form);
    EXPECT_EQ(named.Caption(), QStringLiteral("button_done"));
    named.setCaption(QStringLiteral("Done"));
    EXPECT_EQ(named.Caption(), QStringLiteral("Done"));

    TSelButton later;
    later.setObjectName(QStringLiteral("SelButton1"));
    EXPECT_EQ(later.Caption(), QString());
    later.setParent(&form);
    EXPECT_EQ(later.Caption(), QStringLiteral("SelButton1"));

    EXPECT_EQ(later.size(), QSize(105, 20));
    EXPECT_EQ(later.ColorBorder(), QColor(128, 128, 128));
    EXPECT_EQ(later.FontColor(), QColor(128, 128, 128));
    EXPECT_EQ(later.ColorOver(), QColor(132, 185, 164));
    EXPECT_EQ(later.ColorDown(), QColor(132, 185, 164));
    EXPECT_EQ(later.ColorOverCaption(), QColor(Qt::black));
    EXPECT_EQ(later.Alignment(), Qt::AlignLeft);
    EXPECT_EQ(later.BorderWidth(), 1);
    EXPECT_TRUE(later.Enabled());
    EXPECT_EQ(later.font().pointSize(), 8);
}

} // namespace
