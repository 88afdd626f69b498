#pragma once

#include "client/clientdispatcher.h"
#include "net/gamerules.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class HandView;
class QLabel;
class QPushButton;
class QWidget;
class TAnimated;
struct ClientSession;

// What the table asks of the main window around it. Empty hooks do nothing,
// except showMessage and openLink, which fall back to a message box and the
// desktop's browser.
struct TableHooks
{
    std::function<void(const QByteArray &message)> send;
    std::function<void(const QString &line)> notice; // a notice in the system colour
    std::function<bool()> autoSort;                  // "Auto Sort" carries its check mark
    std::function<void()> openGameOptions;
    std::function<void(const QString &text)> showMessage;
    std::function<void(const QUrl &url)> openLink;
};

// The card table on the board panel: the four seats with their names, bags,
// turn markers and card fans, the pile with its total, the round, the card
// count, the status line, the start button and the winner banner. It turns
// the host's table messages into what the user sees and hears, and sends the
// user's card. The user's own seat is always drawn at the bottom.
class TableView : public QObject
{
    Q_OBJECT
public:
    static inline const QString kWaiting = QLatin1String(kWaitingName);

    TableView(QWidget *board, ClientSession *session, TableHooks hooks, QObject *parent = nullptr);
    ~TableView() override;

    // Hooks that only exist once the rest of the window is built.
    void setGameOptions(std::function<void()> open) { hooks_.openGameOptions = std::move(open); }
    void setAutoSort(std::function<bool()> autoSort) { hooks_.autoSort = std::move(autoSort); }

    // Wires every table message of the dispatcher to its handler.
    void connectDispatcher(ClientDispatcher &dispatcher);

    // Message handlers.
    void startthegame(const QString &name, const QString &mode);
    void startround(int round, const ClientDispatcher::SeatValues &money);
    void getnextplayer(int seat);
    void gamestats(int round, int total, int topcard, int turn,
                   const ClientDispatcher::SeatValues &money);
    void placecard(int seat, const ClientDispatcher::SeatValues &cards);
    void playcard(int seat, int card, int total);
    void newcard(int seat, int position, int card);
    void nocard(int seat, int position);
    void roundover(int seat, int money);
    void winner(const QString &name, int seat);

    // Full bags and resting card fans for every seat.
    void clearall();
    // The user pressed a mouse button on one of his cards.
    void cardimagesMouseDown(int position, Qt::MouseButton button);
    // The start button and "File" / "Start Game".
    void button_startClick();
    void Image5Click();
    // Turns the seat controls so the own slot's are at the bottom.
    void sortstuff(int ownSlot);

    QWidget *board() const { return board_; }
    HandView &hand() { return *hand_; }
    QPushButton *startButton() const { return button_start_; }
    // The seat's control named prefix + seat, found as the rotation left it.
    QWidget *seatControl(QStringView prefix, int seat) const;
    QLabel *nameLabel(int seat) const;
    TAnimated *cardFan(int seat) const;

signals:
    void playsounds(const QString &name);
    // A game has started: "Just Watch" loses its check mark.
    void gameStarted();
    // The statistics' calls: a column of the user's totals grows, a game
    // ended ("addtomine" when the user won, else the winner's name). Sent
    // only while the user holds a seat.
    void tallyIncrease(int column, int amount);
    void tallyGame(const QString &winner);

private:
    void buildSeats();
    void buildPile();
    void buildBanner();
    void buildDecorations();

    bool ownSeat(int seat) const;
    void showTotal(int total);
    void showBags(int seat, int bags);
    void showMoneyList(const ClientDispatcher::SeatValues &money, bool updateBags);
    void showTurn(int seat);
    void setCardCount(int count);
    void setStatus(const QString &text);
    void defaultNamesForWaitingSeats();
    void stopFans();
    void notice(const QString &line);
    void send(const QByteArray &message);
    void showMessage(const QString &text);

    QWidget *board_;
    ClientSession *session_;
    TableHooks hooks_;
    HandView *hand_ = nullptr;

    QLabel *image_topcard_ = nullptr;
    QLabel *image_nums1_ = nullptr;
    QLabel *image_nums2_ = nullptr;
    QLabel *label_cardcount_ = nullptr;
    QLabel *label_round_ = nullptr;
    QLabel *label_status_ = nullptr;
    QPushButton *button_start_ = nullptr;
    QWidget *panel_winner_ = nullptr;
    QLabel *label_winner1_ = nullptr;
    QLabel *label_winner2_ = nullptr;
};
