#include "tests/shell/FtpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

FtpTestServer::FtpTestServer(const QStringList& flags) {
    const QString script = QStringLiteral(VELKOR_SOURCE_DIR "/tests/shell/ftp_test_server.py");
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"), QStringList{script, root_.path()} + flags);
    if (!process_.waitForStarted(10000)) {
        ADD_FAILURE() << "FTP test server did not start: " << process_.errorString().toStdString();
        return;
    }
    QByteArray line;
    while (!line.contains('\n') && process_.waitForReadyRead(10000)) {
        line += process_.readAllStandardOutput();
    }
    if (line.startsWith("PORT ")) {
        port_ = line.mid(5).trimmed().toInt();
    }
    if (port_ == 0) {
        ADD_FAILURE() << "FTP test server gave no port: " << line.toStdString();
    }
}

FtpTestServer::~FtpTestServer() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

QString FtpTestServer::Host() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

void FtpTestServer::PutFile(const QString& remotePath, const QByteArray& content, const QDateTime& lastWrite) {
    const QString path = root_.path() + remotePath;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    WriteFileWithTime(path, content, lastWrite);
}

namespace {

// A socket bound to a free port on 127.0.0.1; -1 when that fails.
int BindLocalSocket(int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

SilentListener::SilentListener() {
    socket_ = BindLocalSocket(&port_);
    if (socket_ < 0 || ::listen(socket_, 8) != 0) {
        ADD_FAILURE() << "no listening socket on 127.0.0.1";
    }
}

SilentListener::~SilentListener() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

int ClosedLocalPort() {
    int port = 0;
    const int fd = BindLocalSocket(&port);  // bound, never listening: connections are refused
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

void WriteFileWithTime(const QString& path, const QByteArray& content, const QDateTime& lastWrite) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
    file.flush();
    ASSERT_TRUE(file.setFileTime(lastWrite, QFileDevice::FileModificationTime)) << path.toStdString();
    file.close();
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

QByteArray BinaryContent(int size, char seed) {
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i) {
        bytes.append(static_cast<char>((i * 7 + seed) & 0xFF));
        if (i % 97 == 0) {
            bytes.append("\r\n\n\r");
        }
    }
    return bytes.left(size);
}

void RestoreAllCursors() {
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}
