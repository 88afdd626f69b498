// The chat column at the table's scale: type set larger, never enlarged, and
// phrase buttons drawn for their size.
#include "client/chat/chatpanel.h"
#include "resources/artsizes.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTextEdit>
#include <QToolButton>

namespace {

struct Fonts
{
    qreal log;
    qreal input;
};

Fonts fontsOf(const ChatPanel &panel)
{
    const auto *log = panel.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    const auto *input = panel.findChild<QLineEdit *>(QStringLiteral("mychat"));
    return {log->font().pointSizeF(), input->font().pointSizeF()};
}

TEST(ChatScale, TheTextSizeChosenAppliesOnTopOfTheScale)
{
    struct Case
    {
        qreal scale;
        int textSize;
        Fonts expected;
    };
    const Case cases[] = {
        {1.0, 8, {8, 10}},   {1.0, 14, {14, 10}}, {2.0, 8, {16, 20}},
        {2.0, 12, {24, 20}}, {1.5, 10, {15, 15}},
    };
    for (const Case &c : cases) {
        // Either order of the two calls gives the same fonts.
        ChatPanel sizeFirst(nullptr);
        sizeFirst.setTextSize(c.textSize);
        sizeFirst.setScale(c.scale);
        ChatPanel scaleFirst(nullptr);
        scaleFirst.setScale(c.scale);
        scaleFirst.setTextSize(c.textSize);
        for (const ChatPanel *panel : {&sizeFirst, &scaleFirst}) {
            const Fonts got = fontsOf(*panel);
            EXPECT_DOUBLE_EQ(got.log, c.expected.log) << c.scale << " " << c.textSize;
            EXPECT_DOUBLE_EQ(got.input, c.expected.input) << c.scale << " " << c.textSize;
            // The settings keep the size chosen, not the size shown.
            EXPECT_EQ(panel->textSize(), c.textSize);
        }
    }
}

TEST(ChatScale, PhraseButtonsAreDrawnForTheirSize)
{
    ChatPanel panel(nullptr);
    struct Case
    {
        qreal scale;
        QSize button;
    };
    const Case cases[] = {{1.0, {25, 19}}, {1.5, {38, 29}}, {2.0, {50, 38}}, {1.0, {25, 19}}};
    for (const Case &c : cases) {
        panel.setScale(c.scale);
        for (int number = 1; number <= ChatPanel::kPhraseCount; ++number) {
            const auto *button =
                panel.findChild<QToolButton *>(QStringLiteral("b_phrase%1").arg(number));
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->size(), c.button) << c.scale;
            EXPECT_EQ(button->iconSize(), c.button);
            const QImage icon = button->icon().pixmap(c.button).toImage();
            EXPECT_EQ(icon.size(), c.button);
            // The button's own picture for that size, not the designed one
            // stretched.
            EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
                      artwork::picture(artwork::Art::PhraseButton, number, c.scale, 1)
                          .convertToFormat(QImage::Format_ARGB32))
                << c.scale << " " << number;
        }
    }
    const QImage designedStretched =
        artwork::picture(artwork::Art::PhraseButton, 3, 1, 1)
            .scaled(50, 38, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32);
    EXPECT_NE(artwork::picture(artwork::Art::PhraseButton, 3, 2, 1)
                  .convertToFormat(QImage::Format_ARGB32),
              designedStretched);
}

} // namespace
