#pragma once

#include <QMessageBox>

// A message box whose text is shown exactly as given. Names and error texts
// often carry words another player or a file chose; a box that guessed at
// markup would render them as headlines and live links.
QMessageBox *plainMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                             QMessageBox::StandardButtons buttons, QWidget *parent);
