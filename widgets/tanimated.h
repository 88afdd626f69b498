#pragma once

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

class QPixmap;

// One frame of a picture strip whose frames lie side by side, each exactly as
// wide as the control. While playing, a step timer moves forwards or backwards
// through the frames, once or in a loop. One colour of the strip can be keyed
// out: those pixels are painted in the control's colour (by default the
// parent's background colour), so a fan of cards sits cleanly on the board.
//
// The control paints its whole area itself.
//
// A strip may carry a device pixel ratio above 1 (drawn for a high-density
// screen or a bigger table): the frames are then still the control's width
// in logical pixels, and each is painted pixel for pixel from the strip.
class TAnimated : public QWidget
{
    Q_OBJECT
public:
    explicit TAnimated(QWidget *parent = nullptr);
    ~TAnimated() override;

    // Milliseconds between two steps while playing; 0 or less never steps.
    int Interval() const { return m_interval; }
    void setInterval(int ms);

    // Frames in the strip, 1 or more. Smaller values are refused (ignored).
    // Takes effect at the next step or paint.
    int FrameCount() const { return m_frameCount; }
    void setFrameCount(int count);

    // The frame shown. A negative value selects the last frame, anything
    // else wraps modulo FrameCount.
    int Frame() const { return m_frame; }
    void setFrame(int frame);

    // The strip. The control keeps its own copy; its height becomes the
    // picture's height in logical pixels (30 for an empty picture), its
    // width stays.
    const QImage &BitMap() const { return m_bitmap; }
    void setBitMap(const QImage &strip);
    void setBitMap(const QPixmap &strip);

    // Draws the strip for a device pixel ratio. With a maker set, the control
    // takes its strip from it for the ratio of the screen it is shown on,
    // and again whenever that ratio changes, so its frames are never an
    // enlargement. The strip is first asked for when the control is painted,
    // so a hidden control draws nothing. The control's size stays as it is
    // set. setBitMap drops the maker.
    using StripMaker = std::function<QImage(qreal ratio)>;
    void setBitMapMaker(StripMaker maker);

    bool Play() const { return m_play; }
    void setPlay(bool play);

    bool Reverse() const { return m_reverse; }
    void setReverse(bool reverse) { m_reverse = reverse; }

    // Wrap around at the end frame and go on; false stops there.
    bool Loop() const { return m_loop; }
    void setLoop(bool loop) { m_loop = loop; }

    // The key colour; an invalid QColor means none.
    QColor TransparentColor() const { return m_transparentColor; }
    void setTransparentColor(const QColor &color);

    // The control's colour, painted where the key colour was. It follows the
    // parent's background colour unless set here; Qt::transparent lets what
    // lies beneath the control show through instead.
    QColor Color() const;
    void setColor(const QColor &color);

    // One tick of the step timer. Public so that the table view and tests
    // can advance the strip without waiting for the clock.
    void step();

    // The step timer runs only while playing with a positive Interval.
    const QTimer &stepTimer() const { return m_stepTimer; }

signals:
    // Fired whenever Frame takes a new value.
    void OnChangeFrame(TAnimated *sender);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void startStepTimer();
    void stopStepTimer();
    QImage keyedFrame(const QRect &source) const;
    void takeStripFromMaker();

    int m_interval = 0;
    int m_frameCount = 1;
    int m_frame = 0;
    QImage m_bitmap;
    StripMaker m_maker;
    qreal m_madeForRatio = 0; // the ratio m_bitmap was made for; 0: not made yet
    bool m_play = false;
    bool m_reverse = false;
    bool m_loop = true;
    QColor m_transparentColor;
    QTimer m_stepTimer;
};
