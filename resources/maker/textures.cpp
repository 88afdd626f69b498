#include "resources/maker/textures.h"

#include "resources/maker/artfonts.h"
#include "resources/maker/cards.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/tablepieces.h"

#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <vector>

using namespace drawkit;

namespace {

// Value noise on a lattice that wraps round at the picture's edges, so the
// picture tiles without seams.
class WrappingNoise
{
public:
    WrappingNoise(int cellsAcross, int cellsDown, std::uint32_t seed)
        : across(cellsAcross), down(cellsDown), values(cellsAcross * cellsDown)
    {
        Random random(seed);
        for (double &v : values)
            v = random.unit();
    }

    // u and v from 0 to 1 across the picture; the result from 0 to 1.
    double at(double u, double v) const
    {
        const double x = u * across;
        const double y = v * down;
        const int x0 = int(std::floor(x));
        const int y0 = int(std::floor(y));
        const double fx = smooth(x - x0);
        const double fy = smooth(y - y0);
        const double top = mix(value(x0, y0), value(x0 + 1, y0), fx);
        const double bottom = mix(value(x0, y0 + 1), value(x0 + 1, y0 + 1), fx);
        return mix(top, bottom, fy);
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    static double mix(double a, double b, double t) { return a + (b - a) * t; }
    double value(int x, int y) const
    {
        x = ((x % across) + across) % across;
        y = ((y % down) + down) % down;
        return values[y * across + x];
    }

    int across;
    int down;
    std::vector<double> values;
};

QRgb shade(const QColor &base, double factor)
{
    const auto channel = [factor](int c) { return qBound(0, int(std::lround(c * factor)), 255); };
    return qRgb(channel(base.red()), channel(base.green()), channel(base.blue()));
}

// Moves every pixel by the same amount so that the picture's average is
// `target`.
void settleAverage(QImage &image, const QColor &target)
{
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
        }
    const double count = double(image.width()) * image.height();
    const int shift[3] = {int(std::lround(target.red() - sum[0] / count)),
                          int(std::lround(target.green() - sum[1] / count)),
                          int(std::lround(target.blue() - sum[2] / count))};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            image.setPixel(x, y,
                           qRgb(qBound(0, qRed(p) + shift[0], 255),
                                qBound(0, qGreen(p) + shift[1], 255),
                                qBound(0, qBlue(p) + shift[2], 255)));
        }
}

// Short fibres lying every which way, drawn nine times so that those
// crossing an edge come back in on the other side. w x h is the tile's
// size at the designed scale; the image may be drawn larger.
void addFibres(QImage &image, int w, int h, int count, std::uint32_t seed)
{
    QPainter painter(&image);
    prepare(painter, w, h);
    Random random(seed);
    for (int i = 0; i < count; ++i) {
        const QPointF start(random.between(0, w), random.between(0, h));
        const double angle = random.between(0, 2 * M_PI);
        const double length = random.between(2.5, 6.0);
        const QPointF end = start + QPointF(std::cos(angle), std::sin(angle)) * length;
        const bool light = random.unit() < 0.5;
        const QColor colour = light ? QColor(255, 255, 255, int(random.between(14, 30)))
                                    : QColor(0, 0, 0, int(random.between(16, 34)));
        painter.setPen(QPen(colour, 0.7, Qt::SolidLine, Qt::RoundCap));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                painter.drawLine(start + QPointF(dx * w, dy * h), end + QPointF(dx * w, dy * h));
    }
}

void drawCardAt(QPainter &painter, int n, QPointF bottomCentre, qreal angle, qreal scale)
{
    painter.save();
    painter.translate(bottomCentre);
    painter.rotate(angle);
    painter.scale(scale, scale);
    painter.translate(-cards::width / 2.0, -cards::height - 60);
    // A soft shadow first, then the card.
    QPainterPath shadow;
    shadow.addRoundedRect(QRectF(2, 3, cards::width, cards::height), 6, 6);
    painter.fillPath(shadow, QColor(0, 0, 0, 70));
    cards::draw(painter, n);
    painter.restore();
}

QPainterPath centredText(const QString &text, const QFont &font, QPointF centre, qreal height)
{
    return fitInto(textPath(text, font),
                   QRectF(centre.x() - 1000, centre.y() - height / 2, 2000, height));
}

} // namespace

namespace textures {

QImage feltTile(qreal scale)
{
    constexpr int w = 71;
    constexpr int h = 96;
    // Noise and fibres lie in the tile's own coordinates; the grain is one
    // speck per pixel at whatever size the tile is drawn.
    const int across = scaledSide(w, scale);
    const int down = scaledSide(h, scale);
    QImage image(across, down, QImage::Format_RGB32);
    const WrappingNoise broad(3, 4, 11);
    const WrappingNoise middle(8, 11, 23);
    Random grain(37);
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x) {
            const double u = double(x) / across;
            const double v = double(y) / down;
            const double factor = 1.0 + 0.05 * (broad.at(u, v) - 0.5) * 2 +
                                  0.04 * (middle.at(u, v) - 0.5) * 2 +
                                  0.05 * (grain.unit() - 0.5) * 2;
            image.setPixel(x, y, shade(palette::felt, factor));
        }
    addFibres(image, w, h, 90, 53);
    settleAverage(image, palette::felt);
    return image;
}

QImage linenTile(qreal scale)
{
    const int w = scaledSide(150, scale);
    const int h = scaledSide(149, scale);
    constexpr int threads = 50; // across and down: whole numbers keep the tile seamless
    const QColor base(206, 204, 228);
    QImage image(w, h, QImage::Format_RGB32);
    Random random(71);
    std::vector<double> warp(threads);
    std::vector<double> weft(threads);
    for (double &t : warp)
        t = random.between(-0.03, 0.03);
    for (double &t : weft)
        t = random.between(-0.03, 0.03);
    const WrappingNoise slubs(5, 5, 89);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double tx = double(x) * threads / w;
            const double ty = double(y) * threads / h;
            const int ix = int(tx);
            const int iy = int(ty);
            // Plain weave: warp and weft take turns on top.
            const bool warpOnTop = (ix + iy) % 2 == 0;
            const double across = warpOnTop ? tx - ix : ty - iy;
            const double round = std::sin(across * M_PI); // a thread is lit in its middle
            const double factor = 0.94 + 0.07 * round + (warpOnTop ? warp[ix] : weft[iy]) +
                                  0.04 * (slubs.at(double(x) / w, double(y) / h) - 0.5);
            image.setPixel(x, y, shade(base, factor));
        }
    return image;
}

QImage advert()
{
    constexpr int w = 400;
    constexpr int h = 339;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    prepare(painter);
    painter.fillRect(image.rect(), QBrush(feltTile()));
    QRadialGradient vignette(QPointF(w / 2.0, h * 0.45), w * 0.7);
    vignette.setColorAt(0, QColor(255, 255, 255, 30));
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 150));
    painter.fillRect(image.rect(), vignette);

    // Title.
    const QPainterPath title =
        centredText(QStringLiteral("ZANDOR"), artfonts::serif(80), QPointF(w / 2.0, 42), 44);
    painter.fillPath(title.translated(2, 3), QColor(0, 0, 0, 140));
    painter.fillPath(title, verticalGradient(title.boundingRect(), palette::goldLight,
                                             palette::gold.darker(110)));
    painter.setPen(QPen(palette::goldDark, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(title);

    // A hand of five cards.
    const QPointF pivot(w / 2.0, 300);
    const int hand[] = {40, 39, 25, 11, 36};
    for (int i = 0; i < 5; ++i)
        drawCardAt(painter, hand[i], pivot, -30 + i * 15, 1.2);

    tablepieces::drawMoneyBag(painter, QRectF(18, 180, 46, 48));
    tablepieces::drawMoneyBag(painter, QRectF(46, 200, 40, 42));
    tablepieces::drawMoneyBag(painter, QRectF(336, 186, 46, 48));

    // The invitation.
    painter.fillRect(QRectF(0, 262, w, 77), QColor(0, 0, 0, 110));
    painter.fillRect(QRectF(0, 262, w, 1.5), palette::gold);
    const QPainterPath line1 = centredText(QStringLiteral("Play online with friends!"),
                                           artfonts::sans(40), QPointF(w / 2.0, 288), 19);
    painter.fillPath(line1.translated(1, 1.5), QColor(0, 0, 0, 160));
    painter.fillPath(line1, palette::ivory);
    const QPainterPath line2 =
        centredText(QStringLiteral("Meet players in the lobby \u2022 chat \u2022 play"),
                    artfonts::sans(40, false), QPointF(w / 2.0, 318), 12.5);
    painter.fillPath(line2, palette::goldLight);
    return image;
}

} // namespace textures
