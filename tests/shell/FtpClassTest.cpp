#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "shell/FileDates.h"
#include "shell/FtpClass.h"
#include "shell/FtpErrorText.h"
#include "tests/shell/FtpTestServer.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

const QString kRemotePath = QStringLiteral("/pub/TOOLS/Velkor/Velkor.exe");

class FtpClassTest : public ::testing::Test {
protected:
    void TearDown() override { RestoreAllCursors(); }

    QTemporaryDir local_;
};

}  // namespace

TEST(FtpErrorText, TableTextsAreExactAndUnknownNumbersHaveNone) {
    EXPECT_EQ(FtpErrorText(12002), "The request has timed out.");
    EXPECT_EQ(FtpErrorText(12006), "URL scheme could not be recognized, or is not supported.");
    EXPECT_EQ(FtpErrorText(12011), "The request option can not be set, only queried. ");
    EXPECT_EQ(FtpErrorText(12013),
              "Request to connect and login to an FTP server could notbe completed because the supplied user name is "
              "incorrect.");
    EXPECT_EQ(FtpErrorText(12014),
              "Request to connect and login to an FTP server could not be completed because the supplied password is "
              "incorrect. ");
    EXPECT_EQ(FtpErrorText(12029), "The attempt to connect to the server failed.");
    EXPECT_EQ(FtpErrorText(12036), "The request failed because the handle already exists.");
    for (long unknown : {0L, 12032L, 12035L, 12037L, -1L}) {
        EXPECT_EQ(FtpErrorText(unknown), "Error details not available.") << unknown;
    }
}

TEST(FtpErrorText, ServerRefusalShowsTheServersResponse) {
    EXPECT_EQ(FtpErrorText(12003, QStringLiteral("550 Not enough privileges.")), "550 Not enough privileges.");
    EXPECT_EQ(FtpErrorText(12003, QStringLiteral("550 Gone") + QChar(u'\0') + QStringLiteral("junk")), "550 Gone");
    EXPECT_EQ(FtpErrorText(12003), "Extended error returned from server.");
    EXPECT_EQ(FtpErrorText(12003, QString(256, QLatin1Char('x'))), "Extended error returned from server.");
    EXPECT_EQ(FtpErrorText(12003, QString(255, QLatin1Char('x'))), QString(255, QLatin1Char('x')));
}

TEST_F(FtpClassTest, ConnectLogsInAnonymouslyAndShowsTheWaitCursor) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    EXPECT_TRUE(ftp.IsConnected());
    EXPECT_EQ(ftp.HostName(), server.Host());
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

TEST_F(FtpClassTest, LoginRefusedByTheServerIsShownOnce) {
    FtpTestServer server({QStringLiteral("--no-anonymous")});
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, "x", QDateTime::currentDateTime());
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(kRemotePath)));
    EXPECT_EQ(dialogs.Messages(), QStringList{"Request to connect to and login to an FTP server failed."});
}

TEST_F(FtpClassTest, RemoteDateIsTheServersTimeInLocalTimeWithSeconds) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    const QDateTime written(QDate(2024, 5, 4), QTime(0, 1, 37), Qt::LocalTime);
    server.PutFile(kRemotePath, "build", written);
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    const QDateTime remote = ftp.GetFileDate(kRemotePath);
    EXPECT_EQ(remote, written);
    EXPECT_EQ(remote.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(remote.time(), QTime(0, 1, 37));
    // A path without the leading slash is taken from the login folder, which is the root here.
    EXPECT_EQ(ftp.GetFileDate(kRemotePath.mid(1)), written);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FtpClassTest, MissingRemoteFileIsReportedAndNeverDownloaded) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(QStringLiteral("/pub/TOOLS/Velkor/Other.exe"), "x", QDateTime::currentDateTime());
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    ASSERT_TRUE(ftp.IsConnected());
    EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(kRemotePath)));
    EXPECT_EQ(dialogs.Messages(), QStringList{"FTP: /pub/TOOLS/Velkor/Velkor.exe\r\nFile not found."});

    // A folder is no file, with or without a trailing slash.
    dialogs.Clear();
    EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(QStringLiteral("/pub/TOOLS/Velkor"))));
    EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(QStringLiteral("/pub/TOOLS/Velkor/"))));
    EXPECT_EQ(dialogs.Messages(),
              (QStringList{"FTP: /pub/TOOLS/Velkor\r\nFile not found.", "FTP: /pub/TOOLS/Velkor/\r\nFile not found."}));

    dialogs.Clear();
    const QString target = local_.filePath(QStringLiteral("velkor.upd"));
    EXPECT_FALSE(ftp.DownloadFile(kRemotePath, target));
    EXPECT_FALSE(ftp.DownloadFile(QStringLiteral("/pub/TOOLS/Velkor/"), target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FtpClassTest, DownloadIsByteExactAndReplacesAStaleFile) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    const QByteArray build = BinaryContent(300000, 3);
    server.PutFile(kRemotePath, build, QDateTime::currentDateTime());
    const QString target = local_.filePath(QStringLiteral("velkor.upd"));
    WriteFileWithTime(target, BinaryContent(500000, 9), QDateTime::currentDateTime());

    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    ASSERT_TRUE(ftp.DownloadFile(kRemotePath, target));
    EXPECT_EQ(ReadWholeFile(target), build);
    EXPECT_EQ(ftp.FileSize(), build.size());
    EXPECT_TRUE(ftp.LastErrorText().isEmpty());
    // The download leaves the wait cursor of the connection as it was.
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // An empty file is a whole file too.
    server.PutFile(QStringLiteral("/empty.bin"), QByteArray(), QDateTime::currentDateTime());
    EXPECT_TRUE(ftp.DownloadFile(QStringLiteral("/empty.bin"), target));
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(QFile(target).size(), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FtpClassTest, DownloadRefusedByTheServerFailsWithItsResponse) {
    FtpTestServer server({QStringLiteral("--refuse-retrieve")});
    ASSERT_TRUE(server.IsRunning());
    const QDateTime written(QDate(2024, 5, 4), QTime(9, 0, 0), Qt::LocalTime);
    server.PutFile(kRemotePath, BinaryContent(1000, 1), written);
    const QString target = local_.filePath(QStringLiteral("velkor.upd"));

    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    EXPECT_EQ(ftp.GetFileDate(kRemotePath), written);
    EXPECT_FALSE(ftp.DownloadFile(kRemotePath, target));
    EXPECT_EQ(ftp.LastErrorText(), "550 Not enough privileges.");
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FtpClassTest, TruncatedDownloadFailsAndLeavesNoFile) {
    FtpTestServer server({QStringLiteral("--truncate")});
    ASSERT_TRUE(server.IsRunning());
    server.PutFile(kRemotePath, BinaryContent(200000, 5), QDateTime::currentDateTime());
    const QString target = local_.filePath(QStringLiteral("velkor.upd"));

    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(server.Host());
    EXPECT_FALSE(ftp.DownloadFile(kRemotePath, target));
    EXPECT_EQ(ftp.FileSize(), 200000);
    EXPECT_EQ(ftp.LastErrorText(), "The connection with the server has been terminated.");
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FtpClassTest, UnreachableServerIsShownOnceAndGivesNothing) {
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    ftp.Connect(QStringLiteral("127.0.0.1:%1").arg(ClosedLocalPort()));
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(kRemotePath)));
    EXPECT_FALSE(ftp.DownloadFile(kRemotePath, local_.filePath(QStringLiteral("velkor.upd"))));
    EXPECT_EQ(dialogs.Messages(), QStringList{"The attempt to connect to the server failed."});
}

TEST_F(FtpClassTest, SilentServerTimesOutWithinSeconds) {
    SilentListener silent;
    ScriptedDialogs dialogs;
    FTP_Class ftp;
    QElapsedTimer clock;
    clock.start();
    ftp.Connect(QStringLiteral("127.0.0.1:%1").arg(silent.Port()));
    EXPECT_LT(clock.elapsed(), 12000);
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_EQ(dialogs.Messages(), QStringList{"The request has timed out."});
}
