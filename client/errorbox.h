#pragma once

#include "net/errorreport.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

class QMessageBox;
class QWidget;

// Shows the program's error reports (socket refusals, numbers that do not
// convert) in an error box over the main window. The box does not block the
// event loop, so the game goes on behind it. Reports that arrive while a box
// is open wait their turn and show when it is closed; only a handful wait,
// the rest are counted in the last one's text, so a peer that keeps causing
// errors cannot bury the user in boxes.
//
// The text often carries words a peer sent (a number that did not convert),
// so it is always shown as plain text: never markup, never a live link.
class ErrorBox : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxWaiting = 5;

    // Installs itself as the program's error handler until destroyed, then
    // puts back the one it replaced.
    explicit ErrorBox(QWidget *window);
    ~ErrorBox() override;

    void show(const QString &text);
    // The box on screen now, if any.
    QMessageBox *current() const;
    int waiting() const { return int(waiting_.size()); }

private:
    void showNext();

    QWidget *window_;
    ErrorHandler previous_;
    QPointer<QMessageBox> box_;
    std::deque<QString> waiting_;
    int uncounted_ = 0; // errors beyond the waiting ones, not shown one by one
};
