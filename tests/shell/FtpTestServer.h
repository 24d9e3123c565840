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
    // flags: "--refuse-retrieve", "--truncate", "--no-anonymous", "--silent", "--closed" (see ftp_test_server.py).
    explicit FtpTestServer(const QStringList& flags = {});
    ~FtpTestServer();

    bool IsRunning() const { return port_ != 0; }
    QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

    // Puts a file on the server with the given last-write time.
    void PutFile(const QString& remotePath, const QByteArray& content, const QDateTime& lastWrite);

private:
    QTemporaryDir root_;
    QProcess process_;
    int port_ = 0;
};

// Writes a local file and sets its last-write time; fails the test when that does not work.
void WriteFileWithTime(const QString& path, const QByteArray& content, const QDateTime& lastWrite);

QByteArray ReadWholeFile(const QString& path);

// Bytes of every value 0..255, line ends among them, so that any text-mode conversion shows.
QByteArray BinaryContent(int size, char seed);

// Pops every override cursor the code under test left set.
void RestoreAllCursors();
