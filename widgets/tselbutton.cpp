#include "widgets/tselbutton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {
constexpr int defaultWidth = 105;
constexpr int defaultHeight = 20;
} // namespace

TSelButton::TSelButton(QWidget *parent) : TSelButton(QString(), parent) {}

TSelButton::TSelButton(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    m_color = palette().color(QPalette::Button);
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPointSize(8);
    setFont(captionFont);
    resize(defaultWidth, defaultHeight);
    if (parent)
        m_caption = objectName();
}

TSelButton::~TSelButton() = default;

void TSelButton::setCaption(const QString &caption)
{
    m_caption = caption;
    showLook(TSelLook::Normal);
}

void TSelButton::setColor(const QColor &color)
{
    m_color = color;
    showLook(TSelLook::Normal);
}

void TSelButton::setColorBorder(const QColor &color)
{
    m_colorBorder = color;
    showLook(TSelLook::Normal);
}

void TSelButton::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    showLook(TSelLook::Normal);
}

void TSelButton::setBorderWidth(int width)
{
    m_borderWidth = width;
    showLook(TSelLook::Normal);
}

void TSelButton::setFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

QPoint TSelButton::captionOrigin(Qt::Alignment alignment, TSelLook look, QSize buttonSize,
                                 QSize captionSize)
{
    const int w = buttonSize.width();
    const int h = buttonSize.height();
    const int tw = captionSize.width();
    const int th = captionSize.height();
    const bool pressed = look == TSelLook::Pressed;

    int x = 5;
    if (alignment & Qt::AlignRight)
        x = w - tw - 6 - (pressed ? 1 : 0);
    else if (alignment & Qt::AlignHCenter)
        x = w / 2 - tw / 2 + (pressed ? 1 : 0);
    else
        x = 5 + (pressed ? 1 : 0);
    const int y = h / 2 - th / 2 + (pressed ? 1 : 0);
    return {x, y};
}

void TSelButton::showLook(TSelLook look)
{
    if (look == TSelLook::Pressed && m_look != TSelLook::Pressed)
        m_pressedCaptionColor = captionColor();
    m_look = look;
    update();
}

QColor TSelButton::fillColor() const
{
    switch (m_look) {
    case TSelLook::Hover:
        return m_colorOver;
    case TSelLook::Pressed:
        return m_colorDown;
    case TSelLook::Normal:
        break;
    }
    return m_color;
}

QColor TSelButton::captionColor() const
{
    switch (m_look) {
    case TSelLook::Hover:
        return m_colorOverCaption;
    case TSelLook::Pressed:
        return m_pressedCaptionColor;
    case TSelLook::Normal:
        break;
    }
    return m_fontColor;
}

void TSelButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const QColor fill = fillColor();

    // The outermost pixel ring is left to the frame; with no frame the parent
    // shows through there.
    painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)), fill);

    const QFontMetrics metrics(font());
    const QSize captionSize(metrics.horizontalAdvance(m_caption), metrics.height());
    const QPoint origin = captionOrigin(m_alignment, m_look, size(), captionSize);
    painter.fillRect(QRect(origin, captionSize), fill);
    painter.setPen(captionColor());
    painter.drawText(origin + QPoint(0, metrics.ascent()), m_caption);

    for (int i = 0; i < m_borderWidth; ++i) {
        const QRect ring(QPoint(i, i), QPoint(w - 1 - i, h - 1 - i));
        if (ring.isEmpty())
            break;
        painter.fillRect(QRect(ring.topLeft(), QSize(ring.width(), 1)), m_colorBorder);
        painter.fillRect(QRect(ring.bottomLeft(), QSize(ring.width(), 1)), m_colorBorder);
        painter.fillRect(QRect(ring.topLeft(), QSize(1, ring.height())), m_colorBorder);
        painter.fillRect(QRect(ring.topRight(), QSize(1, ring.height())), m_colorBorder);
    }
}

bool TSelButton::event(QEvent *event)
{
    // A button placed on a form starts with its own name as caption, unless
    // a caption was already given.
    if (event->type() == QEvent::ParentChange && parent() && m_caption.isEmpty())
        m_caption = objectName();
    return QWidget::event(event);
}

void TSelButton::enterEvent(QEnterEvent *)
{
    if (m_enabled)
        showLook(TSelLook::Hover);
}

void TSelButton::leaveEvent(QEvent *)
{
    showLook(TSelLook::Normal);
}

void TSelButton::mousePressEvent(QMouseEvent *event)
{
    // Take every press, so that the release comes back to this button.
    event->accept();
    if (event->button() != Qt::LeftButton || !m_enabled)
        return;
    const QPoint at = event->position().toPoint();
    QPointer<TSelButton> self(this);
    emit OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
    if (self)
        showLook(TSelLook::Pressed);
}

void TSelButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    // A handler may close the window or even delete this button.
    QPointer<TSelButton> self(this);

    if (rect().contains(at)) {
        showLook(TSelLook::Normal);
        if (m_enabled)
            emit OnClick(this);
        if (!self)
            return;
    } else {
        // Qt sends the leave of a drag only after the release; do not leave
        // the pressed look standing until then.
        showLook(TSelLook::Normal);
    }

    if (!m_enabled)
        return;
    emit OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y());
    if (self && stillUnderPointer(at))
        showLook(TSelLook::Hover);
}

bool TSelButton::stillUnderPointer(QPoint localPos) const
{
    if (!isVisible() || !rect().contains(localPos))
        return false;
    const QWidget *top = window();
    if (top == this)
        return true;
    return top->childAt(mapTo(top, localPos)) == this;
}
