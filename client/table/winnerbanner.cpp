#include "client/table/winnerbanner.h"

#include "client/table/boardlabels.h"
#include "client/table/scaledplaces.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr QRect kWinnerPlace(30, 6, 388, 59);
constexpr QRect kWinnerText(43, 10, 302, 40);

const QColor kOlive(128, 128, 0);
const QColor kShadow(128, 128, 128);

} // namespace

WinnerBanner::WinnerBanner(QWidget *board, ScaledPlaces &places) : QWidget(board)
{
    setObjectName(QStringLiteral("panel_winner"));
    places.place(this, kWinnerPlace);
    // The shadow first, so the olive text lies over it.
    label_winner2_ = boardlabels::text(this, places, QStringLiteral("label_winner2"),
                                       kWinnerText.translated(1, -1), QString(), 15, kShadow);
    label_winner1_ = boardlabels::text(this, places, QStringLiteral("label_winner1"), kWinnerText,
                                       QString(), 15, kOlive);
    for (QLabel *label : {label_winner2_, label_winner1_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
    }
    hide();
}

void WinnerBanner::announce(const QString &line)
{
    label_winner1_->setText(line);
    label_winner2_->setText(line);
    show();
    raise();
}

void WinnerBanner::paintEvent(QPaintEvent *)
{
    // Rim and corners grow with the banner, which is laid out for
    // kWinnerPlace.
    const qreal scale = qreal(width()) / kWinnerPlace.width();
    const qreal inset = 1.5 * scale;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 10 * scale,
                         10 * scale);
    painter.fillPath(plate, QColor(255, 250, 228, 240));
    painter.setPen(QPen(QColor(196, 156, 58), 3 * scale));
    painter.drawPath(plate);
}
