#include "shell/FileDates.h"

#include <QFile>

QDateTime ZeroDateTime() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0), Qt::UTC);
}

bool IsZeroDateTime(const QDateTime& value) {
    return value.date() == QDate(1899, 12, 30) && value.time() == QTime(0, 0, 0);
}

QDateTime FileTimeToDate(const QDateTime& fileTime) {
    if (!fileTime.isValid()) {
        return ZeroDateTime();
    }
    const QDateTime utc = fileTime.toUTC();
    const QTime time = utc.time();
    return QDateTime(utc.date(), QTime(time.hour(), time.minute(), time.second()), Qt::UTC);
}

QDateTime GetLocalFileDate(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return ZeroDateTime();
    }
    const QDateTime written = file.fileTime(QFileDevice::FileModificationTime);
    file.close();
    return FileTimeToDate(written);
}
