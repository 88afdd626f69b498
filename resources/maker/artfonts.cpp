#include "resources/maker/artfonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const char *const fontFolder = "/usr/share/fonts/truetype/dejavu/";

// Loads the file once and returns its family name, or an empty string when
// the file is not there.
QString familyOf(const char *fileName)
{
    const int id =
        QFontDatabase::addApplicationFont(QLatin1String(fontFolder) + QLatin1String(fileName));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        qWarning("%s%s is missing; the pictures' text falls back to the default font", fontFolder,
                 fileName);
        return QString();
    }
    return families.first();
}

QFont make(const QString &family, qreal pixelSize, bool bold)
{
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

namespace artfonts {

QFont sans(qreal pixelSize, bool bold)
{
    static const QString regular = familyOf("DejaVuSans.ttf");
    static const QString heavy = familyOf("DejaVuSans-Bold.ttf");
    return make(bold ? heavy : regular, pixelSize, bold);
}

QFont serif(qreal pixelSize, bool bold)
{
    static const QString regular = familyOf("DejaVuSerif.ttf");
    static const QString heavy = familyOf("DejaVuSerif-Bold.ttf");
    return make(bold ? heavy : regular, pixelSize, bold);
}

} // namespace artfonts
