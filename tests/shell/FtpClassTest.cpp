#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <utility>

#include "shell/FileDates.h"
#include "shell/FtpClass.h"
#include "shell/FtpErrorText.h"
#include "tests/shell/FtpTestServer.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

const QString kRemotePath = QStringLiteral("/pub/TOOLS/Velkor/Velkor.exe");
const QDateTime kWritten(QDate(2024, 5, 4), QTime(0, 1, 37), Qt::LocalTime);

class FtpClassTest : public ::testing::Test {
protected:
    void TearDown() override { RestoreAllCursors(); }

    QTemporaryDir local_;
    const QString target_ = local_.filePath(QStringLiteral("velkor.upd"));
    ScriptedDialogs dialogs_;
};

}  // namespace

TEST(FtpErrorText, ServerRefusalShowsTheResponseThatFitsOthersTheirText) {
    const QString fits(255, QLatin1Char('x'));
    const QString extended = QStringLiteral("Extended error returned from server.");
    EXPECT_EQ(FtpErrorText(12003, QStringLiteral("550 Gone") + QChar(u'\0') + QStringLiteral("junk")), "550 Gone");
    EXPECT_EQ(FtpErrorText(12003, fits), fits);
    EXPECT_EQ(FtpErrorText(12003, fits + QLatin1Char('x')), extended);
    EXPECT_EQ(FtpErrorText(12003), extended);
    EXPECT_EQ(FtpErrorText(12032, QStringLiteral("550 Gone")), "Error details not available.");
}

TEST_F(FtpClassTest, SessionReadsDatesInLocalTimeDownloadsByteExactAndReportsMissingFiles) {
    FtpTestServer server;
    ASSERT_TRUE(server.IsRunning());
    const QByteArray build = BinaryContent(300000, 3);
    server.PutFile(kRemotePath, build, kWritten);
    server.PutFile(QStringLiteral("/empty.bin"), QByteArray(), kWritten);
    WriteFileWithTime(target_, BinaryContent(500000, 9), kWritten);  // a stale, longer download

    FTP_Class ftp;
    ftp.Connect(server.Host());
    ASSERT_TRUE(ftp.IsConnected());
    EXPECT_EQ(ftp.GetFileDate(kRemotePath), kWritten);
    EXPECT_EQ(ftp.GetFileDate(kRemotePath).timeSpec(), Qt::LocalTime);
    EXPECT_EQ(ftp.GetFileDate(kRemotePath.mid(1)), kWritten);  // from the login folder, the root here
    ASSERT_TRUE(ftp.DownloadFile(kRemotePath, target_));
    EXPECT_EQ(ReadWholeFile(target_), build);
    ASSERT_TRUE(ftp.DownloadFile(QStringLiteral("/empty.bin"), target_));  // an empty file is whole too
    EXPECT_TRUE(QFile::exists(target_) && QFile(target_).size() == 0);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    // A missing file is reported and never downloaded; a folder is no file, with or without a trailing slash.
    const QString otherTarget = local_.filePath(QStringLiteral("other.upd"));
    for (const QString& path : {QStringLiteral("/pub/TOOLS/Velkor/Missing.exe"), QStringLiteral("/pub/TOOLS/Velkor"),
                                QStringLiteral("/pub/TOOLS/Velkor/")}) {
        dialogs_.Clear();
        EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(path))) << path.toStdString();
        EXPECT_EQ(dialogs_.Messages(), QStringList{"FTP: " + path + "\r\nFile not found."});
        EXPECT_FALSE(ftp.DownloadFile(path, otherTarget)) << path.toStdString();
        EXPECT_FALSE(QFile::exists(otherTarget));
        EXPECT_EQ(dialogs_.Messages().size(), 1) << "the download shows no message of its own";
    }

    // Connect set the wait cursor once; the downloads left it as it was.
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FtpClassTest, RefusedOrTruncatedDownloadFailsAndLeavesNoFile) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("--refuse-retrieve"), QStringLiteral("550 Not enough privileges.")},
        {QStringLiteral("--truncate"), QStringLiteral("The connection with the server has been terminated.")},
    };
    for (const auto& [flag, expected] : cases) {
        SCOPED_TRACE(flag.toStdString());
        FtpTestServer server({flag});
        ASSERT_TRUE(server.IsRunning());
        server.PutFile(kRemotePath, BinaryContent(200000, 5), kWritten);
        FTP_Class ftp;
        ftp.Connect(server.Host());
        EXPECT_EQ(ftp.GetFileDate(kRemotePath), kWritten);
        EXPECT_FALSE(ftp.DownloadFile(kRemotePath, target_));
        EXPECT_EQ(ftp.LastErrorText(), expected);
        EXPECT_FALSE(QFile::exists(target_));
        EXPECT_TRUE(dialogs_.Messages().isEmpty());
    }
}

TEST_F(FtpClassTest, FailedConnectionIsShownOnceWithinSecondsAndGivesNothing) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("--closed"), QStringLiteral("The attempt to connect to the server failed.")},
        {QStringLiteral("--no-anonymous"), QStringLiteral("Request to connect to and login to an FTP server failed.")},
        {QStringLiteral("--silent"), QStringLiteral("The request has timed out.")},
    };
    for (const auto& [flag, expected] : cases) {
        SCOPED_TRACE(flag.toStdString());
        FtpTestServer server({flag});
        ASSERT_TRUE(server.IsRunning());
        server.PutFile(kRemotePath, "x", kWritten);
        dialogs_.Clear();
        FTP_Class ftp;
        QElapsedTimer clock;
        clock.start();
        ftp.Connect(server.Host());
        EXPECT_LT(clock.elapsed(), 12000);
        EXPECT_FALSE(ftp.IsConnected());
        EXPECT_TRUE(IsZeroDateTime(ftp.GetFileDate(kRemotePath)));
        EXPECT_FALSE(ftp.DownloadFile(kRemotePath, target_));
        EXPECT_EQ(dialogs_.Messages(), QStringList{expected});
    }
}
