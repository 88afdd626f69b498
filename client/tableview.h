#pragma once

#include "client/clientdispatcher.h"
#include "client/scaledplaces.h"
#include "client/seatrotation.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>

class HandView;
class LastPlays;
class QLabel;
class QPushButton;
class QWidget;
class TLbBackground;
class TableState;
struct ClientSession;

// The card table on the board panel: the four seats with their names, bags,
// turn markers and card fans, the pile with its total, the round, the card
// count, the status line, the start button and the winner banner. It draws
// the table state (client/tablestate.h) as the host's messages change it,
// plays the table's sounds, keeps the user's hand and sends the user's
// card. The user's own seat is always drawn at the bottom.
class TableView : public QObject
{
    Q_OBJECT
public:
    // The turn's status line with the seconds left before the host's turn
    // time limit; 0 shows the plain line again.
    void showSecondsLeft(int seconds);
    TableView(QWidget *board, const ClientSession *session, TableState *state,
              QObject *parent = nullptr);
    ~TableView() override;

    // Lays the table out again at `scale` times its designed size (1 the
    // designed size) and draws every picture for that size.
    void setScale(qreal scale);
    qreal scale() const { return places_.scale(); }

    // Wires the hand's messages of the dispatcher to their handlers; the
    // rest of the table follows the table state.
    void connectDispatcher(ClientDispatcher &dispatcher);

    // The hand's message handlers.
    void placecard(int seat, const ClientDispatcher::SeatValues &cards);
    void newcard(int seat, int position, int card);
    void nocard(int seat, int position);

    // Full bags and resting card fans for every seat.
    void clearall();
    // The user pressed a mouse button on one of his cards.
    void cardimagesMouseDown(int position, Qt::MouseButton button);
    // A key pressed on the table: 1 to 4 click the hand's cards left to
    // right, Left and Right move the highlight between them, Enter or Space
    // click the highlighted card (else the raised one), Escape takes the
    // highlight away and lowers a raised card. Returns whether the key was
    // the hand's.
    bool handKey(int key);
    // The start button and "File" / "Start Game".
    void button_startClick();
    void Image5Click();
    // Turns the table so that the own slot's seat is drawn at the bottom.
    void sortstuff(int ownSlot);

    // "Auto Sort": a new card is sorted into the hand at once.
    void setAutoSort(bool on) { autoSort_ = on; }

    QWidget *board() const { return board_; }
    HandView &hand() { return *hand_; }
    QPushButton *startButton() const { return button_start_; }
    const SeatRotation &rotation() const { return rotation_; }
    // The controls drawn at a place, and those of seat 1 to 4 wherever it
    // stands (nullptr for any other number).
    const SeatControls &atPlace(TablePlace place) const;
    const SeatControls *seatControls(int seat) const;

signals:
    void playsounds(const QString &name);
    // A game message for the host.
    void sendToHost(const QByteArray &message);
    // A notice for the chat log, in the system colour.
    void notice(const QString &line);
    // Something the user must read in a message box.
    void messageForUser(const QString &text);
    // The host's user asked to start a game: the game options open.
    void gameOptionsRequested();
    // The maker's logo was clicked.
    void linkClicked(const QUrl &url);
    // The statistics' calls: a column of the user's totals grows, a game
    // ended, won by the user's own seat or by the seat of `winner`. Sent
    // only while the user holds a seat.
    void tallyIncrease(int column, int amount);
    void tallyGame(bool userWon, const QString &winner);

private:
    void buildSeats();
    // Every picture of the table, drawn for the scale now.
    void drawPictures();
    void buildPile();
    void buildBanner();
    void buildDecorations();
    void nameSeatControls();

    // The table state's announcements.
    void showSeat(int seat);
    void gameStarted(const QString &name);
    void roundStarted();
    void showTurn(int seat);
    void lateArrival();
    void cardPlayed(int seat);
    void seatBusted(int seat, int bags);
    void gameWon(const QString &name, int seat);

    void showTopCard();
    // The names a screen reader speaks for a seat and for the pile.
    void nameSeat(int seat);
    void namePile();
    void showTotal();
    void showCardCount();
    void showRound();
    void showBags(int seat);
    void showMoneyList();
    void stopFans();
    void setStatus(const QString &text);

    QWidget *board_;
    const ClientSession *session_;
    TableState *state_;
    HandView *hand_ = nullptr;
    bool autoSort_ = true;

    SeatRotation rotation_;
    ScaledPlaces places_;
    std::array<SeatControls, kTablePlaces> seatsAtPlaces_{};
    TLbBackground *background_ = nullptr;
    std::array<QLabel *, 4> ornaments_{};
    QLabel *logo_ = nullptr;
    LastPlays *lastPlays_ = nullptr;
    QLabel *image_topcard_ = nullptr;
    QLabel *image_nums1_ = nullptr;
    QLabel *image_nums2_ = nullptr;
    QLabel *label_cardcount_ = nullptr;
    QLabel *label_round_ = nullptr;
    QLabel *label_status_ = nullptr;
    QString turnStatus_;                  // the status line of the turn now
    QPushButton *button_start_ = nullptr; // a PictureButton
    QWidget *panel_winner_ = nullptr;
    QLabel *label_winner1_ = nullptr;
    QLabel *label_winner2_ = nullptr;
};
