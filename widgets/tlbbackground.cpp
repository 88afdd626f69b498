#include "widgets/tlbbackground.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QWidget>

TLbBackground::TLbBackground(QWidget *form) : QObject(form), m_form(form)
{
    setObjectName(QStringLiteral("LbBackground1"));
    // The filter sees the form's paint event before the form does, so the
    // tiles lie under the form's own painting, and Qt paints the controls last.
    if (m_form)
        m_form->installEventFilter(this);
}

TLbBackground::~TLbBackground()
{
    if (m_form) {
        m_form->removeEventFilter(this);
        m_form->update();
    }
}

void TLbBackground::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_form)
        m_form->update();
}

void TLbBackground::setImage(const QPixmap &tile)
{
    m_maker = nullptr;
    m_image = tile;
    if (m_form)
        m_form->update();
}

void TLbBackground::setImage(const QImage &tile)
{
    setImage(QPixmap::fromImage(tile));
}

void TLbBackground::setImageMaker(TileMaker maker)
{
    m_maker = std::move(maker);
    m_madeForRatio = 0;
    if (m_form)
        m_form->update();
}

QVector<QPoint> TLbBackground::tileOrigins(QSize formSize, QSize tileSize)
{
    QVector<QPoint> origins;
    const int w = tileSize.width();
    const int h = tileSize.height();
    if (w <= 0 || h <= 0 || formSize.isEmpty())
        return origins;
    const int lastColumn = formSize.width() / w + 1;
    const int lastRow = formSize.height() / h + 1;
    origins.reserve((lastColumn + 1) * (lastRow + 1));
    for (int c = 0; c <= lastColumn; ++c) {
        for (int r = 0; r <= lastRow; ++r)
            origins.append(QPoint(c * w, r * h));
    }
    return origins;
}

bool TLbBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::Paint)
        paintTiles();
    // Never swallow the event: the form's own painting follows.
    return false;
}

void TLbBackground::paintTiles()
{
    if (m_maker && m_enabled && m_madeForRatio != m_form->devicePixelRatioF()) {
        m_madeForRatio = m_form->devicePixelRatioF();
        m_image = QPixmap::fromImage(m_maker(m_madeForRatio));
    }
    if (!m_enabled || m_image.isNull())
        return;
    // The outer size covers the client area with room to spare; tiles that
    // fall past the edge are clipped away.
    QSize outer = m_form->frameGeometry().size().expandedTo(m_form->size());
    QPainter painter(m_form);
    // The tiles are laid in the tile's own pixels, so that a tile drawn for
    // a ratio of 1.25 or 1.5 meets the next without a seam or an overlap.
    const qreal ratio = m_image.devicePixelRatio();
    if (ratio != 1.0) {
        painter.scale(1 / ratio, 1 / ratio);
        outer = (QSizeF(outer) * ratio).toSize() + QSize(1, 1);
    }
    const QRectF whole(QPointF(0, 0), QSizeF(m_image.size()));
    for (const QPoint &origin : tileOrigins(outer, m_image.size())) {
        if (ratio != 1.0)
            painter.drawPixmap(QRectF(origin, whole.size()), m_image, whole);
        else
            painter.drawPixmap(origin, m_image);
    }
}
