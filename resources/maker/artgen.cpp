// Draws the game's pictures and synthesises its sounds into a folder, at
// build time; the game embeds the files. With --sheet it renders the
// contact sheet instead.
#include "resources/maker/catalog.h"
#include "resources/maker/contactsheet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "zandor_artgen: cannot write " << path << "\n";
        return false;
    }
    return true;
}

int writeAll(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "zandor_artgen: cannot make " << folder << "\n";
        return 1;
    }
    const QDir dir(folder);
    for (const catalog::Picture &picture : catalog::pictures()) {
        const QByteArray bytes = catalog::encode(picture.file, picture.draw());
        if (bytes.isEmpty() || !writeFile(dir.filePath(picture.file), bytes))
            return 1;
    }
    for (const catalog::Sound &sound : catalog::sounds())
        if (!writeFile(dir.filePath(sound.file), sound.make()))
            return 1;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--sheet"))
        return contactsheet::render().save(args[1]) ? 0 : 1;
    if (args.size() == 7 && args[0] == QLatin1String("--sheet")) {
        // A part of the sheet, enlarged pixel for pixel: x y width height zoom.
        const QRect part(args[2].toInt(), args[3].toInt(), args[4].toInt(), args[5].toInt());
        const int zoom = qMax(1, args[6].toInt());
        return contactsheet::render()
                       .copy(part)
                       .scaled(part.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                       .save(args[1])
                   ? 0
                   : 1;
    }
    if (args.size() == 1)
        return writeAll(args[0]);
    QTextStream(stderr)
        << "usage: zandor_artgen <folder> | --sheet <file.png> [x y width height zoom]\n";
    return 2;
}
