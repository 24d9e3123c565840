#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <tuple>
#include <utility>

#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

const QString kRemotePath = QStringLiteral("/pub/TOOLS/Velkor/Velkor.exe");
const QString kQuestion = QString::fromUtf8(
    "Es ist ein Update verfügbar. Möchten sie das Update jetzt durchführen? Sie müssen das Programm nach dem Setup "
    "nochmals aufrufen");
const QDateTime kNextDay(QDate(2024, 5, 4), QTime(0, 1, 0), Qt::LocalTime);

// Stand-ins for the program: they record that they were started, and with which arguments.
const QByteArray kOldBuild = "#!/bin/sh\necho \"old build started$*\" > \"$(dirname \"$0\")/started.txt\"\n";
const QByteArray kNewBuild =
    "#!/bin/sh\necho \"new build started$*\" > \"$(dirname \"$0\")/started.txt\"\nexit 0\n" + BinaryContent(100000, 7);

class SelfUpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The running build, from late on 2024-05-03: its file time is universal time.
        WriteFileWithTime(files_.executable, kOldBuild, QDateTime(QDate(2024, 5, 3), QTime(23, 59, 0), Qt::UTC));
        ASSERT_TRUE(QFile::setPermissions(files_.executable, QFile::Permissions(0x7750)));  // rwxr-x---
    }
    void TearDown() override { RestoreAllCursors(); }

    bool Check(const QString& host, const QString& remotePath = kRemotePath) {
        return RunUpdateCheck(programDir_.path(), QStringLiteral("velkor"), host, remotePath);
    }
    QStringList ProgramDirFiles() const { return QDir(programDir_.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir programDir_;
    const UpdateFiles files_ = UpdateFilesFor(programDir_.path(), QStringLiteral("velkor"));
};

}  // namespace

TEST_F(SelfUpdateCheckTest, OnlyALaterBuildOnAReachableServerIsOffered) {
    FtpTestServer server;
    FtpTestServer closed({QStringLiteral("--closed")});
    ASSERT_TRUE(server.IsRunning() && closed.IsRunning());
    // Built on the same calendar day as the running build, though in the morning of local time.
    server.PutFile(kRemotePath, kNewBuild, QDateTime(QDate(2024, 5, 3), QTime(8, 0, 0), Qt::LocalTime));
    const QString missing = QStringLiteral("/pub/TOOLS/Velkor/Missing.exe");
    const std::tuple<QString, QString, QStringList> cases[] = {
        {server.Host(), kRemotePath, {}},
        {server.Host(), missing, {"FTP: " + missing + "\r\nFile not found."}},
        {closed.Host(), kRemotePath, {"The attempt to connect to the server failed."}},
        {QString(), kRemotePath, {}},  // no host: no check at all
    };
    for (const auto& [host, remotePath, messages] : cases) {
        SCOPED_TRACE((host + remotePath).toStdString());
        ScriptedDialogs dialogs;
        EXPECT_FALSE(Check(host, remotePath));
        EXPECT_EQ(dialogs.Messages(), messages);
        EXPECT_EQ(ReadWholeFile(files_.executable), kOldBuild);
        EXPECT_EQ(ProgramDirFiles(), QStringList{"velkor"});
    }

    // Nor when the deployment settings name no host.
    ScriptedDialogs dialogs;
    const QByteArray savedHost = qgetenv("VELKOR_UPDATE_HOST");
    qputenv("VELKOR_UPDATE_HOST", QByteArray());
    EXPECT_FALSE(RunUpdateCheck());
    qputenv("VELKOR_UPDATE_HOST", savedHost);
    EXPECT_TRUE(dialogs.Entries().empty());

    // Without a local executable any build on the server is newer.
    ASSERT_TRUE(QFile::remove(files_.executable));
    dialogs.QueueAnswer(MsgAnswer::No);
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), QStringList{kQuestion});
}

TEST_F(SelfUpdateCheckTest, FailedUpdateIsReportedAndTheRunningBuildGoesOn) {
    const QString downloadFailed = QStringLiteral("Update fehlgeschlagen. Datei konnte nicht geladen werden");
    // Without a flag the server is fine, but a folder that is not empty stands where the previous build goes.
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("--refuse-retrieve"), downloadFailed},
        {QStringLiteral("--truncate"), downloadFailed},
        {QString(), QStringLiteral("Fehler beim Update der Dateien")},
    };
    for (const auto& [flag, message] : cases) {
        SCOPED_TRACE(message.toStdString() + " " + flag.toStdString());
        const bool swapBlocked = flag.isEmpty();
        FtpTestServer server({flag});
        ASSERT_TRUE(server.IsRunning());
        server.PutFile(kRemotePath, kNewBuild, kNextDay);
        ASSERT_TRUE(!swapBlocked || QDir().mkpath(files_.previous + QStringLiteral("/in-use")));
        ScriptedDialogs dialogs;
        dialogs.QueueAnswer(MsgAnswer::Yes);
        EXPECT_FALSE(Check(server.Host()));
        EXPECT_EQ(dialogs.Messages(), (QStringList{kQuestion, message}));
        EXPECT_EQ(ReadWholeFile(files_.executable), kOldBuild);
        EXPECT_EQ(ProgramDirFiles(), (swapBlocked ? QStringList{"velkor", "velkor.upd"} : QStringList{"velkor"}));
    }
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(programDir_.filePath(QStringLiteral("started.txt"))));
}

TEST_F(SelfUpdateCheckTest, NoKeepsEverythingAndYesInstallsAndStartsTheNewBuild) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, kNewBuild, kNextDay);
    const QByteArray staleDownload = BinaryContent(400000, 1);
    WriteFileWithTime(files_.download, staleDownload, QDateTime::currentDateTime());
    WriteFileWithTime(files_.previous, "build before last", QDateTime::currentDateTime());
    const QFile::Permissions permissions = QFile::permissions(files_.executable);

    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(MsgAnswer::No);
    EXPECT_FALSE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(), QStringList{kQuestion});
    EXPECT_EQ(ReadWholeFile(files_.executable), kOldBuild);
    EXPECT_EQ(ReadWholeFile(files_.download), staleDownload);
    EXPECT_EQ(ReadWholeFile(files_.previous), "build before last");

    dialogs.Clear();
    dialogs.QueueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(Check(server.Host()));
    EXPECT_EQ(dialogs.Messages(),
              (QStringList{kQuestion, QStringLiteral("Update Fertig. Anwendung wird jetzt neu gestartet")}));
    EXPECT_EQ(ReadWholeFile(files_.executable), kNewBuild);
    EXPECT_EQ(ReadWholeFile(files_.previous), kOldBuild);
    EXPECT_FALSE(QFile::exists(files_.download));
    EXPECT_EQ(QFile::permissions(files_.executable), permissions);

    const QString marker = programDir_.filePath(QStringLiteral("started.txt"));
    for (int wait = 0; wait < 200 && ReadWholeFile(marker).isEmpty(); ++wait) {
        QThread::msleep(50);
    }
    EXPECT_EQ(ReadWholeFile(marker), "new build started\n");
}

TEST_F(SelfUpdateCheckTest, AnInstalledProgramOnlySaysOncePerBuildThatAnUpdateIsThere) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, kNewBuild, kNextDay);
    QSettings(QStringLiteral("BRENVIK"), QStringLiteral("Velkor")).remove(QStringLiteral("Update/AnnouncedBuild"));
    // The package's program in /usr/bin: a name no file there has, so that nothing of the system is touched.
    const QString installedDir = QStringLiteral("/usr/bin");
    const QString name = QStringLiteral("velkor-not-installed-%1").arg(QCoreApplication::applicationPid());
    EXPECT_FALSE(CanReplaceProgram(installedDir));
    EXPECT_TRUE(CanReplaceProgram(programDir_.path()));

    for (const int start : {1, 2}) {
        SCOPED_TRACE(start);
        ScriptedDialogs dialogs;
        EXPECT_FALSE(RunUpdateCheck(installedDir, name, server.Host(), kRemotePath));
        if (start == 1) {
            ASSERT_EQ(dialogs.Messages().size(), 1);
            EXPECT_TRUE(dialogs.Messages().front().startsWith(
                QStringLiteral("Auf dem Update-Server liegt eine neuere Version von Velkor (vom 04.05.2024).")));
            EXPECT_TRUE(
                dialogs.Messages().front().contains(QStringLiteral("die IT installiert das Update mit dem Paket")));
        } else {
            EXPECT_TRUE(dialogs.Messages().isEmpty()) << "told a second time";
        }
        EXPECT_FALSE(QFile::exists(installedDir + QLatin1Char('/') + name + QStringLiteral(".upd")));
    }

    // A later build is told again.
    server.PutFile(kRemotePath, kNewBuild, kNextDay.addDays(1));
    ScriptedDialogs dialogs;
    EXPECT_FALSE(RunUpdateCheck(installedDir, name, server.Host(), kRemotePath));
    EXPECT_EQ(dialogs.Messages().size(), 1);
    QSettings(QStringLiteral("BRENVIK"), QStringLiteral("Velkor")).remove(QStringLiteral("Update/AnnouncedBuild"));
}

TEST_F(SelfUpdateCheckTest, UpdateEnabledFalseTurnsTheCheckOff) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, kNewBuild, kNextDay);
    const QByteArray savedHost = qgetenv("VELKOR_UPDATE_HOST");
    qputenv("VELKOR_UPDATE_HOST", server.Host().toUtf8());
    for (const auto& [enabled, asked] : {std::pair{"false", false}, std::pair{"true", true}}) {
        SCOPED_TRACE(enabled);
        qputenv("VELKOR_UPDATE_ENABLED", enabled);
        ScriptedDialogs dialogs;
        if (asked) {
            dialogs.QueueAnswer(MsgAnswer::No);
        }
        EXPECT_FALSE(RunUpdateCheck());
        // The test program's folder holds no "velkor": any build on the server is newer, so a check asks.
        EXPECT_EQ(dialogs.Messages().contains(kQuestion), asked) << dialogs.Messages().join('|').toStdString();
    }
    qunsetenv("VELKOR_UPDATE_ENABLED");
    qputenv("VELKOR_UPDATE_HOST", savedHost);
}
