#include "windows/tdownload.h"

#include "net/errorreport.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "windows/downloadtarget.h"
#include "windows/helptexts.h"
#include "windows/jpegimage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

namespace text {
const QString caption = QStringLiteral("Download The Korvex Lobby");
const QString invitation = QStringLiteral("Download The Korvex Lobby Now to play this  and other "
                                          "exciting games online with other players!");
const QString getbutton = QStringLiteral("Download And Install The Korvex Lobby Now");
const QString abortbutton = QStringLiteral("Stop Download");
const QString soloHint = QStringLiteral("To proceed to the game without the ability to play "
                                        "against others click the button below.");
const QString solo = QStringLiteral("Play Solo Game");
const QString othersHint = QStringLiteral(
    "If you already have The Korvex Lobby and you wish to play with others then click the button "
    "below to close this game and open The Korvex Lobby.");
const QString others = QStringLiteral("Play with Others");
const QString loading = QStringLiteral("Loading");
const QString headerMark = QStringLiteral(".");
const QString downloading = QStringLiteral("Downloading: ");
const QString bytes = QStringLiteral(" bytes");
const QString received = QStringLiteral("Received ");
const QString aborted = QStringLiteral("Download Aborted");
const QString stopped = QStringLiteral("Download has been aborted.");
const QString installing = QStringLiteral("Installing");
const QString startFailed = QStringLiteral("An Error has Occurred.");
const QString dontShow = QStringLiteral("Do not show this at start-up");
} // namespace text

namespace http {
const QString agent = QStringLiteral("Mozilla/3.0 (compatible)");
const QString accept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
const QString version = QStringLiteral("1.0");
} // namespace http

const QColor kFrame(96, 92, 141);
const QColor kLabelInk(113, 134, 187);

QFrame *makePanel(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(geometry);
    panel->setStyleSheet(QStringLiteral("QFrame#%1 { background: white; border: 1px solid %2; }")
                             .arg(QLatin1String(name), kFrame.name()));
    return panel;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &words, int pixels,
                  const QColor &ink, const QRect &geometry)
{
    auto *label = new QLabel(words, parent);
    label->setObjectName(QLatin1String(name));
    // Shows the file name the download address ends in: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(sidelook::arialPixels(pixels, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ink);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setGeometry(geometry);
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                        const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(sidelook::arialPixels(19, false));
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    // Enter presses the focused button, as in any dialog.
    button->setAutoDefault(true);
    button->setStyleSheet(
        QStringLiteral(
            "QPushButton { color: #ff0000; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
            " stop:0 #ffffff, stop:1 #e9e8f2); border: 1px solid %1; border-radius: 3px; }"
            "QPushButton:hover { background: #f4f3fb; border-color: #ff0000; }"
            "QPushButton:pressed { background: #dddbeb; }"
            "QPushButton:disabled { color: #a8a6b8; border-color: #c8c6d6; }")
            .arg(kFrame.name()));
    return button;
}

void showMessageBox(QWidget *parent, const QString &words)
{
    // Window-modal, without a nested event loop: the game goes on behind it.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Zandor"), words,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

Tdownload::Tdownload(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      lobbyProgram_(downloadtarget::installedLobbyProgram()),
      shellOpen_(
          [](const QString &file, const QString &parameters, shellopen::Show show,
             shellopen::Done done) { shellopen::open(file, parameters, show, std::move(done)); }),
      showMessage_([this](const QString &words) { showMessageBox(this, words); })
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(text::caption);
    setFixedSize(kClientWidth, kClientHeight);

    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setImage(artwork::downloadTile());
    LbBackground1_->setEnabled(true);

    HttpCli1_ = new THttpCli(this);
    HttpCli1_->setObjectName(QStringLiteral("HttpCli1"));
    HttpCli1_->setURL(helptexts::kLobbyInstallerUrl);
    HttpCli1_->setRequestVer(http::version);
    HttpCli1_->setAgent(http::agent);
    HttpCli1_->setAccept(http::accept);
    HttpCli1_->setNoCache(false);
    connect(HttpCli1_, &THttpCli::OnHeaderData, this, &Tdownload::HttpCli1HeaderData);
    connect(HttpCli1_, &THttpCli::OnDocBegin, this, &Tdownload::HttpCli1DocBegin);
    connect(HttpCli1_, &THttpCli::OnDocData, this, &Tdownload::HttpCli1DocData);
    connect(HttpCli1_, &THttpCli::OnRequestDone, this, &Tdownload::HttpCli1RequestDone);

    buildLeftPanel();
    buildRightPanels();
}

Tdownload::~Tdownload() = default;

void Tdownload::buildLeftPanel()
{
    QFrame *panel = makePanel(this, "panel_left", QRect(8, 8, 452, 484));

    Image1_ = new QLabel(panel);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(26, 8, 400, 339);
    const QImage advert = jpegimage::decode(artwork::advertJpeg());
    if (!advert.isNull())
        Image1_->setPixmap(QPixmap::fromImage(advert));

    makeLabel(panel, "Label1", text::invitation, 16, kLabelInk, QRect(8, 349, 436, 42));
    getbutton_ = makeButton(panel, "getbutton", text::getbutton, QRect(12, 393, 428, 42));
    connect(getbutton_, &QPushButton::clicked, this, &Tdownload::getbuttonClick);

    infolabel_ = makeLabel(panel, "infolabel", QString(), 13, kFrame, QRect(8, 441, 268, 18));
    infolabel3_ = makeLabel(panel, "infolabel3", QString(), 13, kFrame, QRect(8, 461, 268, 18));
    infolabel2_ = makeLabel(panel, "infolabel2", QString(), 13, kFrame, QRect(8, 461, 268, 18));
    infolabel2_->hide();

    abortbutton_ = makeButton(panel, "abortbutton", text::abortbutton, QRect(280, 447, 161, 25));
    abortbutton_->setFont(sidelook::arialPixels(15, false));
    abortbutton_->setEnabled(false);
    connect(abortbutton_, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
}

void Tdownload::buildRightPanels()
{
    QFrame *upper = makePanel(this, "panel_solo", QRect(468, 8, 248, 234));
    makeLabel(upper, "Label7", text::soloHint, 16, kLabelInk, QRect(12, 14, 224, 132));
    Button1_ = makeButton(upper, "Button1", text::solo, QRect(16, 164, 216, 48));
    connect(Button1_, &QPushButton::clicked, this, &Tdownload::Button1Click);
    check_dontshow_ = new QCheckBox(text::dontShow, upper);
    check_dontshow_->setObjectName(QStringLiteral("check_dontshow"));
    check_dontshow_->setGeometry(16, 213, 216, 18);
    check_dontshow_->setFont(sidelook::arialPixels(12, false));
    connect(check_dontshow_, &QCheckBox::clicked, this, &Tdownload::dontShowAtStartupChanged);

    QFrame *lower = makePanel(this, "panel_others", QRect(468, 250, 248, 242));
    makeLabel(lower, "Label5", text::othersHint, 16, kLabelInk, QRect(12, 10, 224, 160));
    QPushButton *others = makeButton(lower, "Button2", text::others, QRect(16, 176, 216, 48));
    connect(others, &QPushButton::clicked, this, &Tdownload::Button2Click);
}

void Tdownload::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    // A reflex Enter must not start a download that ends the game: the
    // focus starts on going on with the solo game.
    Button1_->setFocus();
    if (const QScreen *desktop = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tdownload::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Button1Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tdownload::getbuttonClick()
{
    downloadMark_ = 1;
    const QString name = downloadtarget::fileNameFromUrl(HttpCli1_->URL());
    infolabel2_->setText(name);
    if (name.isEmpty()) {
        reportError(QStringLiteral("The download address names no file: ") + HttpCli1_->URL());
        return;
    }
    const QString folder =
        targetFolder_.isEmpty() ? downloadtarget::defaultFolder() : targetFolder_;
    target_.setFileName(QDir(folder).filePath(name));
    // Unbuffered, so that a full disk shows at the write that fails.
    if (!target_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        reportError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(target_.fileName()), target_.errorString()));
        return;
    }
    HttpCli1_->setRcvdStream(&target_);
    getbutton_->setEnabled(false);
    abortbutton_->setEnabled(true);
    infolabel_->setText(text::loading);
    if (!HttpCli1_->Get())
        HttpCli1RequestDone(THttpCli::Outcome::HttpError, THttpCli::kNoServerStatus, QString());
}

void Tdownload::abortbuttonClick()
{
    HttpCli1_->Abort();
    infolabel_->setText(text::stopped);
    downloadMark_ = 2;
    infolabel3_->setText(text::aborted);
}

void Tdownload::Button1Click()
{
    close();
}

void Tdownload::setDontShowAtStartup(bool on)
{
    check_dontshow_->setChecked(on);
}

void Tdownload::Button2Click()
{
    // Without the lobby the game itself can host or join.
    if (!QFileInfo::exists(lobbyProgram_)) {
        close();
        emit playWithOthersRequested();
        return;
    }
    // Closing the game when the lobby did not start would leave the user
    // with neither.
    shellOpen_(lobbyProgram_, QString(), shellopen::Show::NoActivate, startOutcome());
}

shellopen::Done Tdownload::startOutcome()
{
    return [window = QPointer<Tdownload>(this)](bool started) {
        if (!window)
            return;
        if (started)
            emit window->exitRequested();
        else
            window->showMessage_(text::startFailed);
    };
}

void Tdownload::HttpCli1HeaderData()
{
    infolabel_->setText(infolabel_->text() + text::headerMark);
}

void Tdownload::HttpCli1DocBegin()
{
    infolabel3_->setText(text::downloading + infolabel2_->text());
}

void Tdownload::HttpCli1DocData(qint64 rcvdCount)
{
    infolabel_->setText(QString::number(rcvdCount) + text::bytes);
}

void Tdownload::HttpCli1RequestDone(THttpCli::Outcome outcome, int, const QString &reason)
{
    QString failure;
    switch (outcome) {
    case THttpCli::Outcome::Done:
        infolabel_->setText(text::received + QString::number(target_.size()) + text::bytes);
        break;
    case THttpCli::Outcome::HttpError:
        infolabel_->setText(text::aborted);
        downloadMark_ = 2;
        break;
    case THttpCli::Outcome::StreamError:
        // A file that could not be written whole is no installer: it is
        // never started.
        infolabel_->setText(text::aborted);
        downloadMark_ = 2;
        failure = QStringLiteral("Cannot write file \"%1\". %2")
                      .arg(QDir::toNativeSeparators(target_.fileName()), reason);
        break;
    }

    getbutton_->setEnabled(true);
    abortbutton_->setEnabled(false);
    const QString installer = target_.fileName();
    target_.close();
    HttpCli1_->setRcvdStream(nullptr);

    if (downloadMark_ != 2) {
        infolabel3_->setText(text::installing);
        shellOpen_(installer, kInstallerParameters, shellopen::Show::Normal, startOutcome());
    }
    if (!failure.isEmpty())
        reportError(failure);
}
