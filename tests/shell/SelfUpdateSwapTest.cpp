#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"

namespace {

void Write(const QString& path, const QByteArray& content) {
    WriteFileWithTime(path, content, QDateTime::currentDateTime());
}

}  // namespace

TEST(SelfUpdateSwap, DownloadBecomesTheProgramWithItsPermissionsAndTheProgramThePreviousBuild) {
    constexpr QFile::Permissions kOwnerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    for (const bool hadPrevious : {false, true}) {
        SCOPED_TRACE(hadPrevious ? "with an older build" : "first update");
        QTemporaryDir dir;
        const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
        if (hadPrevious) {
            Write(files.previous, "oldest build");
        }
        Write(files.executable, "old build");
        ASSERT_TRUE(QFile::setPermissions(files.executable, kOwnerOnly));
        Write(files.download, "new build");

        ASSERT_TRUE(SwapUpdateFiles(files));
        EXPECT_EQ(ReadWholeFile(files.executable), "new build");
        EXPECT_EQ(ReadWholeFile(files.previous), "old build");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), (QStringList{"velkor", "velkor.old"}));
        EXPECT_EQ(QFile::permissions(files.executable), kOwnerOnly);
    }

    // Without an executable the download becomes an executable program that others cannot change.
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.download, "new build");
    ASSERT_TRUE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "new build");
    EXPECT_FALSE(QFile::exists(files.previous));
    const QFile::Permissions permissions = QFile::permissions(files.executable);
    EXPECT_TRUE(permissions.testFlag(QFile::ExeOwner) && permissions.testFlag(QFile::ExeOther));
    EXPECT_FALSE(permissions.testFlag(QFile::WriteOther));
}

TEST(SelfUpdateSwap, FailedSwapAlwaysLeavesTheProgramInPlace) {
    QTemporaryDir dir;
    UpdateFiles files = UpdateFilesFor(dir.path(), QStringLiteral("velkor"));
    Write(files.executable, "old build");
    EXPECT_FALSE(SwapUpdateFiles(files)) << "nothing downloaded";
    EXPECT_EQ(ReadWholeFile(files.executable), "old build");
    EXPECT_FALSE(QFile::exists(files.previous));

    // The download cannot take the program's place, as a folder on another file system can neither be
    // renamed into the program directory nor copied: the program, already moved aside, is moved back.
    QTemporaryDir otherDevice(QStringLiteral("/dev/shm/velkor-swap-XXXXXX"));
    if (!otherDevice.isValid() || QStorageInfo(otherDevice.path()).rootPath() == QStorageInfo(dir.path()).rootPath()) {
        GTEST_SKIP() << "needs a second file system at /dev/shm";
    }
    files.download = otherDevice.filePath(QStringLiteral("velkor.upd"));
    ASSERT_TRUE(QDir().mkpath(files.download));
    EXPECT_FALSE(SwapUpdateFiles(files));
    EXPECT_EQ(ReadWholeFile(files.executable), "old build");
    EXPECT_FALSE(QFile::exists(files.previous));
}
