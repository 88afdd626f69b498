#include "windows/tgamestart.h"

#include "net/messages.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

namespace {

const QString kTitle = QStringLiteral("Game Options");
const QString kBots = QStringLiteral("Bots");
const char kTagProperty[] = "tag";
constexpr int kMargin = 6;

// The picture drawn for the screen's device pixel ratio, so that a desktop
// scaled to 200% shows it sharp.
QPixmap shown(artwork::Art art, int index = 0)
{
    return artwork::pixmap(art, index, 1.0, qApp->devicePixelRatio());
}

QLabel *addPicture(QWidget *parent, const char *name, const QPixmap &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(picture);
    label->setFixedSize(picture.deviceIndependentSize().toSize());
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

Tgamestart::Tgamestart(GameStartHooks hooks, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("Tgamestart"));
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);

    // The table cloth frames a white card holding the options.
    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setObjectName(QStringLiteral("LbBackground1"));
    LbBackground1_->setImageMaker(artwork::makerFor(artwork::Art::BackgroundTile));
    LbBackground1_->setEnabled(true);
    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("panel_options"));
    card->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, kClientHeight - 2 * kMargin);
    card->setAutoFillBackground(true);
    QPalette white = card->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    card->setPalette(white);
    const int width = card->width();

    auto *title = new QLabel(kTitle, card);
    title->setObjectName(QStringLiteral("label_title"));
    title->setFont(sidelook::arialPixels(15, true));
    title->setAlignment(Qt::AlignHCenter);
    title->setGeometry(0, 6, width, 20);

    auto *bots = new QLabel(kBots, card);
    bots->setObjectName(QStringLiteral("label_bots"));
    bots->setFont(sidelook::arialPixels(13, true));
    bots->adjustSize();
    image_bot_ = addPicture(card, "image_bot", shown(artwork::Art::BotSwitch, 1));
    image_bot_->setToolTip(QStringLiteral("Computer players fill the free seats"));
    const int rowWidth = bots->width() + 8 + image_bot_->width();
    const int rowLeft = (width - rowWidth) / 2;
    image_bot_->move(rowLeft + bots->width() + 8, 32);
    bots->move(rowLeft, 32 + (image_bot_->height() - bots->height()) / 2);
    image_bot_->installEventFilter(this);

    button_start_ = addPicture(card, "button_start", shown(artwork::Art::StartButton));
    button_start_->move((width - button_start_->width()) / 2, 70);
    button_start_->installEventFilter(this);

    showSwitch(1);
}

Tgamestart::~Tgamestart() = default;

void Tgamestart::open()
{
    if (!isVisible()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    sidelook::bringForward(*this);
}

int Tgamestart::botTag() const
{
    return image_bot_->property(kTagProperty).toInt();
}

void Tgamestart::showSwitch(int tag)
{
    image_bot_->setProperty(kTagProperty, tag);
    image_bot_->setPixmap(shown(artwork::Art::BotSwitch, tag));
}

void Tgamestart::image_botClick()
{
    const int humans = hooks_.numhumans ? hooks_.numhumans() : 0;
    if (humans > 1) {
        showSwitch(botTag() == 1 ? 0 : 1);
        return;
    }
    showSwitch(1);
    if (hooks_.showMessage) {
        hooks_.showMessage(kBotsRule);
        return;
    }
    auto *box =
        new QMessageBox(QMessageBox::Information, kCaption, kBotsRule, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Tgamestart::button_startClick()
{
    const QString name = hooks_.playerName ? hooks_.playerName() : QString();
    const char *mode = botTag() == 1 ? gamemode::withComputers : gamemode::humansOnly;
    emit sendToHost(msg::StartgameToHost{name.toUtf8(), mode}.build());
    hide();
    emit gameStarted();
}

void Tgamestart::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        button_startClick();
        return;
    case Qt::Key_Escape:
        hide();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool Tgamestart::eventFilter(QObject *watched, QEvent *event)
{
    // START GAME looks pressed while the mouse holds it.
    if (watched == button_start_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        button_start_->setPixmap(shown(artwork::Art::StartButtonDown));
    if (watched == button_start_ && event->type() == QEvent::MouseButtonRelease)
        button_start_->setPixmap(shown(artwork::Art::StartButton));
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        const auto *picture = static_cast<QWidget *>(watched);
        if (picture->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            if (watched == image_bot_) {
                image_botClick();
                return true;
            }
            if (watched == button_start_) {
                button_startClick();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
