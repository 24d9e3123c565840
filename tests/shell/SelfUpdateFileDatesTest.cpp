#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "shell/FileDates.h"
#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"

TEST(FileDates, UnreadableOrMissingFileGivesTheZeroDateTime) {
    const QDateTime zero = ZeroDateTime();
    EXPECT_EQ(zero.date(), QDate(1899, 12, 30));
    EXPECT_EQ(zero.time(), QTime(0, 0, 0));
    EXPECT_TRUE(IsZeroDateTime(zero));

    QTemporaryDir dir;
    EXPECT_TRUE(IsZeroDateTime(GetLocalFileDate(dir.filePath(QStringLiteral("missing")))));
    EXPECT_TRUE(IsZeroDateTime(GetLocalFileDate(QString())));
    EXPECT_TRUE(IsZeroDateTime(GetLocalFileDate(dir.path())));  // a folder is no file

    const QString file = dir.filePath(QStringLiteral("velkor"));
    WriteFileWithTime(file, "x", QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0), Qt::UTC));
    const QDateTime early = GetLocalFileDate(file);
    EXPECT_FALSE(IsZeroDateTime(early));
    EXPECT_GT(early, zero);
}

TEST(FileDates, LastWriteTimeInUniversalFieldsWithoutMilliseconds) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("velkor"));
    WriteFileWithTime(file, "x", QDateTime(QDate(2024, 5, 3), QTime(23, 59, 58, 750), Qt::UTC));
    const QDateTime read = GetLocalFileDate(file);
    EXPECT_EQ(read.timeSpec(), Qt::UTC);
    EXPECT_EQ(read.date(), QDate(2024, 5, 3));
    EXPECT_EQ(read.time(), QTime(23, 59, 58));

    // A time given in another zone comes out in universal fields.
    const QDateTime berlinSummer(QDate(2024, 5, 4), QTime(1, 30, 0, 999), Qt::OffsetFromUTC, 7200);
    const QDateTime converted = FileTimeToDate(berlinSummer);
    EXPECT_EQ(converted.date(), QDate(2024, 5, 3));
    EXPECT_EQ(converted.time(), QTime(23, 30, 0));
    EXPECT_TRUE(IsZeroDateTime(FileTimeToDate(QDateTime())));
}

TEST(FileDates, OnlyALaterCalendarDayOnTheServerIsNewer) {
    const QDateTime local(QDate(2024, 5, 3), QTime(23, 59, 0), Qt::UTC);
    EXPECT_FALSE(IsRemoteBuildNewer(local, QDateTime(QDate(2024, 5, 3), QTime(8, 0, 0), Qt::LocalTime)));
    EXPECT_FALSE(IsRemoteBuildNewer(local, QDateTime(QDate(2024, 5, 3), QTime(23, 59, 59), Qt::LocalTime)));
    EXPECT_TRUE(IsRemoteBuildNewer(QDateTime(QDate(2024, 5, 3), QTime(0, 0, 0), Qt::UTC),
                                   QDateTime(QDate(2024, 5, 4), QTime(0, 1, 0), Qt::LocalTime)));
    EXPECT_FALSE(IsRemoteBuildNewer(local, QDateTime(QDate(2024, 5, 2), QTime(23, 0, 0), Qt::LocalTime)));
    EXPECT_FALSE(IsRemoteBuildNewer(local, ZeroDateTime()));  // server or file not there
    EXPECT_TRUE(IsRemoteBuildNewer(ZeroDateTime(), QDateTime(QDate(2000, 1, 1), QTime(), Qt::LocalTime)));
    EXPECT_FALSE(IsRemoteBuildNewer(ZeroDateTime(), ZeroDateTime()));
}
