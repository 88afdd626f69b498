#include "resources/maker/cardfan.h"

#include "resources/maker/cards.h"
#include "resources/maker/drawkit.h"

#include <QPainter>

using namespace drawkit;

namespace {

constexpr int fanCards = 4;
constexpr qreal cardWidth = 46;
constexpr qreal cardHeight = 66;
constexpr qreal lift = 5;
// The cards turn about a point below the frame, as a hand holds them.
const QPointF pivot(50.5, 91.5);
constexpr qreal pivotGap = 0; // from the pivot to a card's lower edge

QImage frame(int lifted, qreal scale)
{
    QImage image = blankImage(cardfan::frameWidth, cardfan::frameHeight, scale);
    QPainter painter(&image);
    prepare(painter, cardfan::frameWidth, cardfan::frameHeight);
    for (int i = 0; i < fanCards; ++i) {
        const qreal angle = -24.0 + i * (48.0 / (fanCards - 1));
        painter.save();
        painter.translate(pivot);
        painter.rotate(angle);
        painter.translate(0, -pivotGap - (i == lifted ? lift : 0));
        cards::drawBack(painter, QRectF(-cardWidth / 2, -cardHeight, cardWidth, cardHeight));
        painter.restore();
    }
    return image;
}

// The strip has no alpha: what is fully clear becomes the lime key, and the
// soft edges are blended with the cloth's colour so that no green fringe
// shows where the key is replaced by the table's colour.
QRgb flatten(QRgb pixel)
{
    const int alpha = qAlpha(pixel);
    if (alpha < 8)
        return qRgb(0, 255, 0);
    const QColor under = palette::felt;
    const auto blend = [alpha](int premultiplied, int background) {
        return qMin(255, premultiplied + (255 - alpha) * background / 255);
    };
    return qRgb(blend(qRed(pixel), under.red()), blend(qGreen(pixel), under.green()),
                blend(qBlue(pixel), under.blue()));
}

} // namespace

namespace cardfan {

QImage strip(qreal scale)
{
    // Every frame has the same whole number of pixels, so that frame f
    // starts at f times the frame's width at any scale.
    const int width = scaledSide(frameWidth, scale);
    const int height = scaledSide(frameHeight, scale);
    QImage result(width * frameCount, height, QImage::Format_RGB32);
    for (int f = 0; f < frameCount; ++f) {
        // Frame 0 rests; frame f lifts card f - 1.
        const QImage drawn = frame(f - 1, scale);
        for (int y = 0; y < height; ++y) {
            const auto *source = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
            auto *target = reinterpret_cast<QRgb *>(result.scanLine(y)) + f * width;
            for (int x = 0; x < width; ++x)
                target[x] = flatten(source[x]);
        }
    }
    return result;
}

} // namespace cardfan
