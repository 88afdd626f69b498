#pragma once

#include "client/model/seatrotation.h"
#include "client/table/scaledplaces.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <memory>

class HandState;
class HandView;
class TableSounds;
class TurnCountdown;
class LastPlays;
class QLabel;
class QPushButton;
class QWidget;
class TLbBackground;
class PileView;
class SeatViews;
class TableState;
class WinnerBanner;
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
    TableView(QWidget *board, const ClientSession *session, TableState *state, HandState *hand,
              QObject *parent = nullptr);
    ~TableView() override;

    // Lays the table out again at `scale` times its designed size (1 the
    // designed size) and draws every picture for that size.
    void setScale(qreal scale);
    qreal scale() const { return places_.scale(); }
    // A step of a window's drag: every control takes its place and size for
    // `scale` at once, showing the pictures it has stretched until setScale
    // draws them for the size.
    void previewScale(qreal scale);

    // Full bags and resting card fans for every seat.
    void clearall();
    // The user asks to play the card at a hand position, by a click on it or
    // a key: sent to the host when it is his turn and the card rests; a
    // raised card is lowered instead.
    void requestPlay(int position);
    // The start button and "File" / "Start Game".
    void button_startClick();
    void Image5Click();
    // Turns the table so that the own slot's seat is drawn at the bottom.
    void sortstuff(int ownSlot);

    QWidget *board() const { return board_; }
    HandView &hand() { return *hand_; }
    QPushButton *startButton() const { return button_start_; }
    const SeatRotation &rotation() const;
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

private:
    // Every picture of the table, drawn for the scale now.
    void drawPictures();
    void buildPile();
    void buildDecorations();

    // The table state's announcements.
    void gameStarted(const QString &name);
    void roundStarted();
    void showTurn(int seat);
    void lateArrival();
    void cardPlayed(int seat);
    void seatBusted(int seat, int bags);
    void gameWon(const QString &name, int seat);

    void setStatus(const QString &text);
    void showPauseLeft(int seconds);

    QWidget *board_;
    const ClientSession *session_;
    TableState *state_;
    HandState *handState_;
    HandView *hand_ = nullptr;
    TableSounds *sounds_ = nullptr;

    ScaledPlaces places_;
    TLbBackground *background_ = nullptr;
    std::array<QLabel *, 4> ornaments_{};
    QLabel *logo_ = nullptr;
    LastPlays *lastPlays_ = nullptr;
    std::unique_ptr<PileView> pile_;
    std::unique_ptr<SeatViews> seats_;
    QLabel *label_status_ = nullptr;
    QString turnStatus_; // the status line of the turn now
    // The pause after a bust, counted down beside the last plays.
    QLabel *label_nextround_ = nullptr;
    TurnCountdown *pause_ = nullptr;
    QPushButton *button_start_ = nullptr; // a PictureButton
    WinnerBanner *banner_ = nullptr;
};
