#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and writing the small files the game keeps (the tally, the
// settings) so that a full disk, a crash or an old Windows copy never costs
// the player what the file held.
namespace textfile {

// Puts `bytes` in place of the file at `path` in one step: written beside it,
// flushed to the disk and renamed over it. Any short or failed write leaves
// the previous file exactly as it was, and the reason goes to
// `error`.
enum class Written { Whole, NotOpened, NotWritten };
Written replace(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Renames a file that could not be read to `path` + `suffix`, or with ".1",
// ".2" ... after that when an older one is there, so that it is never
// overwritten and the user can still look at it. Returns the new name, or
// nothing when it could not be renamed.
std::optional<QString> keepAside(const QString &path, const QString &suffix);

// Text as the files hold it: UTF-8, which this program writes; anything that
// is not UTF-8 comes from a single-byte Windows copy of the game and is read
// as Windows-1252.
QString decode(const QByteArray &bytes);
QString fromWindows1252(const QByteArray &bytes);

} // namespace textfile
