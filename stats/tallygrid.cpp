#include "stats/tallygrid.h"

#include "stats/textfile.h"

#include <QSet>

namespace {

const QString kZero = QStringLiteral("0");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QStringList zeroRow()
{
    return QStringList(TallyGrid::kColumns, kZero);
}

// A count cell: empty, or a decimal number small enough to add to safely.
bool isCount(QStringView cell)
{
    if (cell.startsWith(u'-'))
        cell = cell.mid(1);
    if (cell.isEmpty() || cell.size() > 18)
        return cell.isEmpty();
    for (QChar c : cell) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool hasLineBreak(const QString &name)
{
    return name.contains(u'\r') || name.contains(u'\n');
}

} // namespace

TallyGrid::TallyGrid() : m_rows{zeroRow()} {}

bool TallyGrid::valid(int column, int row) const
{
    return column >= 0 && column < kColumns && row >= 0 && row < rowCount();
}

QString TallyGrid::cell(int column, int row) const
{
    return valid(column, row) ? m_rows[row][column] : QString();
}

void TallyGrid::setCell(int column, int row, const QString &text)
{
    if (valid(column, row))
        m_rows[row][column] = text;
}

qint64 TallyGrid::addit(int column, int row, qint64 amount)
{
    if (!valid(column, row))
        return 0;
    // Cells that hold no number count as 0; a loaded grid only has numbers.
    const qint64 sum = m_rows[row][column].toLongLong() + amount;
    m_rows[row][column] = QString::number(sum);
    return sum;
}

QStringList TallyGrid::followed() const
{
    QStringList names;
    names.reserve(rowCount() - 1);
    for (int row = 1; row < rowCount(); ++row)
        names.append(m_rows[row][0]);
    return names;
}

int TallyGrid::followedIndex(const QString &name) const
{
    for (int row = 1; row < rowCount(); ++row) {
        if (m_rows[row][0].compare(name, Qt::CaseInsensitive) == 0)
            return row - 1;
    }
    return -1;
}

bool TallyGrid::follow(const QString &name)
{
    if (hasLineBreak(name) || followedIndex(name) >= 0)
        return false;
    QStringList row = zeroRow();
    row[0] = name;
    m_rows.append(row);
    return true;
}

void TallyGrid::moverow(int row)
{
    // Row 0 is the user's own and never goes.
    if (row < 1 || row >= rowCount())
        return;
    m_rows.remove(row);
}

void TallyGrid::addgame(bool userWon, const QString &winner, const QStringList &currentPlayers)
{
    addit(kTotalGames, 0, 1);
    if (userWon)
        addit(kUserWins, 0, 1);

    // Two seats whose names differ only in letter case share one row; the
    // game still counts once for it.
    QSet<int> counted;
    for (const QString &name : currentPlayers) {
        const int index = followedIndex(name);
        if (index < 0)
            continue;
        const int row = index + 1;
        if (counted.contains(row))
            continue;
        counted.insert(row);

        for (int column = 1; column < kColumns; ++column) {
            if (m_rows[row][column].isEmpty())
                m_rows[row][column] = kZero;
        }
        int outcome = kNeitherWon;
        if (userWon)
            outcome = kYourWins;
        else if (m_rows[row][0] == winner)
            outcome = kOpponentWins;
        for (int column : {kGamesTogether, outcome}) {
            addit(column, row, 1);
            addit(column + kSessionOffset, row, 1);
        }
    }
}

void TallyGrid::clearSession()
{
    for (int row = 1; row < rowCount(); ++row) {
        for (int column = kGamesTogether; column <= kNeitherWon; ++column)
            m_rows[row][column + kSessionOffset] = kZero;
    }
}

QByteArray TallyGrid::text() const
{
    QByteArray out;
    out += QByteArray::number(kColumns) + kLineEnd;
    out += QByteArray::number(rowCount()) + kLineEnd;
    for (int column = 0; column < kColumns; ++column) {
        for (const QStringList &row : m_rows)
            out += row[column].toUtf8() + kLineEnd;
    }
    return out;
}

std::optional<TallyGrid> TallyGrid::fromText(const QByteArray &text)
{
    // Written as UTF-8; a file from a Windows copy of the game is
    // Windows-1252.
    QStringList lines = textfile::decode(text).split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // Every line ends with its line end, the last one included: text after
    // the last line end is a line cut off.
    if (!lines.last().isEmpty())
        return std::nullopt;
    lines.removeLast();
    if (lines.size() < 2 || lines[0] != QString::number(kColumns))
        return std::nullopt;

    bool ok = false;
    const qsizetype rows = lines[1].toLongLong(&ok);
    if (!ok || rows < 1 || rows > lines.size())
        return std::nullopt;
    const qsizetype needed = 2 + rows * kColumns;
    if (lines.size() < needed)
        return std::nullopt;
    // Only empty lines may follow the cells.
    for (qsizetype extra = needed; extra < lines.size(); ++extra) {
        if (!lines[extra].isEmpty())
            return std::nullopt;
    }

    TallyGrid grid;
    grid.m_rows = QVector<QStringList>(rows, QStringList(kColumns));
    qsizetype line = 2;
    for (int column = 0; column < kColumns; ++column) {
        for (qsizetype row = 0; row < rows; ++row) {
            const QString &cell = lines[line++];
            if (column > 0 && !isCount(cell))
                return std::nullopt;
            if (column == 0 && row > 0 && hasLineBreak(cell))
                return std::nullopt;
            grid.m_rows[row][column] = cell;
        }
    }
    return grid;
}
