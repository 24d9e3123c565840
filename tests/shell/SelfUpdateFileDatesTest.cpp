#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "shell/FileDates.h"
#include "shell/SelfUpdate.h"
#include "tests/shell/FtpTestServer.h"

TEST(FileDates, LastWriteTimeInUniversalFieldsWithoutMillisecondsOrZeroWithoutAFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("velkor"));
    WriteFileWithTime(file, "x", QDateTime(QDate(2024, 5, 3), QTime(23, 59, 58, 750), Qt::UTC));
    EXPECT_EQ(GetLocalFileDate(file), QDateTime(QDate(2024, 5, 3), QTime(23, 59, 58), Qt::UTC));
    EXPECT_EQ(GetLocalFileDate(file).timeSpec(), Qt::UTC);
    // A time given in another zone comes out in universal fields.
    EXPECT_EQ(FileTimeToDate(QDateTime(QDate(2024, 5, 4), QTime(1, 30, 0, 999), Qt::OffsetFromUTC, 7200)),
              QDateTime(QDate(2024, 5, 3), QTime(23, 30, 0), Qt::UTC));

    for (const QString& path : {dir.filePath(QStringLiteral("missing")), QString(), dir.path()}) {
        EXPECT_TRUE(IsZeroDateTime(GetLocalFileDate(path))) << path.toStdString();
    }
    EXPECT_TRUE(IsZeroDateTime(FileTimeToDate(QDateTime())));
}

TEST(FileDates, OnlyALaterCalendarDayOnTheServerIsNewer) {
    const QDateTime local(QDate(2024, 5, 3), QTime(23, 59, 0), Qt::UTC);
    const auto remote = [](int day, const QTime& time) { return QDateTime(QDate(2024, 5, day), time, Qt::LocalTime); };
    EXPECT_FALSE(IsRemoteBuildNewer(local, remote(3, QTime(23, 59, 59))));
    EXPECT_FALSE(IsRemoteBuildNewer(local, remote(2, QTime(23, 0, 0))));
    EXPECT_TRUE(IsRemoteBuildNewer(local, remote(4, QTime(0, 1, 0))));
    EXPECT_FALSE(IsRemoteBuildNewer(local, ZeroDateTime()));  // server or file not there
    EXPECT_TRUE(IsRemoteBuildNewer(ZeroDateTime(), remote(1, QTime(0, 0, 0))));
    EXPECT_FALSE(IsRemoteBuildNewer(ZeroDateTime(), ZeroDateTime()));
}
