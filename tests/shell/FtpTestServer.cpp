#include "tests/shell/FtpTestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

FtpTestServer::FtpTestServer(const QStringList& flags) {
    const QString script = QStringLiteral(VELKOR_SOURCE_DIR "/tests/shell/ftp_test_server.py");
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"), QStringList{script, root_.path()} + flags);
    QByteArray line;
    while (!line.contains('\n') && process_.waitForReadyRead(10000)) {
        line += process_.readAllStandardOutput();
    }
    port_ = line.startsWith("PORT ") ? line.mid(5).trimmed().toInt() : 0;
    EXPECT_NE(port_, 0) << "FTP test server gave no port: " << process_.errorString().toStdString() << " "
                        << line.toStdString();
}

FtpTestServer::~FtpTestServer() {
    process_.kill();
    process_.waitForFinished(5000);
}

void FtpTestServer::PutFile(const QString& remotePath, const QByteArray& content, const QDateTime& lastWrite) {
    const QString path = root_.path() + remotePath;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    WriteFileWithTime(path, content, lastWrite);
}

void WriteFileWithTime(const QString& path, const QByteArray& content, const QDateTime& lastWrite) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
    file.flush();
    ASSERT_TRUE(file.setFileTime(lastWrite, QFileDevice::FileModificationTime)) << path.toStdString();
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray BinaryContent(int size, char seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 7 + seed);
    }
    return bytes;
}

void RestoreAllCursors() {
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}
