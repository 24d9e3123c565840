#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server on 127.0.0.1 for the update tests (pyftpdlib, run by ftp_test_server.py), serving
// a temporary root folder that the test fills. Stopped when the object goes.
class FtpTestServer {
public:
    // flags: "--refuse-retrieve", "--truncate", "--no-anonymous" (see ftp_test_server.py).
    explicit FtpTestServer(const QStringList& flags = {});
    ~FtpTestServer();

    bool IsRunning() const { return port_ != 0; }
    QString Host() const;  // "127.0.0.1:<port>"

    // Puts a file on the server with the given last-write time.
    void PutFile(const QString& remotePath, const QByteArray& content, const QDateTime& lastWrite);
    QString RootPath() const { return root_.path(); }

private:
    QTemporaryDir root_;
    QProcess process_;
    int port_ = 0;
};

// A TCP port on 127.0.0.1 that listens and completes connections, but never sends a byte.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int Port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedLocalPort();

// Writes a local file and sets its last-write time; fails the test when that does not work.
void WriteFileWithTime(const QString& path, const QByteArray& content, const QDateTime& lastWrite);

QByteArray ReadWholeFile(const QString& path);

// Bytes of every value 0..255 and line ends, so that any text-mode conversion shows.
QByteArray BinaryContent(int size, char seed);

// Pops every override cursor the code under test left set.
void RestoreAllCursors();
