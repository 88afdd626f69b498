#include "widgetprobe.h"
#include "widgets/tlbbackground.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

#include <memory>

namespace {

const QColor formColour(1, 2, 3);
const QColor ownPaint(0, 0, 255);
const QColor controlColour(255, 0, 0);

// Every pixel of the tile differs from every other one and from the colours
// above, so a form pixel tells exactly which tile pixel landed there.
QImage makeTile(int width, int height)
{
    QImage tile(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            tile.setPixel(x, y, qRgb(100 + x, 10 + y, 77));
    }
    return tile;
}

// A form with its own paint handler (a blue square) and one opaque control.
class PaintedForm : public QWidget
{
public:
    PaintedForm()
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, formColour);
        setPalette(palette);
        setAutoFillBackground(true);
        resize(714, 489);
        control.setParent(this);
        control.setGeometry(300, 100, 40, 30);
        QPalette controlPalette = control.palette();
        controlPalette.setColor(QPalette::Window, controlColour);
        control.setPalette(controlPalette);
        control.setAutoFillBackground(true);
    }
    static QRect ownSquare() { return {100, 100, 50, 50}; }
    QWidget control;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(ownSquare(), ownPaint);
    }
};

TEST(TLbBackgroundTest, TilesCoverTheOuterSizeWithOneTileToSpare)
{
    const QVector<QPoint> origins = TLbBackground::tileOrigins({714, 489}, {71, 96});
    QVector<int> columns;
    QVector<int> rows;
    for (const QPoint &p : origins) {
        if (p.y() == 0)
            columns.append(p.x());
        if (p.x() == 0)
            rows.append(p.y());
    }
    EXPECT_EQ(columns.size(), 12);
    EXPECT_EQ(columns.front(), 0);
    EXPECT_EQ(columns.back(), 781);
    EXPECT_EQ(rows, (QVector<int>{0, 96, 192, 288, 384, 480, 576}));
    EXPECT_EQ(origins.size(), 12 * 7);
    // Column by column, top to bottom.
    EXPECT_EQ(origins.at(1), QPoint(0, 96));
    EXPECT_EQ(origins.at(7), QPoint(71, 0));

    EXPECT_TRUE(TLbBackground::tileOrigins({714, 489}, {0, 0}).isEmpty());
}

TEST(TLbBackgroundTest, TilesLieUnderTheFormsOwnPaintingAndItsControls)
{
    PaintedForm form;
    TLbBackground background(&form);
    background.setEnabled(true);
    background.setImage(makeTile(71, 96));
    const QImage tile = makeTile(71, 96);

    const QImage shot = widgetprobe::snapshot(form);
    ASSERT_EQ(shot.size(), QSize(714, 489));
    const QPoint tiled[] = {{0, 0}, {70, 95}, {71, 0}, {710, 0}, {713, 488}, {400, 300}, {99, 99}};
    for (const QPoint &p : tiled) {
        EXPECT_EQ(shot.pixel(p), tile.pixel(p.x() % 71, p.y() % 96))
            << "at " << p.x() << "," << p.y();
    }
    EXPECT_EQ(shot.pixelColor(PaintedForm::ownSquare().center()), ownPaint);
    EXPECT_EQ(shot.pixelColor(320, 115), controlColour);
}

TEST(TLbBackgroundTest, WithoutTileOrWhenOffTheFormPaintsAlone)
{
    struct Case
    {
        const char *name;
        bool enabled;
        bool withTile;
    };
    const Case cases[] = {
        {"no tile yet", true, false},
        {"not enabled", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PaintedForm form;
        TLbBackground background(&form);
        background.setEnabled(c.enabled);
        if (c.withTile)
            background.setImage(makeTile(71, 96));
        const QImage shot = widgetprobe::snapshot(form);
        EXPECT_EQ(shot.pixelColor(0, 0), formColour);
        EXPECT_EQ(shot.pixelColor(713, 488), formColour);
        EXPECT_EQ(shot.pixelColor(PaintedForm::ownSquare().center()), ownPaint);
        EXPECT_EQ(shot.pixelColor(320, 115), controlColour);
    }
}

TEST(TLbBackgroundTest, CopiedTileShowsOnAnotherFormAndGoesWithItsComponent)
{
    PaintedForm mainForm;
    TLbBackground mainBackground(&mainForm);
    mainBackground.setEnabled(true);
    mainBackground.setImage(makeTile(71, 96));

    PaintedForm sideForm;
    auto sideBackground = std::make_unique<TLbBackground>(&sideForm);
    sideBackground->setEnabled(true);
    sideBackground->setImage(mainBackground.Image());
    EXPECT_EQ(sideBackground->objectName(), QStringLiteral("LbBackground1"));
    EXPECT_EQ(widgetprobe::snapshot(sideForm).pixel(75, 5), makeTile(71, 96).pixel(4, 5));

    // Gone with its component: the form is back to its own painting.
    sideBackground.reset();
    const QImage shot = widgetprobe::snapshot(sideForm);
    EXPECT_EQ(shot.pixelColor(75, 5), formColour);
    EXPECT_EQ(shot.pixelColor(PaintedForm::ownSquare().center()), ownPaint);
}

} // namespace
