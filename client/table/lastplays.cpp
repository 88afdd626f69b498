#include "client/table/lastplays.h"

#include "client/model/cardnames.h"
#include "client/table/scaledplaces.h"
#include "client/model/tablestate.h"
#include "net/peertext.h"
#include "widgets/sidelook.h"

#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>

namespace {

const QColor kInk(250, 246, 228);    // as the names on the cloth
const QColor kNewest(255, 226, 140); // the newest play, warmer like the status line

} // namespace

LastPlays::LastPlays(const TableState *state, QWidget *parent) : QWidget(parent), state_(state)
{
    setObjectName(QStringLiteral("lastplays"));
    setAccessibleName(QStringLiteral("Last plays"));
    // The strip lies on the cloth and lets the mouse through to it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kSpacing);
    for (int row = 0; row < kShown; ++row) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("lastplay%1").arg(row + 1));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(sidelook::arialPixels(kFontPixels, row == 0));
        QPalette ink = label->palette();
        ink.setColor(QPalette::WindowText, row == 0 ? kNewest : kInk);
        label->setPalette(ink);
        column->addWidget(label, 1);
        rows_[std::size_t(row)] = label;
    }
    connect(state_, &TableState::cardPlayed, this, &LastPlays::refresh);
    connect(state_, &TableState::roundStarted, this, &LastPlays::refresh);
    connect(state_, &TableState::gameStarted, this, &LastPlays::refresh);
    connect(state_, &TableState::lateArrival, this, &LastPlays::refresh);
    refresh();
}

void LastPlays::setScale(qreal scale)
{
    layout()->setSpacing(qRound(kSpacing * scale));
    for (int row = 0; row < kShown; ++row) {
        rows_[std::size_t(row)]->setFont(
            ScaledPlaces::scaledFont(sidelook::arialPixels(kFontPixels, row == 0), scale));
    }
}

QString LastPlays::lineFor(const QString &name, int before, int card)
{
    return peertext::isolated(name) + QStringLiteral(": ") + cardnames::playText(before, card);
}

QStringList LastPlays::lines() const
{
    QStringList shown;
    for (const QLabel *row : rows_)
        shown.append(row->text());
    return shown;
}

void LastPlays::refresh()
{
    const QList<TablePlay> &plays = state_->plays();
    for (int row = 0; row < kShown; ++row) {
        const qsizetype index = plays.size() - 1 - row;
        QLabel *label = rows_[std::size_t(row)];
        if (index < 0) {
            label->clear();
            continue;
        }
        const TablePlay &play = plays[index];
        label->setText(lineFor(play.name, play.before, play.card));
    }
}
