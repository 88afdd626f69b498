#include "client/table/boardpanel.h"

#include <QKeyEvent>
#include <QPainter>

// Drawn over everything on the table and letting the mouse through, so that
// neither cards nor pictures hide it.
class BoardPanel::FocusFrame : public QWidget
{
public:
    explicit FocusFrame(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("tablefocusframe"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal pen = std::max(2.0, width() / 210.0);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 200, 40, 200), pen, Qt::DashLine));
        const qreal inset = pen / 2 + 1;
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 4 * pen,
                                4 * pen);
    }
};

BoardPanel::BoardPanel(QWidget *parent) : QWidget(parent), frame_(new FocusFrame(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Card table"));
}

void BoardPanel::setTableArea(const QRect &area)
{
    tableArea_ = area;
    frame_->setGeometry(area);
}

bool BoardPanel::showsFocusFrame() const
{
    return frame_->isVisible();
}

void BoardPanel::keyPressEvent(QKeyEvent *event)
{
    // Keys a text field on the panel did not want come up here as well;
    // only the panel's own focus makes them the table's.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (hasFocus() && plain && keys_ && keys_(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BoardPanel::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    frame_->raise();
    frame_->show();
}

void BoardPanel::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    frame_->hide();
}
