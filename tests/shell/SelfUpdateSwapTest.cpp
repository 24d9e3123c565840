#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                                          QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup;

void Write(const QString& path, const QByteArray& content) {
    WriteFileWithTime(path, content, QDateTime::currentDateTime());
}

}  // namespace

TEST(SelfUpdateSwap, FirstUpdateKeepsThePreviousBuildAndItsPermissions) {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.executable, "old build");
    ASSERT_TRUE(QFile::setPermissions(files.executable, kOwnerOnly));
    Write(files.download, "new build");

    ASSERT_TRUE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "new build");
    EXPECT_EQ(ReadWholeFile(files.previous), "old build");
    EXPECT_FALSE(QFile::exists(files.download));
    EXPECT_EQ(QFile::permissions(files.executable), kOwnerOnly);
}

TEST(SelfUpdateSwap, SecondUpdateDeletesTheOlderBuildFirst) {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.previous, "oldest build");
    Write(files.executable, "old build");
    Write(files.download, "new build");

    ASSERT_TRUE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "new build");
    EXPECT_EQ(ReadWholeFile(files.previous), "old build");
    EXPECT_FALSE(QFile::exists(files.download));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(SelfUpdateSwap, WithoutAnExecutableTheDownloadBecomesTheProgram) {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.download, "new build");
    ASSERT_TRUE(QFile::setPermissions(files.download,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));

    ASSERT_TRUE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "new build");
    EXPECT_FALSE(QFile::exists(files.previous));
    const QFile::Permissions permissions = QFile::permissions(files.executable);
    EXPECT_TRUE(permissions.testFlag(QFile::ExeOwner));
    EXPECT_TRUE(permissions.testFlag(QFile::ExeOther));
    EXPECT_FALSE(permissions.testFlag(QFile::WriteOther));
}

TEST(SelfUpdateSwap, FailedStepLeavesTheProgramInPlace) {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.executable, "old build");

    // Nothing downloaded: nothing is moved.
    EXPECT_FALSE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "old build");
    EXPECT_FALSE(QFile::exists(files.previous));

    // The previous build cannot be deleted (a folder that is not empty stands in its place).
    Write(files.download, "new build");
    ASSERT_TRUE(QDir().mkpath(files.previous + QStringLiteral("/keep")));
    EXPECT_FALSE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "old build");
    EXPECT_EQ(ReadWholeFile(files.download), "new build");
    EXPECT_TRUE(QDir(files.previous + QStringLiteral("/keep")).exists());
}

TEST(SelfUpdateSwap, DownloadThatCannotTakeThePlaceMovesTheProgramBack) {
    // A folder on another file system cannot be renamed into the program directory, nor copied.
    QTemporaryDir dir;
    QTemporaryDir otherDevice(QStringLiteral("/dev/shm/velkor-swap-XXXXXX"));
    struct stat here {};
    struct stat there {};
    if (!otherDevice.isValid() || stat(QFile::encodeName(dir.path()).constData(), &here) != 0 ||
        stat(QFile::encodeName(otherDevice.path()).constData(), &there) != 0 || here.st_dev == there.st_dev) {
        GTEST_SKIP() << "needs a second file system at /dev/shm";
    }
    UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    files.download = otherDevice.filePath(QStringLiteral("velkor.upd"));
    ASSERT_TRUE(QDir().mkpath(files.download));
    Write(files.executable, "old build");

    EXPECT_FALSE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "old build");
    EXPECT_FALSE(QFile::exists(files.previous));
}
