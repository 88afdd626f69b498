#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files (the settings, the tally): next to the
// executable, as players of this game expect, unless that folder cannot be
// written (a copy installed for the whole system); then in the user's own
// configuration folder, so preferences still last between runs.
//
// A player whose program folder has become read-only (the game moved, or
// installed for everybody) keeps what he had: a file of the program's that
// the user's folder does not have yet is copied there from the program
// folder, and from then on the user's folder is the one read and written.
class ConfigLocation
{
public:
    // Both folders can be given for tests; by default the program's folder
    // and "<user configuration folder>/zandor". `files` are the names taken
    // over from the program folder: by default the settings and the tally.
    explicit ConfigLocation(QString programFolder = defaultProgramFolder(),
                            QString userFolder = defaultUserFolder(),
                            QStringList files = defaultFiles());

    // The folder chosen, created if it was the user's folder and missing.
    QString folder() const;
    QString filePath(const QString &fileName) const;

    static QString defaultProgramFolder();
    static QString defaultUserFolder();
    static QStringList defaultFiles();

private:
    void takeOver(const QString &fileName) const;

    QString programFolder_;
    QString userFolder_;
    QStringList files_;
};
