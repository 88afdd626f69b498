#pragma once

#include "net/errorreport.h"

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;

// Shows the program's error reports (socket refusals, numbers that do not
// convert) in an error box over the main window. The box does not block the
// event loop, so the game goes on behind it; while one is open, further
// reports go to standard error instead of piling up boxes.
class ErrorBox : public QObject
{
    Q_OBJECT
public:
    // Installs itself as the program's error handler until destroyed, then
    // puts back the one it replaced.
    explicit ErrorBox(QWidget *window);
    ~ErrorBox() override;

    void show(const QString &text);
    // The box on screen now, if any.
    QMessageBox *current() const;

private:
    QWidget *window_;
    ErrorHandler previous_;
    QPointer<QMessageBox> box_;
};
