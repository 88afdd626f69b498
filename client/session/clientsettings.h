#pragma once

#include "client/chat/colortext.h"
#include "client/session/playchoices.h"
#include "net/gamerules.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <set>

class ChatPanel;
class IniFile;
class MainMenu;
class QAction;
struct ClientSession;

// The preferences as the settings file holds them.
struct StoredSettings
{
    enum class Key { Textsize, Textcolor, Actioncolor, Botspeed, Playsounds, Autosort };

    int textSize = 8;
    colortext::ColorValue textColor = colortext::kBlack;
    colortext::ColorValue actionColor = colortext::kBlack;
    int botSpeed = kNormalBots.ms;
    bool playSounds = true;
    bool autoSort = true;
    // Empty where the file has no phrase: the button keeps its own.
    std::array<QString, 10> phrases;

    // Unreadable values fall back to the defaults above.
    static StoredSettings read(const IniFile &ini);
    // Writes every key but the phrases, which the phrase window owns.
    void write(IniFile &ini) const;
    void copyKey(Key key, const StoredSettings &from);
};

// Reads `ridodezaz.ini` once after the own login, applies it to the chat
// panel and the Options menu, and writes it again at every change.
class ClientSettings : public QObject
{
    Q_OBJECT
public:
    static inline const QString kFileName = QStringLiteral("ridodezaz.ini");
    static inline const QString kSection = QStringLiteral("Zandor");
    // Where a file that is no settings file is kept, beside the file's name.
    static inline const QString kDamagedSuffix = QStringLiteral(".damaged");
    // No settings file is anywhere near this; a bigger one is not read.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;
    static constexpr int kSlow = kSlowBots.ms;
    static constexpr int kNormal = kNormalBots.ms;
    static constexpr int kFast = kFastBots.ms;

    // `folder` is where the file lives (see ConfigLocation).
    ClientSettings(const QString &folder, const ClientSession *session, ChatPanel *chat,
                   QObject *parent = nullptr);

    QString filePath() const { return path_; }
    // Moves the file to another folder (tests keep it in a temporary one).
    void setFolder(const QString &folder);
    bool loaded() const { return loaded_; }

    // Reads the file and applies it; the host's own client then tells its
    // server the stored speed of the computer players.
    void loadinifile();
    // Writes the current preferences.
    void saveinifile();
    // Stores the ten phrases (the phrase window's "Done") and shows them.
    void savephrases(const std::array<QString, 10> &phrases);

    int botSpeed() const { return values_.botSpeed; }
    bool playSounds() const { return values_.playSounds; }
    bool autoSort() const { return values_.autoSort; }

    // Menu commands.
    void PlaySounds1Click();
    void AutoSort1Click();
    void Fast1Click(int milliseconds);

    // Wires `PlaySounds1`, `AutoSort1`, `Slow1`, `Normal1` and `Fast1`, and
    // shows the current state on them.
    void connectMainMenu(const MainMenu &menu);

    // Choices the game made beyond its first settings, each under a key of
    // its own that the preferences above never read or write: the Play with
    // Others window's name and addresses, whether the lobby offer stays away
    // at a solo start, and the host's turn time limit in seconds.
    PlayChoices playChoices();
    void savePlayChoices(const PlayChoices &choices);
    bool hideLobbyOffer();
    void setHideLobbyOffer(bool hide);
    // View > Show Plays In Chat; off when the file never said.
    bool showPlaysInChat();
    void setShowPlaysInChat(bool show);
    // View > Fit Table To Window, on by default.
    bool fitTableToWindow();
    void setFitTableToWindow(bool fit);
    // Options > Open Port On Router, on by default.
    bool openPortOnRouter();
    void setOpenPortOnRouter(bool open);
    int turnLimitSeconds();
    void setTurnLimitSeconds(int seconds);
    // Options > Keep a Dropped Player's Seat, in seconds; 2 minutes when
    // the file never said.
    static constexpr int kDefaultSeatHoldSeconds = 120;
    int seatHoldSeconds();
    void setSeatHoldSeconds(int seconds);
    // The seat key the host at `host` ("address:port") gave this player,
    // with the slot it takes back, kept so that a copy started again after
    // a crash can take the seat back; no key when the key kept is another
    // host's, or none. An empty key forgets it.
    struct SeatKey
    {
        int slot = 0;
        QByteArray key;
    };
    SeatKey seatKeyFor(const QString &host);
    void setSeatKey(const QString &host, const SeatKey &key);

signals:
    // A game message for the host: the computer players' speed.
    void sendToHost(const QByteArray &message);
    void playSoundsChanged(bool on);
    void autoSortChanged(bool on);
    void botSpeedChanged(int milliseconds);

private:
    void changed(StoredSettings::Key key);
    void takeChatPreferences();
    void showOnMenu();
    void sendBotSpeed();
    // The file as it is now; a file that holds no settings at all is moved
    // aside (and the user told) and reads as empty.
    IniFile readFile();
    // Writes `ini`; the first failure is reported, the rest only once a save
    // has worked again.
    void writeFile(const IniFile &ini);

    QString path_;
    const ClientSession *session_;
    ChatPanel *chat_;
    StoredSettings values_;
    bool loaded_ = false;
    // What the user changed before the file was read; only those keys may
    // overwrite what the file holds.
    std::set<StoredSettings::Key> changedBeforeLoad_;
    // A failed save has been reported and no save has worked since.
    bool saveFailureReported_ = false;
    // A file that is no settings file could not be moved aside: it is the
    // user's, so nothing is written over it.
    bool foreignFileInPlace_ = false;

    QAction *playSounds1_ = nullptr;
    QAction *autoSort1_ = nullptr;
    QAction *botSpeed1_ = nullptr;
    std::array<QAction *, 3> speedItems_{};
};
