#pragma once

#include <QDateTime>
#include <QString>

// The update client: an anonymous FTP session (empty password, passive mode) with one server.
// Every call is synchronous; a server that does not answer within a few seconds counts as
// unreachable.
class FTP_Class {
public:
    FTP_Class();
    ~FTP_Class();
    FTP_Class(const FTP_Class&) = delete;
    FTP_Class& operator=(const FTP_Class&) = delete;

    // Logs in to the server ("host" or "host:port", port 21 by default) and shows the wait cursor.
    // A failed login is shown in a message box with the error text.
    void Connect(const QString& hostName);

    // The remote file's last-write time in local time, read from the server without a transfer.
    // Without a connection: the zero date-time. A file the server does not know is shown as
    // "FTP: <path>", a line break and "File not found.", and gives the zero date-time.
    QDateTime GetFileDate(const QString& remotePath);

    // Fetches the remote file in binary to localPath, replacing what is there. True only when the
    // file arrived whole: a transfer that ends with fewer or more bytes than the server announced
    // counts as failed, and so does a file whose size the server does not tell. A transfer that
    // fails removes what it had written to localPath and sets LastErrorText. Without a connection,
    // or when the server does not know the file, nothing is fetched and no message is shown.
    bool DownloadFile(const QString& remotePath, const QString& localPath);

    const QString& HostName() const { return hostName_; }
    bool IsConnected() const { return connected_; }
    double FileSize() const { return fileSize_; }  // of the last file looked up for a download
    const QString& LastErrorText() const { return lastErrorText_; }

private:
    // Directory entry of a remote file as the server tells it.
    struct RemoteEntry {
        bool found = false;
        qint64 lastWriteUtcSecs = -1;  // -1: the server gave no time
        qint64 size = -1;              // -1: the server gave no size
    };

    RemoteEntry FindRemoteFile(const QString& remotePath);
    bool TransferFile(const QString& remotePath, const QString& localPath, qint64 announcedSize);
    QString UrlFor(const QString& remotePath) const;
    void ResetRequest();
    int Perform();

    QString hostName_;
    void* session_ = nullptr;  // the libcurl handle; it keeps the control connection between calls
    bool connected_ = false;
    int transferState_ = 0;  // 3 while a download runs
    double fileSize_ = 0;
    QString lastErrorText_;
    QString lastResponse_;  // the server's last response line
};
