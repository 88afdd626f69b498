#pragma once

#include "client/tablescale.h"

#include <QObject>
#include <QRect>

class QWidget;

// Keeps the main window's content fitted to its client area: whenever the
// area is resized, the board panel is put at the scale and offset of
// tablescale::fit, and everybody drawing on it hears the new scale. With
// fitting off the content keeps its designed size, centred.
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

signals:
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
};
