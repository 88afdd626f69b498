#pragma once

#include <QString>

// Where the program keeps its files (the settings, the tally): next to the
// executable, as players of this game expect, unless that folder cannot be
// written (a copy installed for the whole system); then in the user's own
// configuration folder, so preferences still last between runs.
class ConfigLocation
{
public:
    // Both folders can be given for tests; by default the program's folder
    // and "<user configuration folder>/zandor".
    explicit ConfigLocation(QString programFolder = defaultProgramFolder(),
                            QString userFolder = defaultUserFolder());

    // The folder chosen, created if it was the user's folder and missing.
    QString folder() const;
    QString filePath(const QString &fileName) const;

    static QString defaultProgramFolder();
    static QString defaultUserFolder();

private:
    QString programFolder_;
    QString userFolder_;
};
