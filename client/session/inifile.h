#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// A reader and writer for the plain initialisation-file format: "[Section]"
// headers and "Key=Value" lines. Sections and keys are matched without
// regard to letter case. Lines we do not change (comments, other sections,
// other keys) are written back exactly as they were read.
//
// Values are taken as written, with two rules shared by the usual readers
// of this format: blanks around a value are dropped, and one pair of double
// quotes around the whole value is removed. The writer quotes a value only
// when one of those rules would change it, so every value reads back as it
// was set. A character the reader would not take as text, or that would
// start a new line, is written as a blank.
class IniFile
{
public:
    IniFile() = default;

    // Whether `bytes` are text as an editor writes it: no NUL and none of
    // the control characters no text holds (tab, the line and page breaks
    // and the old DOS end-of-file mark are text). Anything else is a file
    // that ended up under our name and holds no settings.
    static bool holdsText(QByteArrayView bytes);

    // A missing or unreadable file reads as empty.
    static IniFile load(const QString &path);
    static IniFile fromBytes(const QByteArray &bytes);

    // Replaces the file in one step: a write that fails for any reason, a
    // full disk included, leaves the old file as it was and says why.
    bool save(const QString &path, QString *error = nullptr) const;
    QByteArray toBytes() const;

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &fallback) const;

    // Changes the first line of that key, or adds the key at the end of its
    // section, or adds the section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

private:
    // Index of the header line of `section`, or -1.
    int findSection(const QString &section) const;
    // Index of the key's line inside the section that starts at `header`.
    int findKey(int header, const QString &key) const;
    // One past the last line that belongs to the section at `header`.
    int sectionEnd(int header) const;

    QStringList lines_;
    QString lineEnd_ = QStringLiteral("\n");
    bool byteOrderMark_ = false;
};
