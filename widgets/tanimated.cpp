#include "widgets/tanimated.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int defaultSide = 30;
}

TAnimated::TAnimated(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted below, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(defaultSide, defaultSide);
    connect(&m_stepTimer, &QTimer::timeout, this, &TAnimated::step);
}

TAnimated::~TAnimated() = default;

void TAnimated::setInterval(int ms)
{
    if (ms == m_interval)
        return;
    stopStepTimer();
    m_interval = ms;
    if (m_play && m_interval > 0)
        startStepTimer();
}

void TAnimated::setFrameCount(int count)
{
    // A strip always has at least one frame; the modulo in setFrame relies on it.
    if (count < 1)
        return;
    m_frameCount = count;
}

void TAnimated::setFrame(int frame)
{
    const int wrapped = frame < 0 ? m_frameCount - 1 : frame % m_frameCount;
    if (wrapped == m_frame)
        return;
    m_frame = wrapped;
    emit OnChangeFrame(this);
    update();
}

void TAnimated::setBitMap(const QImage &strip)
{
    m_maker = nullptr; // a strip given outright is kept as it is
    m_bitmap = strip;
    const int height = qRound(strip.deviceIndependentSize().height());
    resize(width(), height > 0 ? height : defaultSide);
    update();
}

void TAnimated::setBitMapMaker(StripMaker maker)
{
    m_maker = std::move(maker);
    m_madeForRatio = 0;
    if (m_maker && isVisible())
        takeStripFromMaker();
    update();
}

void TAnimated::takeStripFromMaker()
{
    const qreal ratio = devicePixelRatioF();
    m_madeForRatio = ratio;
    m_bitmap = m_maker(ratio);
}

void TAnimated::setBitMap(const QPixmap &strip)
{
    setBitMap(strip.toImage());
}

void TAnimated::setPlay(bool play)
{
    if (play == m_play)
        return;
    m_play = play;
    if (m_play && m_interval > 0)
        startStepTimer();
    else if (!m_play)
        stopStepTimer();
}

void TAnimated::setTransparentColor(const QColor &color)
{
    if (color == m_transparentColor)
        return;
    m_transparentColor = color;
    update();
}

QColor TAnimated::Color() const
{
    return palette().color(QPalette::Window);
}

void TAnimated::setColor(const QColor &color)
{
    QPalette own = palette();
    own.setColor(QPalette::Window, color);
    setPalette(own);
    // A see-through colour lets whatever lies beneath show where the key
    // colour was, such as the cloth under a fan.
    setAttribute(Qt::WA_OpaquePaintEvent, color.alpha() == 255);
    update();
}

void TAnimated::step()
{
    setFrame(m_reverse ? m_frame - 1 : m_frame + 1);
    const int endFrame = m_reverse ? 0 : m_frameCount - 1;
    if (m_frame == endFrame && !m_loop) {
        m_play = false;
        stopStepTimer();
    }
}

void TAnimated::startStepTimer()
{
    m_stepTimer.start(m_interval);
}

void TAnimated::stopStepTimer()
{
    m_stepTimer.stop();
}

QImage TAnimated::keyedFrame(const QRect &source) const
{
    QImage frame = m_bitmap.copy(source).convertToFormat(QImage::Format_ARGB32);
    frame.setDevicePixelRatio(m_bitmap.devicePixelRatio());
    const QRgb key = m_transparentColor.rgb();
    const QRgb replacement = Color().rgba();
    for (int y = 0; y < frame.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if (line[x] == key)
                line[x] = replacement;
        }
    }
    return frame;
}

void TAnimated::paintEvent(QPaintEvent *)
{
    // Shown for the first time, or moved to a screen of another density.
    if (m_maker && m_madeForRatio != devicePixelRatioF())
        takeStripFromMaker();

    QPainter painter(this);
    if (m_bitmap.isNull() || m_bitmap.height() == 0) {
        painter.fillRect(rect(), Qt::white);
        return;
    }

    // Whatever the strip does not cover (a frame past its right end, a
    // control taller than the picture) shows the control's colour.
    painter.fillRect(rect(), Color());

    // The frame in the strip's own pixels; at a ratio of 1 these are the
    // control's pixels.
    const qreal ratio = m_bitmap.devicePixelRatio();
    const int frameWidth = qRound(width() * ratio);
    const QRect wanted(frameWidth * m_frame, 0, frameWidth, qRound(height() * ratio));
    const QRect source = wanted & m_bitmap.rect();
    if (source.isEmpty())
        return;
    const QPointF target = QPointF(source.topLeft() - wanted.topLeft()) / ratio;
    if (m_transparentColor.isValid())
        painter.drawImage(target, keyedFrame(source));
    else
        painter.drawImage(QRectF(target, QSizeF(source.size()) / ratio), m_bitmap, source);
}
