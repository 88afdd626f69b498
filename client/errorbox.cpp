#include "client/errorbox.h"

#include <QMessageBox>

#include <cstdio>

namespace {
const QString kTitle = QStringLiteral("Zandor");
}

ErrorBox::ErrorBox(QWidget *window) : QObject(window), window_(window)
{
    previous_ = setErrorHandler([this](const QString &text) { show(text); });
}

ErrorBox::~ErrorBox()
{
    setErrorHandler(std::move(previous_));
}

void ErrorBox::show(const QString &text)
{
    if (box_) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    box_ = new QMessageBox(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, window_);
    box_->setAttribute(Qt::WA_DeleteOnClose);
    box_->setModal(false);
    box_->show();
}

QMessageBox *ErrorBox::current() const
{
    return box_;
}
