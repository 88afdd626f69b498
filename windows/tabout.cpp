#include "windows/tabout.h"

#include "widgets/dialogkeys.h"

#include "net/messages.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"
#include "windows/helptexts.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int kMargin = 6;

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QFont &font,
                 const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    QPalette ink = label->palette();
    ink.setColor(QPalette::WindowText, colour);
    label->setPalette(ink);
    return label;
}

} // namespace

Tabout::Tabout(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      linkOpener_([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("Tabout"));
    setWindowTitle(helptexts::kAboutCaption);
    setFixedSize(kClientWidth, kClientHeight);

    // The table cloth frames a white card that holds the text.
    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setImageMaker(artwork::makerFor(artwork::Art::BackgroundTile));
    LbBackground1_->setEnabled(true);
    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("panel_about"));
    card->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, kClientHeight - 2 * kMargin);
    card->setAutoFillBackground(true);
    QPalette white = card->palette();
    white.setColor(QPalette::Window, Qt::white);
    card->setPalette(white);
    const int width = card->width();

    QLabel *name = addLabel(card, "label_name", helptexts::kProgramName,
                            sidelook::arialPixels(32, true), sidelook::kOlive);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(0, 6, width, 40);

    QFont linkFont = sidelook::arialPixels(13, true);
    linkFont.setUnderline(true);
    Label7_ = addLabel(card, "Label7", helptexts::kMakerSite, linkFont, sidelook::kOlive);
    Label7_->setAlignment(Qt::AlignCenter);
    Label7_->adjustSize();
    Label7_->move((width - Label7_->width()) / 2, 50);
    Label7_->setCursor(Qt::PointingHandCursor);
    Label7_->installEventFilter(this);

    const QFont small = sidelook::arialPixels(11, false);
    QLabel *by = addLabel(card, "label_programmedby", helptexts::kProgrammedBy, small, Qt::black);
    by->setAlignment(Qt::AlignCenter);
    by->setGeometry(0, 78, width, 16);
    QLabel *rights = addLabel(card, "label_rights", helptexts::kRightsNotice, small, Qt::black);
    rights->setAlignment(Qt::AlignCenter);
    rights->setGeometry(0, 94, width, 30);

    const int bottom = card->height() - 28;
    const QFont versionFont = sidelook::arialPixels(11, true);
    QLabel *word =
        addLabel(card, "label_versionword", helptexts::kVersionWord, versionFont, Qt::black);
    word->adjustSize();
    word->move(10, bottom + 4);
    QLabel *version =
        addLabel(card, "version", QString::fromLatin1(kVersionText), versionFont, Qt::black);
    version->adjustSize();
    version->move(word->x() + word->width() + 4, bottom + 4);
    QLabel *build = addLabel(card, "version2", helptexts::kBuildSuffix, versionFont, Qt::black);
    build->adjustSize();
    build->move(version->x() + version->width(), bottom + 4);

    auto *done = new TSelButton(QStringLiteral("button_done"), card);
    done->setCaption(helptexts::kDone);
    sidelook::styleSelButton(*done, true);
    done->setGeometry(width - 81, bottom, 71, 20);
    connect(done, &TSelButton::OnClick, this, &QWidget::close);
}

Tabout::~Tabout() = default;

bool Tabout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label7_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label7Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tabout::keyPressEvent(QKeyEvent *event)
{
    if (isDismissKey(*event)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tabout::Label7Click()
{
    if (linkOpener_)
        linkOpener_(QUrl(QStringLiteral("http://") + helptexts::kMakerSite));
}
