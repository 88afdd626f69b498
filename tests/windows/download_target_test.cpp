#include "windows/downloadtarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(DownloadTarget, FileNameIsTheLastPartOfTheAddressPath)
{
    const std::pair<const char *, const char *> cases[] = {
        {"http://www.korvex.example/lobby/kvlsetup.exe", "kvlsetup.exe"},
        {"http://h/kvlsetup.exe", "kvlsetup.exe"},
        {"http://h:8080/a/b/c/setup.exe?version=2&x=/y.exe#part/z", "setup.exe"},
        {"http://h/files/my%20setup.exe", "my setup.exe"},
        // An escaped slash is still a slash: the name cannot climb folders.
        {"http://h/files/..%2F..%2Fescape.exe", "escape.exe"},
        {"http://h/lobby/", ""},
        {"http://h", ""},
        {"http://h/a/..", ""},
        {"http://h/a/%2E%2E", ""},
        {"http://h/a/.", ""},
    };
    for (const auto &[url, name] : cases)
        EXPECT_EQ(downloadtarget::fileNameFromUrl(QString::fromLatin1(url)),
                  QString::fromLatin1(name))
            << url;
}

TEST(DownloadTarget, ProgramFolderUnlessFilesCannotBeMadeThere)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    const QString program = dir.filePath(QStringLiteral("bin"));
    const QString user = dir.filePath(QStringLiteral("home/.local/share/Zandor"));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("bin")));
    QFile notAFolder(dir.filePath(QStringLiteral("plainfile")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();

    EXPECT_EQ(downloadtarget::chooseFolder(program, user), program);
    EXPECT_FALSE(QDir(user).exists());
    for (const QString &unusable :
         {dir.filePath(QStringLiteral("missing")), notAFolder.fileName(), QString()}) {
        EXPECT_EQ(downloadtarget::chooseFolder(unusable, user), user) << unusable.toStdString();
        EXPECT_TRUE(QDir(user).exists());
    }
    // The probe leaves nothing behind in the program's folder.
    EXPECT_TRUE(QDir(program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
