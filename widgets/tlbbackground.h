#pragma once

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QVector>

#include <functional>

class QWidget;

// Tiles a picture over the whole surface of its form, beneath everything else:
// the tiles go down first, then the form's own painting, then its controls.
// Every window has one named LbBackground1; the side windows copy the main
// window's tile into theirs.
//
// A tile may carry a device pixel ratio above 1: it is then laid pixel for
// pixel on the screen's own pixels, never enlarged.
class TLbBackground : public QObject
{
    Q_OBJECT
public:
    // Lives as a child of its form; should the form go first, painting just ends.
    explicit TLbBackground(QWidget *form);
    ~TLbBackground() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The tile. The component keeps its own copy.
    const QPixmap &Image() const { return m_image; }
    void setImage(const QPixmap &tile);
    void setImage(const QImage &tile);

    // Draws the tile for a device pixel ratio. With a maker set, the tile is
    // taken from it for the ratio of the screen the form is shown on, when
    // the form first paints and again whenever that ratio changes. setImage
    // drops the maker.
    using TileMaker = std::function<QImage(qreal ratio)>;
    void setImageMaker(TileMaker maker);

    QWidget *form() const { return m_form; }

    // Top-left corners of the tiles for a form of formSize: one tile more
    // than needed in each direction, column by column, top to bottom.
    static QVector<QPoint> tileOrigins(QSize formSize, QSize tileSize);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintTiles();

    QPointer<QWidget> m_form;
    bool m_enabled = false;
    QPixmap m_image;
    TileMaker m_maker;
    qreal m_madeForRatio = 0; // the ratio m_image was made for; 0: not made yet
};
