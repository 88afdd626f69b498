#include "client/seatrotation.h"

#include <QWidget>

#include <array>
#include <utility>
#include <vector>

namespace {
// The seven controls each seat has on the table.
const std::array<QStringView, 7> kSeatPrefixes = {
    u"label_playername", u"image_card",  u"image_chips",  u"image_turn",
    u"image_eyes",       u"image_money", u"image_winner",
};

// Number 0 is the spare name a rotation parks a seat under.
using Rename = std::pair<int, int>;
} // namespace

QWidget *findSeatControl(const QWidget *board, QStringView prefix, int seat)
{
    const QString name = prefix.toString() + QString::number(seat);
    for (QWidget *child : board->findChildren<QWidget *>()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    }
    return nullptr;
}

void movestuff(QWidget *board, int from, int to)
{
    for (QStringView prefix : kSeatPrefixes) {
        if (QWidget *control = findSeatControl(board, prefix, from)) {
            // Keep the control's own spelling of its prefix.
            const QString own = control->objectName().left(prefix.size());
            control->setObjectName(own + QString::number(to));
        }
    }
}

void sortstuff(QWidget *board, int ownSlot)
{
    static const std::array<std::vector<Rename>, 5> kRenames = {{
        {},
        {},
        {{2, 0}, {1, 2}, {4, 1}, {3, 4}, {0, 3}},
        {{3, 0}, {1, 3}, {0, 1}, {4, 0}, {2, 4}, {0, 2}},
        {{4, 0}, {1, 4}, {2, 1}, {3, 2}, {0, 3}},
    }};
    if (ownSlot < 2 || ownSlot > 4)
        return;
    for (const auto &[from, to] : kRenames[std::size_t(ownSlot)])
        movestuff(board, from, to);
}
