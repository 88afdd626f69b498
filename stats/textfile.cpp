#include "stats/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace textfile {

Written replace(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    const auto failed = [&file, error](Written how) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return how;
    };
    // Unbuffered, so that each write's count is the file system's own answer:
    // a disk that fills half-way returns a short count here. Through Qt's
    // buffer the short write at commit goes unnoticed and a shorter file
    // replaces the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(Written::NotOpened);
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return failed(Written::NotWritten);
        written += n;
    }
#ifdef Q_OS_UNIX
    // Some file systems only find out at this point that the blocks cannot
    // be had; the rename must not come before the data is safe.
    if (::fsync(file.handle()) != 0) {
        if (error)
            *error = qt_error_string(errno);
        file.cancelWriting();
        return Written::NotWritten;
    }
#endif
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return Written::NotWritten;
    }
    return Written::Whole;
}

std::optional<QString> keepAside(const QString &path, const QString &suffix)
{
    // A thousand kept copies is a user who never looks; stop there.
    constexpr int kMaxKeptCopies = 1000;
    for (int copy = 0; copy < kMaxKeptCopies; ++copy) {
        QString target = path + suffix;
        if (copy > 0)
            target += QLatin1Char('.') + QString::number(copy);
        if (QFileInfo::exists(target))
            continue;
        // rename() never replaces an existing file.
        if (QFile::rename(path, target))
            return target;
        return std::nullopt;
    }
    return std::nullopt;
}

QString fromWindows1252(const QByteArray &bytes)
{
    // Windows-1252 is Latin-1 but for 0x80 to 0x9F, where it keeps the euro
    // sign, curly quotes, dashes and a few letters (Š, Œ, Ž, Ÿ ...). The five
    // bytes it leaves unassigned read as the control characters Latin-1 has
    // there, as Windows reads them.
    static constexpr std::array<char16_t, 32> kBytes80To9F = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(kBytes80To9F[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
    return text;
}

} // namespace textfile
