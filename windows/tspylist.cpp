#include "windows/tspylist.h"

#include "widgets/dialogkeys.h"

#include "widgets/sidelook.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

namespace {

const QString kCaption = QStringLiteral("Zandor - Spys");
const QString kTitle = QStringLiteral("Spy List");
const QString kRemoveFromGame = QStringLiteral("Remove From Game");
const QString kDone = QStringLiteral("Done");

// The list keeps its place on the form; a white card behind it and the row
// below keeps the olive title readable on the cloth.
constexpr QRect kList(5, 5, 154, 130);
constexpr QRect kCard(5, 5, 154, 158);
constexpr QSize kDoneSize(71, 20);

} // namespace

Tspylist::Tspylist(QImage tile, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);

    LbBackground1_ = new TLbBackground(this);
    LbBackground1_->setObjectName(QStringLiteral("LbBackground1"));
    LbBackground1_->setEnabled(true);
    if (!tile.isNull())
        LbBackground1_->setImage(tile);

    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("panel_spys"));
    card->setGeometry(kCard);
    card->setAutoFillBackground(true);
    QPalette white = card->palette();
    white.setColor(QPalette::Window, Qt::white);
    card->setPalette(white);

    listbox_spys_ = new QListWidget(card);
    listbox_spys_->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys_->setGeometry(kList.translated(-kCard.topLeft()));
    listbox_spys_->setSelectionMode(QAbstractItemView::SingleSelection);
    listbox_spys_->setContextMenuPolicy(Qt::DefaultContextMenu);
    listbox_spys_->viewport()->setMouseTracking(true);
    listbox_spys_->viewport()->installEventFilter(this);
    listbox_spys_->installEventFilter(this);
    listbox_spys_->setProperty("tag", tag_);

    popup_spys_ = new QMenu(this);
    popup_spys_->setObjectName(QStringLiteral("popup_spys"));
    popup_kickhim_ = popup_spys_->addAction(kRemoveFromGame);
    popup_kickhim_->setObjectName(QStringLiteral("popup_kickhim"));
    // Until this copy hosts, nobody here may remove anyone.
    popup_kickhim_->setEnabled(false);
    connect(popup_kickhim_, &QAction::triggered, this, &Tspylist::popup_kickhimClick);

    const int rowTop = kList.bottom() + 1 - kCard.top() + 4;
    auto *title = new QLabel(kTitle, card);
    title->setObjectName(QStringLiteral("label_spylist"));
    title->setFont(sidelook::arialPixels(13, true));
    QPalette olive = title->palette();
    olive.setColor(QPalette::WindowText, sidelook::kOlive);
    title->setPalette(olive);
    title->setGeometry(4, rowTop, 70, kDoneSize.height());

    auto *done = new TSelButton(QStringLiteral("button_done"), card);
    done->setCaption(kDone);
    sidelook::styleSelButton(*done, true);
    done->setGeometry(QRect(QPoint(kCard.width() - kDoneSize.width() - 4, rowTop), kDoneSize));
    connect(done, &TSelButton::OnClick, this, &QWidget::close);
}

Tspylist::~Tspylist() = default;

void Tspylist::showspylist()
{
    sidelook::bringForward(*this);
}

void Tspylist::setEntries(const QStringList &entries)
{
    if (entries == this->entries())
        return;
    listbox_spys_->clear();
    listbox_spys_->addItems(entries);
    // The remembered index may now point at somebody else; only a fresh
    // pointer move may pick a watcher again.
    setTag(-1);
}

QStringList Tspylist::entries() const
{
    QStringList texts;
    for (int row = 0; row < listbox_spys_->count(); ++row)
        texts.append(listbox_spys_->item(row)->text());
    return texts;
}

void Tspylist::setRemoveEnabled(bool enabled)
{
    popup_kickhim_->setEnabled(enabled);
}

bool Tspylist::removeEnabled() const
{
    return popup_kickhim_->isEnabled();
}

std::optional<int> Tspylist::slotOf(const QString &entry)
{
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    bool ok = false;
    const int slot = entry.left(colon).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return slot;
}

void Tspylist::listbox_spysMouseMove(const QPoint &viewportPos)
{
    const QListWidgetItem *item = listbox_spys_->itemAt(viewportPos);
    setTag(item ? listbox_spys_->row(item) : -1);
}

void Tspylist::popup_kickhimClick()
{
    if (!popup_kickhim_->isEnabled() || tag_ < 0 || tag_ >= listbox_spys_->count())
        return;
    const std::optional<int> slot = slotOf(listbox_spys_->item(tag_)->text());
    if (slot)
        emit kickRequested(*slot);
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    const bool viewport = watched == listbox_spys_->viewport();
    if (!viewport && watched != listbox_spys_)
        return QWidget::eventFilter(watched, event);
    if (viewport && event->type() == QEvent::MouseMove) {
        listbox_spysMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    } else if (event->type() == QEvent::ContextMenu) {
        // A right click reaches the viewport, the menu key the list itself.
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (menuEvent->reason() == QContextMenuEvent::Mouse) {
            listbox_spysMouseMove(
                viewport ? menuEvent->pos()
                         : listbox_spys_->viewport()->mapFrom(listbox_spys_, menuEvent->pos()));
        } else {
            // From the keyboard the pointer may be anywhere: the menu acts
            // on the selected watcher instead.
            const QListWidgetItem *current = listbox_spys_->currentItem();
            setTag(current && current->isSelected() ? listbox_spys_->currentRow() : -1);
        }
        popup_spys_->popup(menuEvent->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tspylist::keyPressEvent(QKeyEvent *event)
{
    if (isDismissKey(*event)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tspylist::setTag(int index)
{
    tag_ = index;
    listbox_spys_->setProperty("tag", index);
}
