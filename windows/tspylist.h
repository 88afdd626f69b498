#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QListWidget;
class QMenu;
class TLbBackground;

// The spy list window: the watchers, one "slot: name" entry each, and for
// the host's user "Remove From Game" in the list's context menu. The main
// window keeps the entries up to date and does the removing.
class Tspylist : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 162;
    static constexpr int kClientHeight = 168;

    // Asks the host to remove the connection of `slot`.
    using Kicker = std::function<void(int slot)>;

    explicit Tspylist(Kicker kick, QImage tile = {}, QWidget *parent = nullptr);
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setTag(int index);

    Kicker kick_;
    TLbBackground *LbBackground1_ = nullptr;
    QListWidget *listbox_spys_ = nullptr;
    QMenu *popup_spys_ = nullptr;
    QAction *popup_kickhim_ = nullptr;
    int tag_ = -1;
};
