#pragma once

#include "stats/tallygrid.h"

#include <QString>

// The tally file, Zandortally.tld: the grid's text in the compressed
// container. The text never touches the disk uncompressed.
//
// A save replaces the file in one step (a new file beside it, renamed over
// it), so a crash or a full disk leaves the previous tally in place. A file
// that cannot be loaded is never overwritten: it is renamed aside first, and
// the load's error text says where it went.
class TallyFile
{
public:
    // The program's name followed by "tally.tld".
    static const QString kFileName;
    // Appended to a file that failed to load; ".1", ".2" ... follow when an
    // older one is already there.
    static const QString kDamagedSuffix;

    explicit TallyFile(const QString &folder);

    QString path() const;

    enum class Outcome { Missing, Loaded, Failed };
    struct LoadResult
    {
        Outcome outcome = Outcome::Missing;
        // Loaded: the grid read from the file, session columns already 0.
        TallyGrid grid;
        // Failed: what went wrong and where the file was kept.
        QString error;
    };
    LoadResult load();

    // Writes the grid. Returns false, with the reason in `error`, when the
    // file could not be written or a damaged file could not be moved aside.
    bool save(const TallyGrid &grid, QString *error = nullptr);

    // Where the damaged file was put; empty when nothing was moved.
    QString keptAs() const { return m_keptAs; }

private:
    bool moveDamagedAside();

    QString m_folder;
    // A file failed to load and still sits under the tally file's name.
    bool m_damagedInPlace = false;
    QString m_keptAs;
};
