#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <optional>

class QAction;
class QListWidget;
class QMenu;
class TLbBackground;

// The spy list window: the watchers, one "slot: name" entry each, and for
// the host's user "Remove From Game" in the list's context menu. It shows
// the watchers of the table state and asks the main window to remove one.
class Tspylist : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 162;
    static constexpr int kClientHeight = 168;

    explicit Tspylist(QImage tile = {}, QWidget *parent = nullptr);
    ~Tspylist() override;

    // Shows the window, or brings it forward when it is already shown.
    void showspylist();

    void setEntries(const QStringList &entries);
    QStringList entries() const;

    // Only the host's user may remove watchers.
    void setRemoveEnabled(bool enabled);
    bool removeEnabled() const;

    // The list's tag: the index of the item under the pointer, -1 for none.
    int tag() const { return tag_; }

    // The slot at the start of an entry ("7: Ann" gives 7); nothing when the
    // entry does not begin with a whole number before its first ":".
    static std::optional<int> slotOf(const QString &entry);

    void listbox_spysMouseMove(const QPoint &viewportPos);
    void popup_kickhimClick();

    TLbBackground &LbBackground1() { return *LbBackground1_; }

signals:
    // "Remove From Game": the host should remove the connection of `slot`.
    void kickRequested(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setTag(int index);

    TLbBackground *LbBackground1_ = nullptr;
    QListWidget *listbox_spys_ = nullptr;
    QMenu *popup_spys_ = nullptr;
    QAction *popup_kickhim_ = nullptr;
    int tag_ = -1;
};
