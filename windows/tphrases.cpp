#include "windows/tphrases.h"

#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kCaption = QStringLiteral("Zandor - Phrase Buttons ");
const QString kRowLabel = QStringLiteral("Phrase Button %1:");
const QString kCooldownNote = QStringLiteral("Buttons can only be used once every 2 seconds");
const QString kDone = QStringLiteral("Done");

// The cloth shows as a frame around a white card that holds the rows.
constexpr int kMargin = 6;
constexpr int kRowTop = 6;
constexpr int kRowPitch = 21;
constexpr int kRowHeight = 19;
constexpr int kLabelLeft = 10;
constexpr int kLabelWidth = 112;
constexpr int kBoxLeft = kLabelLeft + kLabelWidth + 4;
constexpr int kNoteTop = kRowTop + Tphrases::kPhraseCount * kRowPitch + 4;
constexpr QSize kDoneSize(71, 20);

const QColor kNoteRed(Qt::red);

void setInk(QWidget &widget, const QColor &colour)
{
    QPalette ink = widget.palette();
    ink.setColor(QPalette::WindowText, colour);
    widget.setPalette(ink);
}

} // namespace

Tphrases::Tphrases(TileSource tile, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), tile_(std::move(tile))
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);

    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setObjectName(QStringLiteral("LbBackground1"));
    LbBackground1_->setEnabled(true);
    copyTile();

    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("panel_phrases"));
    card->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, kClientHeight - 2 * kMargin);
    card->setAutoFillBackground(true);
    QPalette white = card->palette();
    white.setColor(QPalette::Window, Qt::white);
    card->setPalette(white);
    const int cardWidth = card->width();

    const QFont labelFont = sidelook::arialPixels(12, false);
    for (int n = 1; n <= kPhraseCount; ++n) {
        const int top = kRowTop + (n - 1) * kRowPitch;
        auto *label = new QLabel(kRowLabel.arg(n), card);
        label->setObjectName(QStringLiteral("label_phrase%1").arg(n));
        label->setFont(labelFont);
        setInk(*label, Qt::black);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(kLabelLeft, top, kLabelWidth, kRowHeight);

        auto *box = new QLineEdit(card);
        box->setObjectName(QStringLiteral("phrase%1").arg(n));
        box->setMaxLength(kMaxPhraseLength);
        box->setGeometry(kBoxLeft, top, cardWidth - kBoxLeft - kLabelLeft, kRowHeight);
        label->setBuddy(box);
        // Enter in any box means the user is done, as in any dialog.
        connect(box, &QLineEdit::returnPressed, this, &Tphrases::button_doneClick);
        boxes_[std::size_t(n - 1)] = box;
    }

    auto *note = new QLabel(kCooldownNote, card);
    note->setObjectName(QStringLiteral("label_note"));
    note->setFont(sidelook::arialPixels(12, false));
    setInk(*note, kNoteRed);
    note->setAlignment(Qt::AlignCenter);
    note->setGeometry(0, kNoteTop, cardWidth, 16);

    button_done_ = new TSelButton(QStringLiteral("button_done"), card);
    button_done_->setCaption(kDone);
    sidelook::styleSelButton(*button_done_, true);
    button_done_->setGeometry(
        QRect(QPoint((cardWidth - kDoneSize.width()) / 2, card->height() - kDoneSize.height() - 6),
              kDoneSize));
    connect(button_done_, &TSelButton::OnClick, this, &Tphrases::button_doneClick);
}

Tphrases::~Tphrases() = default;

void Tphrases::showphrases(const Phrases &current)
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(current[i]);
    boxes_.front()->setFocus();
    sidelook::bringForward(*this);
}

Tphrases::Phrases Tphrases::phrases() const
{
    Phrases texts;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        texts[i] = boxes_[i]->text();
    return texts;
}

void Tphrases::button_doneClick()
{
    emit phrasesSaved(phrases());
    close();
}

bool Tphrases::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        copyTile();
    return QWidget::event(event);
}

void Tphrases::keyPressEvent(QKeyEvent *event)
{
    // Escape leaves like the title bar's close: nothing is stored.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tphrases::copyTile()
{
    if (tile_)
        LbBackground1_->setImage(tile_());
}
