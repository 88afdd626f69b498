#include "client/session/clientsettings.h"

#include "client/chat/chatpanel.h"
#include "client/mainmenu.h"
#include "client/model/clientsession.h"
#include "client/session/inifile.h"
#include "net/errorreport.h"
#include "net/messages.h"
#include "stats/textfile.h"
#include "windows/tphrases.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>

namespace {

const QString kTextsize = QStringLiteral("Textsize");
const QString kTextcolor = QStringLiteral("Textcolor");
const QString kActioncolor = QStringLiteral("Actioncolor");
const QString kBotspeed = QStringLiteral("Botspeed");
const QString kPlaysounds = QStringLiteral("Playsounds");
const QString kAutosort = QStringLiteral("Autosort");
const QString kPhrase = QStringLiteral("Phrase");
const QString kDefaultColourText = QStringLiteral("clblack");
const QString kFalse = QStringLiteral("false");
const QString kTrue = QStringLiteral("true");

const QString kNotSettings = QStringLiteral("%1 : this file does not hold readable settings !");
const QString kKeptAs =
    QStringLiteral("\n\nThe file has been kept as %1, and your settings start from the defaults.");
const QString kNotMoved =
    QStringLiteral("\n\nThe file could not be renamed, so it is left as it is and your settings "
                   "will not be saved over it.");
const QString kCannotSave =
    QStringLiteral("Your settings could not be saved to %1 : %2\n\nThe file keeps the settings "
                   "it held before.");
const QString kWouldNotRead =
    QStringLiteral("a setting is too long to be kept, and the file would not be read again");

// The phrase window takes no more than this; a longer text in the file
// (typed by hand, or damaged) would make the button send a line the host
// refuses.
QString heldToPhraseLength(QString text)
{
    if (text.size() <= Tphrases::kMaxPhraseLength)
        return text;
    qsizetype length = Tphrases::kMaxPhraseLength;
    // Never keep half of a character that takes two.
    if (text[length - 1].isHighSurrogate())
        --length;
    text.truncate(length);
    return text;
}

// A size outside this range is no chat text size: 0 draws nothing and a
// huge one makes the log unusable.
constexpr int kSmallestTextSize = 1;
constexpr int kLargestTextSize = 72;

int readTextSize(const IniFile &ini)
{
    bool ok = false;
    const int size = ini.value(ClientSettings::kSection, kTextsize, QString()).toInt(&ok);
    if (!ok || size < kSmallestTextSize || size > kLargestTextSize)
        return StoredSettings{}.textSize;
    return size;
}

colortext::ColorValue readColour(const IniFile &ini, const QString &key)
{
    const QString text = ini.value(ClientSettings::kSection, key, kDefaultColourText);
    return colortext::fromText(text).value_or(colortext::kBlack);
}

int readBotSpeed(const IniFile &ini)
{
    const QString text = ini.value(ClientSettings::kSection, kBotspeed, QString());
    if (text == QLatin1StringView("1000"))
        return ClientSettings::kSlow;
    if (text == QLatin1StringView("500"))
        return ClientSettings::kFast;
    return ClientSettings::kNormal;
}

// Only the exact word switches a setting off.
bool readSwitch(const IniFile &ini, const QString &key)
{
    return ini.value(ClientSettings::kSection, key, QString()) != kFalse;
}

} // namespace

StoredSettings StoredSettings::read(const IniFile &ini)
{
    StoredSettings settings;
    settings.textSize = readTextSize(ini);
    settings.textColor = readColour(ini, kTextcolor);
    settings.actionColor = readColour(ini, kActioncolor);
    settings.botSpeed = readBotSpeed(ini);
    for (size_t i = 0; i < settings.phrases.size(); ++i)
        settings.phrases[i] = heldToPhraseLength(
            ini.value(ClientSettings::kSection, kPhrase + QString::number(i + 1), QString()));
    settings.playSounds = readSwitch(ini, kPlaysounds);
    settings.autoSort = readSwitch(ini, kAutosort);
    return settings;
}

void StoredSettings::write(IniFile &ini) const
{
    const QString &section = ClientSettings::kSection;
    ini.setValue(section, kTextsize, QString::number(textSize));
    ini.setValue(section, kTextcolor, colortext::toText(textColor));
    ini.setValue(section, kActioncolor, colortext::toText(actionColor));
    ini.setValue(section, kBotspeed, QString::number(botSpeed));
    ini.setValue(section, kPlaysounds, playSounds ? kTrue : kFalse);
    ini.setValue(section, kAutosort, autoSort ? kTrue : kFalse);
}

void StoredSettings::copyKey(Key key, const StoredSettings &from)
{
    switch (key) {
    case Key::Textsize:
        textSize = from.textSize;
        break;
    case Key::Textcolor:
        textColor = from.textColor;
        break;
    case Key::Actioncolor:
        actionColor = from.actionColor;
        break;
    case Key::Botspeed:
        botSpeed = from.botSpeed;
        break;
    case Key::Playsounds:
        playSounds = from.playSounds;
        break;
    case Key::Autosort:
        autoSort = from.autoSort;
        break;
    }
}

ClientSettings::ClientSettings(const QString &folder, const ClientSession *session, ChatPanel *chat,
                               QObject *parent)
    : QObject(parent), path_(QDir(folder).filePath(kFileName)), session_(session), chat_(chat)
{
    setObjectName(QStringLiteral("clientsettings"));
    if (chat_) {
        connect(chat_, &ChatPanel::textSizeChanged, this,
                [this] { changed(StoredSettings::Key::Textsize); });
        connect(chat_, &ChatPanel::textColorChanged, this,
                [this] { changed(StoredSettings::Key::Textcolor); });
        connect(chat_, &ChatPanel::actionColorChanged, this,
                [this] { changed(StoredSettings::Key::Actioncolor); });
    }
}

void ClientSettings::setFolder(const QString &folder)
{
    path_ = QDir(folder).filePath(kFileName);
}

void ClientSettings::loadinifile()
{
    values_ = StoredSettings::read(readFile());
    loaded_ = true;
    changedBeforeLoad_.clear();

    if (chat_) {
        chat_->setTextSize(values_.textSize);
        chat_->setTextColor(values_.textColor);
        chat_->setActionColor(values_.actionColor);
    }
    showOnMenu();
    if (session_ && session_->ownSlot == 1 && session_->loggedIn)
        sendBotSpeed();
    if (chat_) {
        for (size_t i = 0; i < values_.phrases.size(); ++i) {
            if (!values_.phrases[i].isEmpty())
                chat_->setPhrase(int(i) + 1, values_.phrases[i]);
        }
    }
    emit botSpeedChanged(values_.botSpeed);
    emit playSoundsChanged(values_.playSounds);
    emit autoSortChanged(values_.autoSort);
}

void ClientSettings::takeChatPreferences()
{
    if (!chat_)
        return;
    values_.textSize = chat_->textSize();
    values_.textColor = chat_->textColor();
    values_.actionColor = chat_->actionColor();
}

void ClientSettings::saveinifile()
{
    takeChatPreferences();
    IniFile ini = readFile();
    StoredSettings written = values_;
    if (!loaded_) {
        // The file has not been read yet: what it holds is still the user's
        // choice for everything not changed since the start.
        written = StoredSettings::read(ini);
        for (StoredSettings::Key key : changedBeforeLoad_)
            written.copyKey(key, values_);
    }
    written.write(ini);
    writeFile(ini);
}

IniFile ClientSettings::readFile()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const bool tooLarge = file.size() > kMaxFileSize;
    const QByteArray bytes = tooLarge ? QByteArray() : file.readAll();
    file.close();
    if (!tooLarge && IniFile::holdsText(bytes)) {
        foreignFileInPlace_ = false;
        return IniFile::fromBytes(bytes);
    }
    QString text = kNotSettings.arg(QDir::toNativeSeparators(path_));
    if (const auto kept = textfile::keepAside(path_, kDamagedSuffix)) {
        foreignFileInPlace_ = false;
        text += kKeptAs.arg(QDir::toNativeSeparators(*kept));
    } else {
        // Told once; later reads of the same file stay quiet.
        if (foreignFileInPlace_)
            return {};
        foreignFileInPlace_ = true;
        text += kNotMoved;
    }
    reportError(text);
    return {};
}

void ClientSettings::writeFile(const IniFile &ini)
{
    if (foreignFileInPlace_)
        return;
    // A file the next start would judge damaged, and set aside with every
    // setting in it, is never written.
    const QByteArray bytes = ini.toBytes();
    const bool readable = bytes.size() <= kMaxFileSize && IniFile::holdsText(bytes);
    QString why = kWouldNotRead;
    if (readable && ini.save(path_, &why)) {
        saveFailureReported_ = false;
        return;
    }
    // A full disk fails every click the same way: one box says it, and the
    // next one only comes after a save has worked in between.
    if (saveFailureReported_)
        return;
    saveFailureReported_ = true;
    reportError(kCannotSave.arg(QDir::toNativeSeparators(path_), why));
}

void ClientSettings::savephrases(const std::array<QString, 10> &phrases)
{
    IniFile ini = readFile();
    for (size_t i = 0; i < phrases.size(); ++i) {
        ini.setValue(kSection, kPhrase + QString::number(i + 1), phrases[i]);
        if (chat_)
            chat_->setPhrase(int(i) + 1, phrases[i]);
    }
    values_.phrases = phrases;
    writeFile(ini);
}

void ClientSettings::changed(StoredSettings::Key key)
{
    if (!loaded_)
        changedBeforeLoad_.insert(key);
    saveinifile();
}

void ClientSettings::PlaySounds1Click()
{
    values_.playSounds = !values_.playSounds;
    showOnMenu();
    emit playSoundsChanged(values_.playSounds);
    changed(StoredSettings::Key::Playsounds);
}

void ClientSettings::AutoSort1Click()
{
    values_.autoSort = !values_.autoSort;
    showOnMenu();
    emit autoSortChanged(values_.autoSort);
    changed(StoredSettings::Key::Autosort);
}

void ClientSettings::Fast1Click(int milliseconds)
{
    if (milliseconds != kSlow && milliseconds != kNormal && milliseconds != kFast)
        return;
    values_.botSpeed = milliseconds;
    showOnMenu();
    if (session_ && session_->loggedIn)
        sendBotSpeed();
    emit botSpeedChanged(milliseconds);
    changed(StoredSettings::Key::Botspeed);
}

void ClientSettings::sendBotSpeed()
{
    if (!session_)
        return;
    emit sendToHost(msg::Botspeed{session_->ownSlot, values_.botSpeed}.build());
}

void ClientSettings::connectMainMenu(const MainMenu &menu)
{
    playSounds1_ = menu.PlaySounds1;
    connect(playSounds1_, &QAction::triggered, this, &ClientSettings::PlaySounds1Click);
    autoSort1_ = menu.AutoSort1;
    connect(autoSort1_, &QAction::triggered, this, &ClientSettings::AutoSort1Click);
    botSpeed1_ = menu.BotSpeed1->menuAction();
    speedItems_ = menu.botSpeeds();
    for (QAction *action : speedItems_) {
        const int milliseconds = action->data().toInt();
        connect(action, &QAction::triggered, this,
                [this, milliseconds] { Fast1Click(milliseconds); });
    }
    showOnMenu();
}

void ClientSettings::showOnMenu()
{
    if (playSounds1_)
        playSounds1_->setChecked(values_.playSounds);
    if (autoSort1_)
        autoSort1_->setChecked(values_.autoSort);
    if (botSpeed1_)
        botSpeed1_->setData(values_.botSpeed);
    for (QAction *action : speedItems_) {
        if (action)
            action->setChecked(action->data().toInt() == values_.botSpeed);
    }
}

namespace {
const QString kHidelobbyoffer = QStringLiteral("Hidelobbyoffer");
const QString kShowplaysinchat = QStringLiteral("Showplaysinchat");
const QString kTurntimelimit = QStringLiteral("Turntimelimit");
const QString kKeepdroppedseat = QStringLiteral("Keepdroppedseat");
const QString kSeatkey = QStringLiteral("Seatkey");
const QString kSeatkeyhost = QStringLiteral("Seatkeyhost");
const QString kSeatkeyslot = QStringLiteral("Seatkeyslot");
const QString kFittabletowindow = QStringLiteral("Fittabletowindow");
const QString kOpenportonrouter = QStringLiteral("Openportonrouter");
} // namespace

PlayChoices ClientSettings::playChoices()
{
    return PlayChoices::read(readFile(), kSection);
}

void ClientSettings::savePlayChoices(const PlayChoices &choices)
{
    IniFile ini = readFile();
    choices.write(ini, kSection);
    writeFile(ini);
}

bool ClientSettings::hideLobbyOffer()
{
    return readFile().value(kSection, kHidelobbyoffer, QString()) == QStringLiteral("1");
}

void ClientSettings::setHideLobbyOffer(bool hide)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kHidelobbyoffer, hide ? QStringLiteral("1") : QStringLiteral("0"));
    writeFile(ini);
}

bool ClientSettings::showPlaysInChat()
{
    return readFile().value(kSection, kShowplaysinchat, QString()) == QStringLiteral("1");
}

void ClientSettings::setShowPlaysInChat(bool show)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kShowplaysinchat, show ? QStringLiteral("1") : QStringLiteral("0"));
    writeFile(ini);
}

bool ClientSettings::fitTableToWindow()
{
    // On unless the user turned it off.
    return readFile().value(kSection, kFittabletowindow, QString()) != QStringLiteral("0");
}

void ClientSettings::setFitTableToWindow(bool fit)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kFittabletowindow, fit ? QStringLiteral("1") : QStringLiteral("0"));
    writeFile(ini);
}

bool ClientSettings::openPortOnRouter()
{
    // On unless the user turned it off.
    return readFile().value(kSection, kOpenportonrouter, QString()) != QStringLiteral("0");
}

void ClientSettings::setOpenPortOnRouter(bool open)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kOpenportonrouter, open ? QStringLiteral("1") : QStringLiteral("0"));
    writeFile(ini);
}

int ClientSettings::turnLimitSeconds()
{
    const int seconds = readFile().value(kSection, kTurntimelimit, QString()).toInt();
    return seconds == 30 || seconds == 60 ? seconds : 0;
}

void ClientSettings::setTurnLimitSeconds(int seconds)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kTurntimelimit, QString::number(seconds));
    writeFile(ini);
}

int ClientSettings::seatHoldSeconds()
{
    const QString stored = readFile().value(kSection, kKeepdroppedseat, QString());
    const int seconds = stored.toInt();
    if (stored.isEmpty() || (seconds != 0 && seconds != 60 && seconds != 120 && seconds != 300))
        return kDefaultSeatHoldSeconds;
    return seconds;
}

void ClientSettings::setSeatHoldSeconds(int seconds)
{
    IniFile ini = readFile();
    ini.setValue(kSection, kKeepdroppedseat, QString::number(seconds));
    writeFile(ini);
}

ClientSettings::SeatKey ClientSettings::seatKeyFor(const QString &host)
{
    const IniFile ini = readFile();
    if (host.isEmpty() || ini.value(kSection, kSeatkeyhost, QString()) != host)
        return {};
    return SeatKey{ini.value(kSection, kSeatkeyslot, QString()).toInt(),
                   ini.value(kSection, kSeatkey, QString()).toLatin1()};
}

void ClientSettings::setSeatKey(const QString &host, const SeatKey &key)
{
    IniFile ini = readFile();
    const bool kept = !key.key.isEmpty();
    ini.setValue(kSection, kSeatkeyhost, kept ? host : QString());
    ini.setValue(kSection, kSeatkeyslot, kept ? QString::number(key.slot) : QString());
    ini.setValue(kSection, kSeatkey, QString::fromLatin1(key.key));
    writeFile(ini);
}
