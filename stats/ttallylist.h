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

// The tally window: the user's own totals, the tallies of one chosen
// opponent, the players at the table and the opponents being followed. It
// owns the tally grid: loads the tally file when it is created and saves it
// when it is destroyed at program end. Closing it ("Done", Escape or Enter)
// only hides it.
class Ttallylist : public QWidget
{
    Q_OBJECT
public:
    // A Yes/No question; true for Yes.
    using Confirm = std::function<bool(const QString &question)>;

    // `folder` is where Zandortally.tld lives.
    explicit Ttallylist(const QString &folder, QWidget *parent = nullptr);
    ~Ttallylist() override;

    const TallyGrid &grid() const { return m_grid; }
    QString filePath() const { return m_file.path(); }

    // Asks the forgetting question another way than with a confirmation box
    // (tests answer it themselves).
    void setConfirm(Confirm confirm) { m_confirm = std::move(confirm); }

    // Rebuilds "Players In Current Game" from the names at the table (the
    // user's own seat and empty seats left out); followed names come checked.
    void loadchecklist(const QStringList &names);
    // "View Tally": the players at the table now, then the window shows,
    // not modal.
    void viewtally(const QStringList &players);

    // The user checked or unchecked a name in "Players In Current Game".
    void checklistClickCheck(int index);
    // The user unchecked a followed opponent: asks, then forgets him.
    void listbox_tallyClickCheck(int index);
    // A followed opponent was chosen: his counts fill the lower panel.
    void listbox_tallyClick(int index);

    // The table's calls, made only while the user holds a seat: a column
    // of the user's totals grows; a game ended, won by the user or by the
    // player named `winner`, with `players` at the table. Each is on disk
    // at once.
    void addtomineincrease(int column, int amount);
    void addgame(bool userWon, const QString &winner, const QStringList &players);
    // Writes the tally file now (it is written at program end anyway).
    void savetally();

signals:
    // The tally file could not be read; the text says why.
    void errorOccurred(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    QWidget *buildTotalsPanel();
    QWidget *buildOpponentPanel();
    void buildLists();

    void loadtally();
    void showTotals();
    void clearOpponent();
    void setCheck(QListWidgetItem *item, bool checked);
    int indexInTally(const QListWidgetItem *item) const;
    void tallyItemChanged(QListWidgetItem *item);
    bool confirm(const QString &question);

    Confirm m_confirm;
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
