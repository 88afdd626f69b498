#pragma once

#include "stats/tallyfile.h"
#include "stats/tallygrid.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class TSelButton;

// What the tally window asks of the program around it. Every hook may stay
// empty; the comment says what happens then.
struct TallyHooks
{
    // The names seated at the table now, without the user's own seat and
    // without empty seats (the main window's loadchecklist). Empty: the
    // current list is kept as it is.
    std::function<QStringList()> currentPlayers;
    // The user's own slot: only a seat (1 to 4) records games, a watcher
    // never does. Empty: every call records.
    std::function<int()> ownSlot;
    // A Yes/No question; true for Yes. Empty: a confirmation box.
    std::function<bool(const QString &question)> confirm;
    // An error for the user. Empty: an error box.
    std::function<void(const QString &text)> showError;
};

// The tally window: the user's own totals, the tallies of one chosen
// opponent, the players at the table and the opponents being followed. It
// owns the tally grid: loads the tally file when it is created and saves it
// when it is destroyed at program end. Closing it ("Done", Escape or Enter)
// only hides it.
class Ttallylist : public QWidget
{
    Q_OBJECT
public:
    // `folder` is where Zandortally.tld lives.
    explicit Ttallylist(const QString &folder, TallyHooks hooks = {}, QWidget *parent = nullptr);
    ~Ttallylist() override;

    const TallyGrid &grid() const { return m_grid; }
    QString filePath() const { return m_file.path(); }

    // Rebuilds "Players In Current Game"; names already followed come checked.
    void loadchecklist(const QStringList &names);
    // "View Tally": the players at the table are read again, then the
    // window shows, not modal.
    void viewtally();

    // The user checked or unchecked a name in "Players In Current Game".
    void checklistClickCheck(int index);
    // The user unchecked a followed opponent: asks, then forgets him.
    void listbox_tallyClickCheck(int index);
    // A followed opponent was chosen: his counts fill the lower panel.
    void listbox_tallyClick(int index);

public slots:
    // The table's calls. Both record nothing unless the user holds a seat.
    void addtomineincrease(int column, int amount);
    void addgame(const QString &winner);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    QWidget *buildTotalsPanel();
    QWidget *buildOpponentPanel();
    void buildLists();

    bool seated() const;
    void loadtally();
    void savetally();
    void showTotals();
    void clearOpponent();
    void setCheck(QListWidgetItem *item, bool checked);
    int indexInTally(const QListWidgetItem *item) const;
    void tallyItemChanged(QListWidgetItem *item);
    bool confirm(const QString &question);
    void showError(const QString &text);

    TallyHooks m_hooks;
    TallyFile m_file;
    TallyGrid m_grid;
    bool m_updating = false;

    // Indexed by the grid column they show; index 0 is unused.
    std::array<QLabel *, 6> m_mylabel{};
    std::array<QLabel *, 9> m_label{};
    QLabel *m_hisname = nullptr;
    QLabel *m_hisnametop = nullptr;
    QListWidget *m_checklist = nullptr;
    QListWidget *m_listboxTally = nullptr;
    TSelButton *m_done = nullptr;
};
