#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

// The places and fonts of controls laid out for the table's designed size,
// kept so that they can be laid out again at any scale: each place is
// scaled as tablescale::scaled does (as large as a picture drawn for it),
// each font's size is multiplied, so text is drawn afresh at its new size
// rather than enlarged. At scale 1 every control has exactly its designed
// place and font.
class ScaledPlaces
{
public:
    // Puts the control at its designed place, scaled now and again at every
    // change of scale. A control put twice keeps its newest place.
    void place(QWidget *control, const QRect &designed);
    // Gives the control the font, its size scaled likewise.
    void font(QWidget *control, const QFont &designed);

    qreal scale() const { return scale_; }
    void setScale(qreal scale);

    // The font at a scale: pixel sizes stay whole pixels, point sizes may
    // take fractions.
    static QFont scaledFont(const QFont &designed, qreal scale);

private:
    struct Placed
    {
        QPointer<QWidget> control;
        QRect designed;
    };
    struct Lettered
    {
        QPointer<QWidget> control;
        QFont designed;
    };
    std::vector<Placed> places_;
    std::vector<Lettered> fonts_;
    qreal scale_ = 1.0;
};
