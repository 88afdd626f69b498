#include "windows/thelp.h"

#include "widgets/dialogkeys.h"

#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"
#include "windows/helptexts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kButtonWidth = 117;
constexpr int kButtonHeight = 20;
const char *const kTag = "Tag";

QTextEdit *makePage(const helptexts::HelpPage &page, QWidget *parent)
{
    auto *memo = new QTextEdit(parent);
    memo->setObjectName(QStringLiteral("memo%1").arg(page.number));
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFont(sidelook::arialPixels(13, false));
    memo->setPlainText(page.text);
    // Lines written indented become indented paragraphs, so that a long one
    // wraps under its own start.
    const QString indent(4, QLatin1Char(' '));
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().startsWith(indent))
            continue;
        QTextCursor line(block);
        line.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, int(indent.size()));
        line.removeSelectedText();
        QTextBlockFormat indented = block.blockFormat();
        indented.setLeftMargin(16);
        line.setBlockFormat(indented);
    }
    // The heading line stands out; its words stay as they are.
    QTextCursor heading(memo->document()->firstBlock());
    heading.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(sidelook::kOlive);
    heading.mergeCharFormat(bold);
    return memo;
}

} // namespace

Thelp::Thelp(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(helptexts::kHelpCaption);
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kButtonPanelWidth + 200, 300);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setImageMaker(artwork::makerFor(artwork::Art::BackgroundTile));
    LbBackground1_->setEnabled(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildButtonPanel());
    layout->addWidget(buildPagePanel(), 1);

    // The window opens on the first page.
    stack_->setCurrentWidget(memo_[0]);
}

Thelp::~Thelp() = default;

int Thelp::currentPage() const
{
    return stack_->currentIndex() + 1;
}

QWidget *Thelp::buildButtonPanel()
{
    // Transparent, so the table cloth shows around the buttons.
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panel_buttons"));
    panel->setFixedWidth(kButtonPanelWidth);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(10, 12, 10, 12);
    column->setSpacing(6);

    auto addButton = [&](const QString &name, const QString &caption) {
        auto *button = new TSelButton(name, panel);
        button->setCaption(caption);
        button->setFixedSize(kButtonWidth, kButtonHeight);
        sidelook::styleSelButton(*button, true);
        column->addWidget(button);
        return button;
    };
    for (const helptexts::HelpPage &page : helptexts::pages()) {
        TSelButton *button = addButton(QStringLiteral("SelButton%1").arg(page.number), page.button);
        button->setProperty(kTag, page.number);
        connect(button, &TSelButton::OnClick, this, &Thelp::SelButton1Click);
    }
    column->addSpacing(12);
    TSelButton *about = addButton(QStringLiteral("button_about"), helptexts::kAbout);
    connect(about, &TSelButton::OnClick, this, &Thelp::button_aboutClick);
    column->addStretch(1);
    TSelButton *done = addButton(QStringLiteral("button_done"), helptexts::kDone);
    connect(done, &TSelButton::OnClick, this, &QWidget::hide);
    return panel;
}

QWidget *Thelp::buildPagePanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panel_pages"));
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    panel->setPalette(white);

    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(12, 8, 0, 0);
    column->setSpacing(6);
    label_caption_ = new QLabel(helptexts::pages()[0].button, panel);
    label_caption_->setObjectName(QStringLiteral("label_caption"));
    label_caption_->setFont(sidelook::arialPixels(16, true));
    column->addWidget(label_caption_);

    stack_ = new QStackedWidget(panel);
    for (std::size_t i = 0; i < memo_.size(); ++i) {
        memo_[i] = makePage(helptexts::pages()[i], stack_);
        stack_->addWidget(memo_[i]);
    }
    column->addWidget(stack_, 1);
    return panel;
}

void Thelp::SelButton1Click(TSelButton *sender)
{
    const int tag = sender->property(kTag).toInt();
    auto *memo = findChild<QTextEdit *>(QStringLiteral("memo%1").arg(tag));
    if (!memo)
        return;
    stack_->setCurrentWidget(memo);
    label_caption_->setText(sender->Caption());
}

void Thelp::button_aboutClick()
{
    emit aboutRequested();
}

void Thelp::keyPressEvent(QKeyEvent *event)
{
    if (isDismissKey(*event)) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
