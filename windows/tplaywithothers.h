#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QTreeWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the user asked for in the Play with Others window: host a game here,
// or join the one at `address`, under `name`.
struct PlayChoice
{
    QString name;
    bool host = true;
    QString address;

    bool operator==(const PlayChoice &) const = default;
};

// A game heard on the local network, as the list shows it.
struct ListedGame
{
    QString description; // "Ann's game - 2 of 4 seats taken, 1 watching, playing"
    QString address;

    bool operator==(const ListedGame &) const = default;
};

// The small window through which a player hosts or joins a game without a
// command line. It only asks; whoever listens to `startRequested` restarts
// the game in the chosen role.
class TplayWithOthers : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Zandor - Play with Others");
    static inline const QString kNoName = QStringLiteral("Please type your name.");
    static inline const QString kNoAddress =
        QStringLiteral("Please type the address of the computer that hosts the game.");
    // The host cuts longer names; the box does not take more.
    static constexpr int kMaxNameLength = 64;

    explicit TplayWithOthers(QWidget *parent = nullptr);

    static inline const QString kNoGames = QStringLiteral(
        "No games found on this network yet. Ask the host for the address, or check that UDP "
        "and TCP port 7772 are not blocked.");

    static inline const QString kAskName =
        QStringLiteral("Please type the name the other players will see.");

    // Fills the window with the remembered name and addresses (the most
    // recent first) and shows it. With a `failedAddress` the join is chosen
    // with that address in the box, so the user can correct it or host
    // instead. With `askName` the name is only a guess: the window asks for
    // it and the name box has the focus.
    void open(const QString &name, const QStringList &recentHosts,
              const QString &failedAddress = QString(), bool askName = false);
    // The same with the join chosen and the focus in the address box, which
    // holds the address joined last.
    void openToJoin(const QString &name, const QStringList &recentHosts, bool askName = false);

    // The games on the network now; the one selected stays selected while
    // it is there.
    void showGames(const QList<ListedGame> &games);

    // What the boxes say now, trimmed: a game selected in the list is the
    // address joined, the typed address otherwise.
    PlayChoice choice() const;
    // The refusal shown under the boxes, empty when there is none.
    QString problem() const;

    static inline const QString kReachableAt =
        QStringLiteral("Friends on the internet can join you at %1.");
    static inline const QString kOverIPv6 = QStringLiteral("or, over IPv6, at %1.");
    static inline const QString kCopyAddressCaption = QStringLiteral("&Copy Address");
    static inline const QString kCopyIPv6AddressCaption = QStringLiteral("Copy IPv&6 Address");
    // A hosting copy shows where friends on the internet join: the
    // router's outside address and this computer's IPv6 address, each with
    // a button that copies it. The IPv6 one alone, when the router gave no
    // address, takes the first line; empty addresses take the lines away.
    void showReachableAt(const QString &address, const QString &ipv6Address = QString());
    // The lines as shown, none while there are none.
    QStringList reachableLines() const;

    void button_startClick();

signals:
    void startRequested(const PlayChoice &choice);

private:
    void fill(const QString &name, const QStringList &recentHosts);
    void chooseJoin(const QString &address);
    void show(bool askName);
    void selectFirstGame();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QLineEdit *edit_name_ = nullptr;
    QRadioButton *radio_host_ = nullptr;
    QRadioButton *radio_join_ = nullptr;
    QTreeWidget *list_games_ = nullptr;
    QLabel *label_nogames_ = nullptr;
    QComboBox *combo_address_ = nullptr;
    QLabel *label_problem_ = nullptr;
    // One line of "join you at" with its copy button.
    struct ReachableRow
    {
        QLabel *label = nullptr;
        QPushButton *copy = nullptr;
        QString address;
        void show(const QString &line, const QString &shownAddress);
    };
    // label_<name> and button_copy<copied>.
    ReachableRow addReachableRow(const QString &name, const QString &copied,
                                 const QString &copyCaption);
    ReachableRow reachable_;
    ReachableRow reachableIPv6_;
    QPushButton *button_start_ = nullptr;
    QPushButton *button_cancel_ = nullptr;
};
