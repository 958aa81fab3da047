#include "platform/atomic_file.h"

#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace vqs {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

mode_t permissions(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// Hidden files too: the new file is made under a dotted name beside the old one.
QStringList everything(const QDir& dir) {
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(WriteFileAtomically, ReplacesTheFileAndKeepsItsPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.ini");
    ASSERT_TRUE(writeFileAtomically(path, "old").ok);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(permissions(path), 0666 & ~mask) << "a new file: the user's usual permissions";

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const FileWriteResult written = writeFileAtomically(path, "new contents");
    EXPECT_TRUE(written.ok) << written.error.toStdString();
    EXPECT_EQ(written.path, path);
    EXPECT_EQ(contents(path), "new contents");
    EXPECT_EQ(permissions(path), 0640u);
    EXPECT_EQ(everything(QDir(dir.path())), QStringList{"settings.ini"});
}

TEST(WriteFileAtomically, WritesThroughALinkAndKeepsTheLink) {
    QTemporaryDir dir;
    const QString target = dir.filePath("real.txt");
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(writeFileAtomically(target, "old").ok);
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(writeFileAtomically(link, "new").ok);
    EXPECT_EQ(contents(target), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST(WriteFileAtomically, AFailureSaysWhyAndLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir(dir.path()).mkdir("blocked"));
    const FileWriteResult onFolder = writeFileAtomically(blocked, "x");
    EXPECT_FALSE(onFolder.ok);
    EXPECT_FALSE(onFolder.error.isEmpty());
    const FileWriteResult noFolder = writeFileAtomically(dir.filePath("none/file"), "x");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.error.isEmpty());
    EXPECT_EQ(everything(QDir(dir.path())), QStringList{"blocked"});
}

}  // namespace
}  // namespace vqs
