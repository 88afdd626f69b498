#include "widgets/plainmessagebox.h"

QMessageBox *plainMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                             QMessageBox::StandardButtons buttons, QWidget *parent)
{
    auto *box = new QMessageBox(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}
