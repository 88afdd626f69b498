#include "client/table/tablefit.h"

#include <QEvent>
#include <QWidget>

TableFit::TableFit(QWidget *area, QWidget *board, QRect designedBoard, QObject *parent)
    : QObject(parent), area_(area), board_(board), designedBoard_(designedBoard)
{
    area_->setMinimumSize(tablescale::designedSize);
    area_->installEventFilter(this);
    board_->setGeometry(designedBoard_);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (fit_.scale == settledScale_)
            return;
        settledScale_ = fit_.scale;
        emit scaleChanged(settledScale_);
    });
}

void TableFit::setFitToWindow(bool fit)
{
    if (fit == fitToWindow_)
        return;
    fitToWindow_ = fit;
    refit();
}

bool TableFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == area_ && event->type() == QEvent::Resize)
        refit();
    return QObject::eventFilter(watched, event);
}

void TableFit::refit()
{
    const tablescale::Fit fit = tablescale::fit(area_->size(), fitToWindow_);
    const QRect board = tablescale::scaled(designedBoard_, fit.scale).translated(fit.offset);
    board_->setGeometry(board);
    const bool scaleChanged = fit.scale != fit_.scale;
    fit_ = fit;
    if (scaleChanged) {
        emit scalePreviewed(fit.scale);
        settle_.start();
    }
}
