#include "client/errorbox.h"

#include "widgets/plainmessagebox.h"

namespace {
const QString kTitle = QStringLiteral("Zandor");
const QString kMoreErrors = QStringLiteral("and %1 more errors");
} // namespace

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
    if (int(waiting_.size()) >= kMaxWaiting)
        ++uncounted_;
    else
        waiting_.push_back(text);
    if (!box_)
        showNext();
}

void ErrorBox::showNext()
{
    if (box_ || waiting_.empty())
        return;
    QString text = waiting_.front();
    waiting_.pop_front();
    if (waiting_.empty() && uncounted_ > 0) {
        text += QStringLiteral("\n\n") + kMoreErrors.arg(uncounted_);
        uncounted_ = 0;
    }
    box_ = plainMessageBox(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, window_);
    box_->setAttribute(Qt::WA_DeleteOnClose);
    box_->setModal(false);
    // The next waiting report follows as soon as the user closes this one.
    connect(box_, &QDialog::finished, this, [this] {
        box_ = nullptr;
        showNext();
    });
    box_->show();
}

QMessageBox *ErrorBox::current() const
{
    return box_;
}
