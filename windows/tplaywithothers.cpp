#include "windows/tplaywithothers.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kNameCaption = QStringLiteral("Your &name:");
const QString kHostCaption = QStringLiteral("&Host a game on this computer");
const QString kJoinCaption = QStringLiteral("&Join the game at:");
const QString kGamesCaption = QStringLiteral("&Games on this network:");
const QString kStartCaption = QStringLiteral("&Start");
const QString kCancelCaption = QStringLiteral("Cancel");
const QString kAddressHint = QStringLiteral("name or address of the host, e.g. 192.0.2.7");
const QColor kProblemInk(0xb0, 0x00, 0x00);
const QString kWidestGame =
    QStringLiteral("Someone's game - 4 of 4 seats taken, 5 watching, waiting to start");
const QString kWidestAddress = QStringLiteral("255.255.255.255");
} // namespace

TplayWithOthers::TplayWithOthers(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("playwithothers"));
    setWindowTitle(kCaption);

    edit_name_ = new QLineEdit(this);
    edit_name_->setObjectName(QStringLiteral("edit_name"));
    edit_name_->setMaxLength(kMaxNameLength);
    auto *nameLabel = new QLabel(kNameCaption, this);
    nameLabel->setBuddy(edit_name_);

    radio_host_ = new QRadioButton(kHostCaption, this);
    radio_host_->setObjectName(QStringLiteral("radio_host"));
    radio_join_ = new QRadioButton(kJoinCaption, this);
    radio_join_->setObjectName(QStringLiteral("radio_join"));
    combo_address_ = new QComboBox(this);
    combo_address_->setObjectName(QStringLiteral("combo_address"));
    combo_address_->setEditable(true);
    combo_address_->setInsertPolicy(QComboBox::NoInsert);
    combo_address_->lineEdit()->setPlaceholderText(kAddressHint);
    combo_address_->setMinimumContentsLength(24);

    list_games_ = new QTreeWidget(this);
    list_games_->setObjectName(QStringLiteral("list_games"));
    list_games_->setColumnCount(2);
    list_games_->setHeaderHidden(true);
    list_games_->setRootIsDecorated(false);
    list_games_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_games_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_games_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_games_->header()->setStretchLastSection(false);
    list_games_->setMinimumHeight(80);
    // Wide enough for a whole line and an address beside it.
    list_games_->setMinimumWidth(list_games_->fontMetrics().horizontalAdvance(kWidestGame) +
                                 list_games_->fontMetrics().horizontalAdvance(kWidestAddress) + 48);
    list_games_->installEventFilter(this);
    auto *gamesLabel = new QLabel(kGamesCaption, this);
    gamesLabel->setBuddy(list_games_);
    label_nogames_ = new QLabel(kNoGames, this);
    label_nogames_->setObjectName(QStringLiteral("label_nogames"));
    label_nogames_->setWordWrap(true);

    label_problem_ = new QLabel(this);
    label_problem_->setObjectName(QStringLiteral("label_problem"));
    label_problem_->setTextFormat(Qt::PlainText);
    label_problem_->setWordWrap(true);
    QPalette ink = label_problem_->palette();
    ink.setColor(QPalette::WindowText, kProblemInk);
    label_problem_->setPalette(ink);
    label_problem_->hide();

    reachable_ = addReachableRow(QStringLiteral("reachable"), QStringLiteral("address"),
                                 kCopyAddressCaption);
    reachableIPv6_ = addReachableRow(QStringLiteral("reachable6"), QStringLiteral("address6"),
                                     kCopyIPv6AddressCaption);
    for (const ReachableRow *row : {&reachable_, &reachableIPv6_}) {
        connect(row->copy, &QPushButton::clicked, this,
                [row] { QGuiApplication::clipboard()->setText(row->address); });
    }

    auto *buttons = new QDialogButtonBox(this);
    button_start_ = buttons->addButton(kStartCaption, QDialogButtonBox::AcceptRole);
    button_start_->setObjectName(QStringLiteral("button_start"));
    button_start_->setDefault(true);
    button_cancel_ = buttons->addButton(kCancelCaption, QDialogButtonBox::RejectRole);
    button_cancel_->setObjectName(QStringLiteral("button_cancel"));
    // Start checks the boxes before the window closes; Cancel and Escape
    // close it as it is.
    connect(buttons, &QDialogButtonBox::accepted, this, &TplayWithOthers::button_startClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(nameLabel, edit_name_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(radio_host_);
    layout->addWidget(radio_join_);
    auto *joining = new QVBoxLayout;
    joining->addWidget(gamesLabel);
    joining->addWidget(list_games_, 1);
    joining->addWidget(label_nogames_);
    joining->addWidget(combo_address_);
    auto *indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addLayout(joining, 1);
    layout->addLayout(indented, 1);
    layout->addWidget(label_problem_);
    for (const ReachableRow &row : {reachable_, reachableIPv6_}) {
        auto *line = new QHBoxLayout;
        line->addWidget(row.label, 1);
        line->addWidget(row.copy);
        layout->addLayout(line);
    }
    layout->addWidget(buttons);

    // The address box stays open while hosting is chosen: typing an address
    // is choosing to join.
    // A typed address wins over the game selected in the list.
    connect(combo_address_->lineEdit(), &QLineEdit::textEdited, this, [this] {
        list_games_->clearSelection();
        radio_join_->setChecked(true);
    });
    // Choosing a game in the list is choosing to join it; Enter then falls
    // through to Start, the window's default button.
    connect(list_games_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!list_games_->selectedItems().isEmpty())
            radio_join_->setChecked(true);
    });
    connect(list_games_, &QTreeWidget::itemDoubleClicked, this, [this] { button_startClick(); });
    connect(radio_host_, &QRadioButton::toggled, this, [this](bool hosting) {
        if (hosting)
            list_games_->clearSelection();
    });
    // The list comes before the address box, as on the screen.
    setTabOrder(radio_join_, list_games_);
    setTabOrder(list_games_, combo_address_);
    radio_host_->setChecked(true);
    showGames({});
}

void TplayWithOthers::showGames(const QList<ListedGame> &games)
{
    // A game is known by its address: the selection follows it through the
    // updates.
    const QList<QTreeWidgetItem *> selected = list_games_->selectedItems();
    const QString selectedAddress = selected.isEmpty() ? QString() : selected.first()->text(1);
    const bool wasEmpty = list_games_->topLevelItemCount() == 0;
    {
        // Rebuilding the rows is no choice of the user's.
        const QSignalBlocker quiet(list_games_);
        list_games_->clear();
        for (const ListedGame &game : games) {
            auto *item = new QTreeWidgetItem(list_games_, {game.description, game.address});
            // A long name may still cut the line short.
            item->setToolTip(0, game.description);
            if (!selectedAddress.isEmpty() && game.address == selectedAddress) {
                list_games_->setCurrentItem(item);
                item->setSelected(true);
            }
        }
    }
    label_nogames_->setVisible(games.isEmpty());
    // The user went to the list before any game was there: the first one
    // found is the one he gets. A game that went away takes nobody to
    // another one unasked.
    if (wasEmpty && list_games_->hasFocus() && list_games_->selectedItems().isEmpty())
        selectFirstGame();
}

void TplayWithOthers::selectFirstGame()
{
    if (list_games_->topLevelItemCount() == 0)
        return;
    list_games_->setCurrentItem(list_games_->topLevelItem(0));
    list_games_->topLevelItem(0)->setSelected(true);
}

bool TplayWithOthers::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_games_ && event->type() == QEvent::FocusIn &&
        list_games_->selectedItems().isEmpty())
        selectFirstGame();
    return QDialog::eventFilter(watched, event);
}

void TplayWithOthers::open(const QString &name, const QStringList &recentHosts,
                           const QString &failedAddress, bool askName)
{
    fill(name, recentHosts);
    if (!failedAddress.isEmpty()) {
        chooseJoin(failedAddress);
    } else {
        // The last address joined is the likeliest next one; hosting stays
        // the choice until the user picks otherwise.
        combo_address_->setEditText(recentHosts.value(0));
        radio_host_->setChecked(true);
        edit_name_->setFocus();
        edit_name_->selectAll();
    }
    show(askName);
}

void TplayWithOthers::openToJoin(const QString &name, const QStringList &recentHosts, bool askName)
{
    fill(name, recentHosts);
    chooseJoin(recentHosts.value(0));
    show(askName);
}

void TplayWithOthers::fill(const QString &name, const QStringList &recentHosts)
{
    edit_name_->setText(name);
    combo_address_->clear();
    combo_address_->addItems(recentHosts);
    label_problem_->clear();
    label_problem_->hide();
}

void TplayWithOthers::chooseJoin(const QString &address)
{
    radio_join_->setChecked(true);
    combo_address_->setEditText(address);
    combo_address_->setFocus();
    combo_address_->lineEdit()->selectAll();
}

void TplayWithOthers::show(bool askName)
{
    // A name nobody has typed yet is only our guess: the user confirms it
    // first, so that others know him.
    if (askName) {
        label_problem_->setText(kAskName);
        label_problem_->show();
        edit_name_->setFocus();
        edit_name_->selectAll();
    }
    QDialog::open();
    raise();
    activateWindow();
}

PlayChoice TplayWithOthers::choice() const
{
    const QList<QTreeWidgetItem *> selected = list_games_->selectedItems();
    const QString address = radio_join_->isChecked() && !selected.isEmpty()
                                ? selected.first()->text(1)
                                : combo_address_->currentText().trimmed();
    return PlayChoice{edit_name_->text().trimmed(), radio_host_->isChecked(), address};
}

QString TplayWithOthers::problem() const
{
    return label_problem_->isHidden() ? QString() : label_problem_->text();
}

TplayWithOthers::ReachableRow TplayWithOthers::addReachableRow(const QString &name,
                                                               const QString &copied,
                                                               const QString &copyCaption)
{
    ReachableRow row;
    row.label = new QLabel(this);
    row.label->setObjectName(QStringLiteral("label_") + name);
    row.label->setTextFormat(Qt::PlainText);
    row.label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row.copy = new QPushButton(copyCaption, this);
    row.copy->setObjectName(QStringLiteral("button_copy") + copied);
    row.copy->setAutoDefault(false);
    row.label->hide();
    row.copy->hide();
    return row;
}

void TplayWithOthers::ReachableRow::show(const QString &line, const QString &shownAddress)
{
    address = shownAddress;
    label->setText(shownAddress.isEmpty() ? QString() : line.arg(shownAddress));
    label->setVisible(!shownAddress.isEmpty());
    copy->setVisible(!shownAddress.isEmpty());
}

void TplayWithOthers::showReachableAt(const QString &address, const QString &ipv6Address)
{
    if (address.isEmpty()) {
        reachable_.show(kReachableAt, ipv6Address);
        reachableIPv6_.show(kOverIPv6, QString());
    } else {
        reachable_.show(kReachableAt, address);
        reachableIPv6_.show(kOverIPv6, ipv6Address);
    }
}

QStringList TplayWithOthers::reachableLines() const
{
    QStringList lines;
    for (const ReachableRow *row : {&reachable_, &reachableIPv6_}) {
        if (!row->label->isHidden())
            lines.append(row->label->text());
    }
    return lines;
}

void TplayWithOthers::button_startClick()
{
    const PlayChoice chosen = choice();
    QString refusal;
    QWidget *fix = nullptr;
    if (chosen.name.isEmpty()) {
        refusal = kNoName;
        fix = edit_name_;
    } else if (!chosen.host && chosen.address.isEmpty()) {
        refusal = kNoAddress;
        fix = combo_address_;
    }
    if (fix) {
        label_problem_->setText(refusal);
        label_problem_->show();
        fix->setFocus();
        return;
    }
    accept();
    emit startRequested(chosen);
}
