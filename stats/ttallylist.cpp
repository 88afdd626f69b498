#include "stats/ttallylist.h"

#include "net/gamerules.h"

#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/dialogkeys.h"
#include "widgets/plainmessagebox.h"
#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const QString kCaption = QStringLiteral("Zandor  - Tally List");
const QString kConfirmTitle = QStringLiteral("Confirm");

const QString kYourTotalTally = QStringLiteral("Your Total Tally");
const QString kTotalGames = QStringLiteral("Total Games:");
const QString kYourWins = QStringLiteral("Your Wins:");
const QString kMoneyBags = QStringLiteral("Money Bags:");
const QString kBagsTotal = QStringLiteral("Total:");
const QString kBagsWon = QStringLiteral("Won:");
const QString kBagsLost = QStringLiteral("Lost:");

const QString kTotalHead = QStringLiteral("Total");
const QString kSessionHead = QStringLiteral("Session");
const QString kNumberOfGames = QStringLiteral("Number of Games");
const QString kNeitherWon = QStringLiteral("Neither Won:");
const QString kWinsSuffix = QStringLiteral(" Wins:");
const QString kTallySuffix = QStringLiteral("'s Tally");
// Stands for the opponent's name until one is chosen.
const QString kNoName = QStringLiteral("XX");

const QString kPlayersInGame = QStringLiteral("Players In Current Game");
const QString kPlayersTallied = QStringLiteral("Players Being Tallied");
const QString kDone = QStringLiteral("Done");

const QString kDeleteQuestionStart = QStringLiteral("This will delete ");
const QString kDeleteQuestionEnd = QStringLiteral("'s Tally, Are you want to delete it?");

const QString kZero = QStringLiteral("0");

constexpr QSize kClientArea(455, 368);
constexpr QRect kTotalsPanel(2, 3, 297, 104);
constexpr QRect kOpponentPanel(2, 109, 297, 140);
constexpr QRect kChecklist(2, 266, 297, 98);
constexpr QRect kListboxTally(301, 19, 150, 320);
constexpr QRect kDoneButton(301, 344, 150, 20);
constexpr int kListTitleHeight = 16;

// Light panels on the green cloth keep the numbers easy to read.
const char kStyle[] = R"(
QFrame#panel_total, QFrame#panel_opponent {
    background: #f6f2dc; border: 1px solid #6b6b1e; border-radius: 3px; }
QLabel { color: #20200a; }
QLabel[role="title"] { color: #808000; font-weight: bold; }
QLabel[role="value"] { font-weight: bold; }
QLabel[role="head"] { color: #5a5a14; font-weight: bold; text-decoration: underline; }
QLabel[role="listtitle"] { color: #fff6c8; font-weight: bold; }
QGroupBox { border: 1px solid #a8a46a; border-radius: 3px; margin-top: 7px;
    color: #5a5a14; font-weight: bold; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QListWidget { background: #fffdf2; border: 1px solid #6b6b1e; color: #20200a; }
QListWidget::item { padding: 1px 2px; }
QListWidget::item:selected { background: #c1db11; color: black; }
)";

QLabel *addLabel(QWidget *parent, const QString &text, const QRect &place,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                 const char *role = nullptr)
{
    auto *label = new QLabel(text, parent);
    // Names come from other players: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    label->setAlignment(alignment);
    if (role)
        label->setProperty("role", QLatin1String(role));
    return label;
}

QLabel *addValue(QWidget *parent, const QString &name, const QRect &place)
{
    QLabel *label = addLabel(parent, kZero, place, Qt::AlignCenter, "value");
    label->setObjectName(name);
    return label;
}

} // namespace

Ttallylist::Ttallylist(const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_file(folder)
{
    setObjectName(QStringLiteral("Ttallylist"));
    setWindowTitle(kCaption);
    setFixedSize(kClientArea);
    buildForm();
    loadtally();
}

Ttallylist::~Ttallylist()
{
    savetally();
}

void Ttallylist::buildForm()
{
    setFont(sidelook::arialPixels(12, false));
    setStyleSheet(QLatin1String(kStyle));

    // The same cloth as the main window.
    auto *background = new TLbBackground(this);
    background->setImageMaker(artwork::makerFor(artwork::Art::BackgroundTile));
    background->setEnabled(true);

    buildTotalsPanel()->setGeometry(kTotalsPanel);
    buildOpponentPanel()->setGeometry(kOpponentPanel);
    buildLists();

    m_done = new TSelButton(QStringLiteral("button_done"), this);
    m_done->setGeometry(kDoneButton);
    sidelook::styleSelButton(*m_done, true);
    m_done->setCaption(kDone);
    connect(m_done, &TSelButton::OnClick, this, &QWidget::hide);
}

QWidget *Ttallylist::buildTotalsPanel()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panel_total"));
    const int width = kTotalsPanel.width();
    addLabel(panel, kYourTotalTally, QRect(0, 5, width, 18), Qt::AlignCenter, "title");

    addLabel(panel, kTotalGames, QRect(12, 38, 84, 18));
    m_mylabel[TallyGrid::kTotalGames] =
        addValue(panel, QStringLiteral("mylabel_1"), QRect(92, 38, 50, 18));
    addLabel(panel, kYourWins, QRect(12, 66, 84, 18));
    m_mylabel[TallyGrid::kUserWins] =
        addValue(panel, QStringLiteral("mylabel_2"), QRect(92, 66, 50, 18));

    auto *bags = new QGroupBox(kMoneyBags, panel);
    bags->setGeometry(150, 24, 136, 74);
    const struct
    {
        const QString &caption;
        int column;
    } rows[] = {{kBagsTotal, TallyGrid::kBagsReceived},
                {kBagsWon, TallyGrid::kBagsWon},
                {kBagsLost, TallyGrid::kBagsLost}};
    int y = 17;
    for (const auto &row : rows) {
        addLabel(bags, row.caption, QRect(14, y, 50, 17));
        m_mylabel[row.column] =
            addValue(bags, QStringLiteral("mylabel_%1").arg(row.column), QRect(64, y, 60, 17));
        y += 18;
    }
    return panel;
}

QWidget *Ttallylist::buildOpponentPanel()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panel_opponent"));
    const int width = kOpponentPanel.width();
    m_hisnametop = addLabel(panel, kNoName + kTallySuffix, QRect(6, 5, width - 12, 18),
                            Qt::AlignCenter, "title");
    m_hisnametop->setObjectName(QStringLiteral("label_hisnametop"));

    constexpr int totalX = 166;
    constexpr int sessionX = 226;
    constexpr int valueWidth = 60;
    addLabel(panel, kTotalHead, QRect(totalX, 28, valueWidth, 16), Qt::AlignCenter, "head");
    addLabel(panel, kSessionHead, QRect(sessionX, 28, valueWidth, 16), Qt::AlignCenter, "head");

    const QString captions[] = {kNumberOfGames, kNoName + kWinsSuffix, kYourWins, kNeitherWon};
    int y = 50;
    for (int column = TallyGrid::kGamesTogether; column <= TallyGrid::kNeitherWon; ++column) {
        QLabel *caption = addLabel(panel, captions[column - 1], QRect(12, y, 150, 18));
        if (column == TallyGrid::kOpponentWins) {
            caption->setObjectName(QStringLiteral("label_hisname"));
            m_hisname = caption;
        }
        const int session = column + TallyGrid::kSessionOffset;
        m_label[column] = addValue(panel, QStringLiteral("label_%1").arg(column),
                                   QRect(totalX, y, valueWidth, 18));
        m_label[session] = addValue(panel, QStringLiteral("label_%1").arg(session),
                                    QRect(sessionX, y, valueWidth, 18));
        y += 21;
    }
    return panel;
}

void Ttallylist::buildLists()
{
    addLabel(this, kPlayersInGame,
             QRect(kChecklist.left() + 2, kChecklist.top() - kListTitleHeight, kChecklist.width(),
                   kListTitleHeight),
             Qt::AlignLeft | Qt::AlignVCenter, "listtitle");
    m_checklist = new QListWidget(this);
    m_checklist->setObjectName(QStringLiteral("checklist"));
    m_checklist->setGeometry(kChecklist);
    connect(m_checklist, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_updating)
            checklistClickCheck(m_checklist->row(item));
    });

    addLabel(this, kPlayersTallied,
             QRect(kListboxTally.left() + 2, kListboxTally.top() - kListTitleHeight,
                   kListboxTally.width(), kListTitleHeight),
             Qt::AlignLeft | Qt::AlignVCenter, "listtitle");
    m_listboxTally = new QListWidget(this);
    m_listboxTally->setObjectName(QStringLiteral("listbox_tally"));
    m_listboxTally->setGeometry(kListboxTally);
    connect(m_listboxTally, &QListWidget::itemChanged, this, &Ttallylist::tallyItemChanged);
    connect(m_listboxTally, &QListWidget::currentRowChanged, this, [this](int index) {
        if (index >= 0)
            listbox_tallyClick(index);
        else
            clearOpponent();
    });
}

void Ttallylist::loadtally()
{
    TallyFile::LoadResult loaded = m_file.load();
    if (loaded.outcome == TallyFile::Outcome::Failed) {
        // The window is made at start-up, before anything is on screen; the
        // box comes once the event loop runs, over the main window.
        QTimer::singleShot(0, this, [this, text = loaded.error] { emit errorOccurred(text); });
        return;
    }
    if (loaded.outcome == TallyFile::Outcome::Missing)
        return;
    m_grid = std::move(loaded.grid);
    showTotals();
    m_updating = true;
    for (const QString &name : m_grid.followed()) {
        auto *item = new QListWidgetItem(name, m_listboxTally);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    m_updating = false;
}

void Ttallylist::savetally()
{
    QString error;
    // Nobody is left to tell at program end; the previous file stays intact.
    if (!m_file.save(m_grid, &error))
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
}

void Ttallylist::showTotals()
{
    for (int column = TallyGrid::kTotalGames; column <= TallyGrid::kBagsReceived; ++column)
        m_mylabel[column]->setText(m_grid.cell(column, 0));
}

void Ttallylist::clearOpponent()
{
    for (int column = 1; column < TallyGrid::kColumns; ++column)
        m_label[column]->setText(kZero);
    m_hisname->setText(kNoName + kWinsSuffix);
    m_hisnametop->setText(kNoName + kTallySuffix);
}

void Ttallylist::setCheck(QListWidgetItem *item, bool checked)
{
    const bool was = m_updating;
    m_updating = true;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_updating = was;
}

void Ttallylist::loadchecklist(const QStringList &names)
{
    m_updating = true;
    m_checklist->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, m_checklist);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_grid.followedIndex(name) >= 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_updating = false;
}

void Ttallylist::viewtally(const QStringList &players)
{
    loadchecklist(players);
    show();
    raise();
    activateWindow();
}

void Ttallylist::keyPressEvent(QKeyEvent *event)
{
    if (isDismissKey(*event)) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Ttallylist::checklistClickCheck(int index)
{
    QListWidgetItem *item = m_checklist->item(index);
    if (!item)
        return;
    const QString name = item->text();
    // Unchecking a followed name leaves his tally alone.
    if (m_grid.followedIndex(name) >= 0)
        return;
    if (!m_grid.follow(name)) {
        setCheck(item, false);
        return;
    }
    savetally();
    auto *followed = new QListWidgetItem(name);
    followed->setFlags(followed->flags() | Qt::ItemIsUserCheckable);
    followed->setCheckState(Qt::Checked);
    m_listboxTally->addItem(followed);
    setCheck(item, true);
}

int Ttallylist::indexInTally(const QListWidgetItem *item) const
{
    for (int index = 0; index < m_listboxTally->count(); ++index) {
        if (m_listboxTally->item(index) == item)
            return index;
    }
    return -1;
}

void Ttallylist::tallyItemChanged(QListWidgetItem *item)
{
    if (m_updating || item->checkState() != Qt::Unchecked)
        return;
    // The question waits until the list has finished with the click: the
    // item may be deleted by the answer.
    QTimer::singleShot(0, this, [this, item] {
        const int index = indexInTally(item);
        if (index >= 0)
            listbox_tallyClickCheck(index);
    });
}

void Ttallylist::listbox_tallyClickCheck(int index)
{
    QListWidgetItem *item = m_listboxTally->item(index);
    if (!item || item->checkState() == Qt::Checked)
        return;
    if (!confirm(kDeleteQuestionStart + item->text() + kDeleteQuestionEnd)) {
        setCheck(item, true);
        return;
    }
    // The grid first, so that the list's new current item shows its own row.
    m_grid.moverow(index + 1);
    savetally();
    delete m_listboxTally->takeItem(index);
}

void Ttallylist::listbox_tallyClick(int index)
{
    const int row = index + 1;
    if (index < 0 || row >= m_grid.rowCount())
        return;
    for (int column = 1; column < TallyGrid::kColumns; ++column)
        m_label[column]->setText(m_grid.cell(column, row));
    const QString name = m_grid.cell(0, row);
    m_hisname->setText(name + kWinsSuffix);
    m_hisnametop->setText(name + kTallySuffix);
}

void Ttallylist::addtomineincrease(int column, int amount)
{
    m_grid.addtomineincrease(column, amount);
    // Written at once: when the X server goes away the program ends without
    // destroying its windows, and the file is only tens of bytes.
    savetally();
    if (column >= TallyGrid::kTotalGames && column <= TallyGrid::kBagsReceived)
        m_mylabel[column]->setText(m_grid.cell(column, 0));
}

void Ttallylist::addgame(bool userWon, const QString &winner, const QStringList &players)
{
    loadchecklist(players);
    m_grid.addgame(userWon, winner, players);
    savetally();
    showTotals();
    const int selected = m_listboxTally->currentRow();
    if (selected >= 0)
        listbox_tallyClick(selected);
}

bool Ttallylist::confirm(const QString &question)
{
    if (m_confirm)
        return m_confirm(question);
    // The question names an opponent, whose name another player chose.
    std::unique_ptr<QMessageBox> box(plainMessageBox(QMessageBox::Question, kConfirmTitle, question,
                                                     QMessageBox::Yes | QMessageBox::No, this));
    return box->exec() == QMessageBox::Yes;
}
