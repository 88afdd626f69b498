#pragma once

#include "client/table/tablescale.h"

#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

// Keeps the main window's content fitted to its client area: whenever the
// area is resized, the board panel is put at the scale and offset of
// tablescale::fit, and everybody drawing on it hears the new scale. With
// fitting off the content keeps its designed size, centred.
//
// A drag of the window's edge resizes it many times a second. Each step is
// only previewed (controls moved and sized, pictures stretched); the scale
// is changed for good, with every picture drawn for it, once the size has
// rested for kSettleMs.
class TableFit : public QObject
{
    Q_OBJECT
public:
    // `area` is the window's client area; `board` the panel holding the
    // table and the chat column, at `designedBoard` within the designed
    // client area.
    TableFit(QWidget *area, QWidget *board, QRect designedBoard, QObject *parent = nullptr);

    bool fitToWindow() const { return fitToWindow_; }
    void setFitToWindow(bool fit);

    const tablescale::Fit &fit() const { return fit_; }

    static constexpr int kSettleMs = 150;

signals:
    void scalePreviewed(qreal scale);
    void scaleChanged(qreal scale);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refit();

    QWidget *area_;
    QWidget *board_;
    QRect designedBoard_;
    bool fitToWindow_ = true;
    tablescale::Fit fit_;
    qreal settledScale_ = 1.0;
    QTimer settle_;
};
