#include "stats/tallyfile.h"

#include "stats/lzrw1container.h"
#include "stats/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString TallyFile::kFileName = QStringLiteral("Zandortally.tld");
const QString TallyFile::kDamagedSuffix = QStringLiteral(".damaged");

namespace {

const QString kUnreadableGrid =
    QStringLiteral(" : this file does not hold a readable tally list !");
const QString kTooLarge = QStringLiteral(" : this file is too large to be a tally list !");
const QString kKeptAs =
    QStringLiteral("\n\nThe file has been kept as %1, and your tally starts again from 0.");
const QString kNotMoved =
    QStringLiteral("\n\nThe file could not be renamed, so it is left as it is and this session's "
                   "tally will not be saved over it.");
const QString kCannotMoveAside =
    QStringLiteral("The damaged tally file could not be moved aside: ");

// A tally of thousands of opponents is a few hundred kilobytes; a file far
// beyond that is not one, and is not worth reading into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

} // namespace

TallyFile::TallyFile(const QString &folder) : m_folder(folder) {}

QString TallyFile::path() const
{
    return QDir(m_folder).filePath(kFileName);
}

TallyFile::LoadResult TallyFile::load()
{
    LoadResult result;
    const QString name = path();
    QFile file(name);
    if (!file.exists())
        return result;

    QString reason;
    try {
        if (!file.open(QIODevice::ReadOnly))
            lzrw1::fail(QLatin1String(lzrw1::text::kCannotOpenInput) + name);
        if (file.size() > kMaxFileSize)
            lzrw1::fail(name + kTooLarge);
        const QByteArray container = file.readAll();
        if (container.size() != file.size())
            lzrw1::fail(QLatin1String(lzrw1::text::kReadError) + name);
        file.close();
        std::optional<TallyGrid> grid = TallyGrid::fromText(lzrw1::decompress(container, name));
        if (!grid)
            lzrw1::fail(name + kUnreadableGrid);
        grid->clearSession();
        result.outcome = Outcome::Loaded;
        result.grid = std::move(*grid);
        return result;
    } catch (const lzrw1::ELzrw1Exception &error) {
        reason = error.text;
    }
    file.close();

    result.outcome = Outcome::Failed;
    m_damagedInPlace = true;
    if (moveDamagedAside())
        result.error = reason + kKeptAs.arg(QDir::toNativeSeparators(m_keptAs));
    else
        result.error = reason + kNotMoved;
    return result;
}

bool TallyFile::moveDamagedAside()
{
    const QString name = path();
    if (!QFileInfo::exists(name)) {
        // Gone already (moved by the user): nothing left to protect.
        m_damagedInPlace = false;
        return true;
    }
    const std::optional<QString> kept = textfile::keepAside(name, kDamagedSuffix);
    if (!kept)
        return false;
    m_damagedInPlace = false;
    m_keptAs = *kept;
    return true;
}

bool TallyFile::save(const TallyGrid &grid, QString *error)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString name = path();
    if (m_damagedInPlace && !moveDamagedAside())
        return failed(kCannotMoveAside + name);

    QByteArray container;
    try {
        container = lzrw1::compress(grid.text());
    } catch (const lzrw1::ELzrw1Exception &e) {
        return failed(e.text);
    }

    QString why;
    switch (textfile::replace(name, container, &why)) {
    case textfile::Written::Whole:
        return true;
    case textfile::Written::NotOpened:
        return failed(QLatin1String(lzrw1::text::kCannotOpenOutput) + name);
    case textfile::Written::NotWritten:
        break;
    }
    return failed(QLatin1String(lzrw1::text::kWriteError) + name + QStringLiteral(" (") + why +
                  QLatin1Char(')'));
}
