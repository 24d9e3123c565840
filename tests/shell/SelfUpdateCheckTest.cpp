#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "shell/FtpClass.h"
#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

const QString kRemotePath = QStringLiteral("/pub/TOOLS/Velkor/Velkor.exe");
const QString kQuestion = QString::fromUtf8(
    "Es ist ein Update verfügbar. Möchten sie das Update jetzt durchführen? Sie müssen das Programm nach dem Setup "
    "nochmals aufrufen");
const QString kDownloadFailed = QStringLiteral("Update fehlgeschlagen. Datei konnte nicht geladen werden");
const QString kSwapFailed = QStringLiteral("Fehler beim Update der Dateien");
const QString kUpdateDone = QStringLiteral("Update Fertig. Anwendung wird jetzt neu gestartet");

// The running build: its file time is universal time.
const QDateTime kLocalBuildTime(QDate(2024, 5, 3), QTime(23, 59, 0), Qt::UTC);
const QDateTime kNextDayBuildTime(QDate(2024, 5, 4), QTime(0, 1, 0), Qt::LocalTime);

// A stand-in for the program: records that it was started, and with which arguments.
QByteArray ProgramScript(const QByteArray& name) {
    return "#!/bin/sh\necho \"" + name + " started$*\" > \"$(dirname \"$0\")/started.txt\"\n";
}

class SelfUpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = UpdateFilesFor(programDir_.path(), QStringLiteral("velkor"));
        WriteFileWithTime(files_.executable, ProgramScript("old build"), kLocalBuildTime);
        ASSERT_TRUE(QFile::setPermissions(files_.executable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                                 QFile::ReadUser | QFile::WriteUser | QFile::ExeUser |
                                                                 QFile::ReadGroup | QFile::ExeGroup));
    }
    void TearDown() override { RestoreAllCursors(); }

    bool Check(const QString& host) {
        return RunUpdateCheck(programDir_.path(), QStringLiteral("velkor"), host, kRemotePath);
    }

    QStringList ProgramDirFiles() const { return QDir(programDir_.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir programDir_;
    UpdateFiles files_;
};

}  // namespace

TEST_F(SelfUpdateCheckTest, BuildOfTheSameDayOffersNoUpdate) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, ProgramScript("new build"),
                   QDateTime(QDate(2024, 5, 3), QTime(8, 0, 0), Qt::LocalTime));
    ScriptedDialogs dialogs;
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(ReadWholeFile(files_.executable), ProgramScript("old build"));
    EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});
}

TEST_F(SelfUpdateCheckTest, BuildOfTheNextDayIsOfferedAndNoKeepsTheRunningBuild) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, ProgramScript("new build"), kNextDayBuildTime);
    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(MsgAnswer::No);
    EXPECT_FALSE(Check(server.Host()));
    ASSERT_EQ(dialogs.Messages(), QStringList{kQuestion});
    EXPECT_EQ(dialogs.Entries().front().buttons, MsgButtons::YesNo);
    EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});

    // Without a local executable any build on the server is newer.
    ASSERT_TRUE(QFile::remove(files_.executable));
    server.PutFile(kRemotePath, ProgramScript("new build"), QDateTime(QDate(2001, 1, 1), QTime(0, 0, 0)));
    dialogs.Clear();
    dialogs.QueueAnswer(MsgAnswer::No);
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), QStringList{kQuestion});
}

TEST_F(SelfUpdateCheckTest, MissingRemoteFileOrServerOffersNoUpdate) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    ScriptedDialogs dialogs;
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), QStringList{"FTP: /pub/TOOLS/Velkor/Velkor.exe\r\nFile not found."});

    dialogs.Clear();
    EXPECT_FALSE(Check(QStringLiteral("127.0.0.1:%1").arg(ClosedLocalPort())));
    EXPECT_EQ(dialogs.Messages(), QStringList{"The attempt to connect to the server failed."});
    EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});
}

TEST_F(SelfUpdateCheckTest, WithoutAHostThereIsNoCheck) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(Check(QString()));

    const QByteArray savedHost = qgetenv("VELKOR_UPDATE_HOST");
    const bool hostWasSet = qEnvironmentVariableIsSet("VELKOR_UPDATE_HOST");
    qputenv("VELKOR_UPDATE_HOST", QByteArray());
    EXPECT_FALSE(RunUpdateCheck());
    if (hostWasSet) {
        qputenv("VELKOR_UPDATE_HOST", savedHost);
    } else {
        qunsetenv("VELKOR_UPDATE_HOST");
    }
    EXPECT_TRUE(dialogs.Entries().empty());
    EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});
}

TEST_F(SelfUpdateCheckTest, RefusedOrTruncatedDownloadIsNeverSwappedIn) {
    for (const QString& flag : {QStringLiteral("--refuse-retrieve"), QStringLiteral("--truncate")}) {
        SCOPED_TRACE(flag.toStdString());
        FtpTestServer server({flag});
        ASSERT_TRUE(server.IsRunning());
        server.PutFile(kRemotePath, ProgramScript("new build") + BinaryContent(50000, 2), kNextDayBuildTime);
        ScriptedDialogs dialogs;
        dialogs.QueueAnswer(MsgAnswer::Yes);
        EXPECT_FALSE(Check(server.Host()));
        EXPECT_EQ(dialogs.Messages(), (QStringList{kQuestion, kDownloadFailed}));
        EXPECT_EQ(ReadWholeFile(files_.executable), ProgramScript("old build"));
        EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});
    }
}

TEST_F(SelfUpdateCheckTest, FailedSwapIsReportedAndTheRunningBuildGoesOn) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, ProgramScript("new build"), kNextDayBuildTime);
    ASSERT_TRUE(QDir().mkpath(files_.previous + QStringLiteral("/in-use")));
    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), (QStringList{kQuestion, kSwapFailed}));
    EXPECT_EQ(ReadWholeFile(files_.executable), ProgramScript("old build"));
    EXPECT_EQ(ReadWholeFile(files_.download), ProgramScript("new build"));
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(programDir_.filePath(QStringLiteral("started.txt"))));
}

TEST_F(SelfUpdateCheckTest, FullUpdateInstallsAndStartsTheNewBuild) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    const QByteArray newBuild = ProgramScript("new build") + "exit 0\n" + BinaryContent(100000, 7);
    server.PutFile(kRemotePath, newBuild, kNextDayBuildTime);
    WriteFileWithTime(files_.download, BinaryContent(400000, 1), QDateTime::currentDateTime());  // stale
    WriteFileWithTime(files_.previous, "build before last", QDateTime::currentDateTime());
    const QFile::Permissions permissions = QFile::permissions(files_.executable);

    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), (QStringList{kQuestion, kUpdateDone}));
    EXPECT_EQ(ReadWholeFile(files_.executable), newBuild);
    EXPECT_EQ(ReadWholeFile(files_.previous), ProgramScript("old build"));
    EXPECT_FALSE(QFile::exists(files_.download));
    EXPECT_EQ(QFile::permissions(files_.executable), permissions);

    const QString marker = programDir_.filePath(QStringLiteral("started.txt"));
    QElapsedTimer clock;
    clock.start();
    while (ReadWholeFile(marker).isEmpty() && clock.elapsed() < 10000) {
        QThread::msleep(50);
    }
    EXPECT_EQ(ReadWholeFile(marker), "new build started\n");
}
