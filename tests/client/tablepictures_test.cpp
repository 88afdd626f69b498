// The table's cards, digits and bags on a screen of twice the pixel density
// (the program runs at QT_SCALE_FACTOR=2, set before the application
// starts): a label of the designed size shows the picture drawn for that
// density, pixel for pixel.
#include "client/chat/chatpanel.h"
#include "client/table/tablepictures.h"
#include "resources/artsizes.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>

namespace {

const bool twiceTheDensity = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

using artwork::Art;

TEST(TablePictures, OnADenseScreenALabelShowsThePictureDrawnForIt)
{
    ASSERT_EQ(tablepictures::screenRatio(), 2.0);
    struct Case
    {
        QPixmap pixmap;
        Art art;
        int index;
    };
    const Case cases[] = {
        {tablepictures::bigCard(33), Art::BigCard, 33},
        {tablepictures::bigCard(0), Art::BigCard, 0},
        {tablepictures::digit(8), Art::Digit, 8},
        {tablepictures::bags(3), Art::Bags, 3},
    };
    for (const Case &c : cases) {
        const QSize designed = artwork::designedSize(c.art);
        EXPECT_EQ(c.pixmap.size(), designed * 2) << int(c.art) << " " << c.index;
        EXPECT_EQ(c.pixmap.devicePixelRatio(), 2.0);

        QLabel label;
        label.setAttribute(Qt::WA_TranslucentBackground);
        label.resize(designed);
        label.setPixmap(c.pixmap);
        QImage shown(designed * 2, QImage::Format_ARGB32_Premultiplied);
        shown.setDevicePixelRatio(2);
        shown.fill(Qt::transparent);
        label.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
        const QImage drawn = artwork::drawn(c.art, c.index, 1, 2)
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(shown, drawn) << int(c.art) << " " << c.index;
    }
}

TEST(TablePictures, ABiggerTableGetsBiggerPicturesAndNumbersOutsideAListNone)
{
    const QPixmap card = tablepictures::bigCard(52, 1.5, 1);
    EXPECT_EQ(card.size(), QSize(107, 144));
    EXPECT_EQ(card.devicePixelRatio(), 1.0);
    EXPECT_EQ(tablepictures::bags(2, 2, 2).size(), QSize(92, 304));
    EXPECT_TRUE(tablepictures::bigCard(53).isNull());
    EXPECT_TRUE(tablepictures::digit(-1).isNull());
    EXPECT_TRUE(tablepictures::bags(4, 2).isNull());
}

} // namespace

namespace {

// The chat column's phrase buttons follow the same rule on a dense screen.
TEST(TablePictures, OnADenseScreenPhraseButtonsAreDrawnForIt)
{
    ChatPanel panel(nullptr);
    for (qreal scale : {1.0, 1.5}) {
        panel.setScale(scale);
        const auto *button = panel.findChild<QToolButton *>(QStringLiteral("b_phrase4"));
        ASSERT_NE(button, nullptr);
        const QPixmap icon = button->icon().pixmap(button->iconSize(), 2.0);
        // Drawn for the device pixels, never an enlargement of the 1x icon.
        EXPECT_EQ(icon.size(), artwork::pixelSize(Art::PhraseButton, scale, 2)) << scale;
        EXPECT_EQ(
            icon.toImage().convertToFormat(QImage::Format_ARGB32),
            artwork::drawn(Art::PhraseButton, 4, scale, 2).convertToFormat(QImage::Format_ARGB32))
            << scale;
    }
}

} // namespace
