#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// The three looks of a select button.
enum class TSelLook { Normal, Hover, Pressed };

// A flat, owner-painted push button: a filled rectangle, a frame and a
// one-line caption. It shows a hover look while the pointer is over it and a
// pressed look while the left button is held, and reports a click.
//
// Its own `Enabled` flag is separate from the widget's enabled state: a button
// whose flag is off still paints normally and still receives the mouse, but
// has no hover or pressed look and fires none of its own events.
class TSelButton : public QWidget
{
    Q_OBJECT
public:
    explicit TSelButton(QWidget *parent = nullptr);
    // Names the button first, so that the caption starts as that name.
    TSelButton(const QString &name, QWidget *parent);
    ~TSelButton() override;

    // Setting any of these five stores it and shows the normal look.
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    QColor ColorBorder() const { return m_colorBorder; }
    void setColorBorder(const QColor &color);
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);

    // These are stored only; they show at the next look that uses them.
    QColor ColorOverCaption() const { return m_colorOverCaption; }
    void setColorOverCaption(const QColor &color) { m_colorOverCaption = color; }
    QColor ColorOver() const { return m_colorOver; }
    void setColorOver(const QColor &color) { m_colorOver = color; }
    QColor ColorDown() const { return m_colorDown; }
    void setColorDown(const QColor &color) { m_colorDown = color; }
    // The button's own flag. This hides QWidget::setEnabled on purpose; the
    // widget's general enabled state stays reachable through QWidget.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Caption colour of the normal look; the caption font is the widget's font.
    QColor FontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);

    TSelLook look() const { return m_look; }

    // Where the caption's top-left corner sits for a caption of captionSize on
    // a button of buttonSize.
    static QPoint captionOrigin(Qt::Alignment alignment, TSelLook look, QSize buttonSize,
                                QSize captionSize);

signals:
    void OnMouseDown(TSelButton *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y);
    void OnMouseUp(TSelButton *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                   int y);
    void OnClick(TSelButton *sender);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showLook(TSelLook look);
    QColor fillColor() const;
    QColor captionColor() const;
    bool stillUnderPointer(QPoint localPos) const;

    QString m_caption;
    QColor m_color;
    QColor m_colorBorder{128, 128, 128};
    bool m_enabled = true;
    QColor m_colorOverCaption{Qt::black};
    QColor m_colorOver{132, 185, 164};
    QColor m_colorDown{132, 185, 164};
    Qt::Alignment m_alignment = Qt::AlignLeft;
    int m_borderWidth = 1;
    QColor m_fontColor{128, 128, 128};

    TSelLook m_look = TSelLook::Normal;
    // The pressed look keeps whichever caption colour was showing when the
    // button went down.
    QColor m_pressedCaptionColor;
};
