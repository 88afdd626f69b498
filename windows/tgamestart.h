#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class TLbBackground;

// What the game options window asks the program around it when the user
// clicks; what it has to say goes out through its signals.
struct GameStartHooks
{
    // Seats held by human players, from the game server's seat table.
    std::function<int()> numhumans;
    // The user's own name: the command line's, or "You" in a solo game.
    std::function<QString()> playerName;
    // For tests: takes a message for the user. Empty: a message box.
    std::function<void(const QString &text)> showMessage;
};

// The game options window, through which the host's user starts a game and
// says whether computer players ("bots") fill the seats no human holds.
// Enter starts the game, Escape closes the window.
class Tgamestart : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Zandor - Game Start");
    static inline const QString kBotsRule =
        QStringLiteral("You cannot turn the bots off unless there are at least two human players.");
    static constexpr int kClientWidth = 257;
    static constexpr int kClientHeight = 125;

    explicit Tgamestart(GameStartHooks hooks, QWidget *parent = nullptr);
    ~Tgamestart() override;

    // Shows the window centred on the desktop, or brings it forward.
    void open();

    void image_botClick();
    void button_startClick();

    // The switch: 1 bots on, 0 off (the tag of `image_bot`).
    int botTag() const;

signals:
    // The game start for the host, as a game message.
    void sendToHost(const QByteArray &message);
    // The user started a game: the settings are to be written.
    void gameStarted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSwitch(int tag);

    GameStartHooks hooks_;
    TLbBackground *LbBackground1_ = nullptr;
    QLabel *image_bot_ = nullptr;
    QLabel *button_start_ = nullptr;
};
