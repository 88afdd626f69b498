// Draws the program's icon for the desktop's menus and docks, at the usual
// sizes, into <folder>/<size>x<size>/zandor.png. It runs at build time and
// uses the same drawing code as the game's own pictures.
#include "resources/maker/cards.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/tablepieces.h"
#include "resources/maker/textures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

namespace {

constexpr int kFullSize = 256;
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

void drawCard(QPainter &painter, int card, QPointF centre, qreal angle, qreal scale)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    painter.scale(scale, scale);
    painter.translate(-cards::width / 2.0, -cards::height / 2.0);
    QPainterPath shadow;
    shadow.addRoundedRect(QRectF(3, 4, cards::width, cards::height), 6, 6);
    painter.fillPath(shadow, QColor(0, 0, 0, 90));
    cards::draw(painter, card);
    painter.restore();
}

// A square of table cloth with two cards fanned on it and a money bag.
QImage drawIcon()
{
    QImage icon = drawkit::blankImage(kFullSize, kFullSize);
    QPainter painter(&icon);
    drawkit::prepare(painter);

    QPainterPath cloth;
    cloth.addRoundedRect(QRectF(8, 8, kFullSize - 16, kFullSize - 16), 44, 44);
    painter.fillPath(cloth, QBrush(textures::feltTile()));
    QRadialGradient light(QPointF(kFullSize * 0.45, kFullSize * 0.4), kFullSize * 0.7);
    light.setColorAt(0, QColor(255, 255, 255, 40));
    light.setColorAt(0.6, QColor(0, 0, 0, 0));
    light.setColorAt(1, QColor(0, 0, 0, 120));
    painter.fillPath(cloth, light);
    painter.setPen(QPen(drawkit::palette::gold, 6));
    painter.drawPath(cloth);

    drawCard(painter, 52, QPointF(100, 118), -14, 1.75); // King of spades
    drawCard(painter, 27, QPointF(150, 124), 12, 1.75);  // Ace of hearts
    tablepieces::drawMoneyBag(painter, QRectF(150, 146, 88, 92));
    return icon;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: zandor_icongen <folder>\n";
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    const QImage full = drawIcon();
    for (const int size : kSizes) {
        const QString sub = QStringLiteral("%1x%1").arg(size);
        const QImage icon = size == kFullSize ? full
                                              : full.scaled(size, size, Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation);
        if (!folder.mkpath(sub) ||
            !icon.save(folder.filePath(sub + QStringLiteral("/zandor.png")))) {
            QTextStream(stderr) << "zandor_icongen: cannot write " << folder.filePath(sub) << "\n";
            return 1;
        }
    }
    return 0;
}
