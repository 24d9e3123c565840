#include "shell/FtpClass.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include "shell/FileDates.h"
#include "shell/FtpErrorText.h"
#include "shell/UserDialogs.h"

namespace {

// A server that takes longer than this to accept the connection or to answer a command counts as
// unreachable, so the workstation is never held up at start.
constexpr long kAnswerTimeoutSeconds = 5;
// Upper bound of a whole request that transfers no file (login, date and size of a file).
constexpr long kRequestTimeoutSeconds = 10;
// A download that moves less than one byte per second for this long has stalled.
constexpr long kStalledTransferSeconds = 15;

CURL* Handle(void* session) {
    return static_cast<CURL*>(session);
}

bool HasGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void InitLibraryOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// Keeps the last line the server sent on the control connection.
int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* target) {
    if (type == CURLINFO_HEADER_IN) {
        QString lines = QString::fromLatin1(data, static_cast<qsizetype>(size));
        while (lines.endsWith(QLatin1Char('\n')) || lines.endsWith(QLatin1Char('\r'))) {
            lines.chop(1);
        }
        if (!lines.isEmpty()) {
            *static_cast<QString*>(target) = lines.mid(lines.lastIndexOf(QLatin1Char('\n')) + 1);
        }
    }
    return 0;
}

// Takes in what the library makes of the server's answers to a lookup (its header lines), unused.
size_t OnDiscard(char*, size_t size, size_t count, void*) {
    return size * count;
}

size_t OnWrite(char* data, size_t size, size_t count, void* target) {
    const qint64 bytes = static_cast<qint64>(size * count);
    return static_cast<QFile*>(target)->write(data, bytes) == bytes ? size * count : 0;
}

}  // namespace

FTP_Class::FTP_Class() {
    InitLibraryOnce();
    session_ = curl_easy_init();
}

FTP_Class::~FTP_Class() {
    if (session_ != nullptr) {
        curl_easy_cleanup(Handle(session_));  // closes the control connection too
    }
}

void FTP_Class::Connect(const QString& hostName) {
    hostName_ = hostName;
    connected_ = false;
    if (HasGuiApplication()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    if (session_ == nullptr) {
        return;
    }
    ResetRequest();
    const QByteArray url = UrlFor(QStringLiteral("/")).toUtf8();
    curl_easy_setopt(Handle(session_), CURLOPT_URL, url.constData());
    curl_easy_setopt(Handle(session_), CURLOPT_NOBODY, 1L);
    const int result = Perform();
    if (result == CURLE_OK) {
        connected_ = true;
        return;
    }
    Dialogs().MsgBox(FtpErrorText(FtpErrorNumberForCurlCode(result), lastResponse_), MsgButtons::Ok);
}

QDateTime FTP_Class::GetFileDate(const QString& remotePath) {
    if (!connected_) {
        return ZeroDateTime();
    }
    const RemoteEntry entry = FindRemoteFile(remotePath);
    if (!entry.found) {
        Dialogs().MsgBox(
            QStringLiteral("FTP: ") + remotePath + QStringLiteral("\r\n") + QStringLiteral("File not found."),
            MsgButtons::Ok);
        return ZeroDateTime();
    }
    if (entry.lastWriteUtcSecs < 0) {
        return ZeroDateTime();
    }
    return QDateTime::fromSecsSinceEpoch(entry.lastWriteUtcSecs, Qt::LocalTime);
}

bool FTP_Class::DownloadFile(const QString& remotePath, const QString& localPath) {
    if (!connected_) {
        return false;
    }
    const RemoteEntry entry = FindRemoteFile(remotePath);
    if (!entry.found) {
        return false;
    }
    if (HasGuiApplication()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    fileSize_ = static_cast<double>(entry.size);
    transferState_ = 3;
    const bool transferred = TransferFile(remotePath, localPath, entry.size);
    transferState_ = 0;
    if (HasGuiApplication()) {
        QGuiApplication::restoreOverrideCursor();
    }
    return transferred;
}

FTP_Class::RemoteEntry FTP_Class::FindRemoteFile(const QString& remotePath) {
    RemoteEntry entry;
    // A path naming a folder has no file entry (the library would list the folder instead).
    if (remotePath.isEmpty() || remotePath.endsWith(QLatin1Char('/'))) {
        return entry;
    }
    ResetRequest();
    const QByteArray url = UrlFor(remotePath).toUtf8();
    curl_easy_setopt(Handle(session_), CURLOPT_URL, url.constData());
    curl_easy_setopt(Handle(session_), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(Handle(session_), CURLOPT_FILETIME, 1L);
    if (Perform() != CURLE_OK) {
        return entry;
    }
    curl_off_t lastWrite = -1;
    curl_off_t size = -1;
    curl_easy_getinfo(Handle(session_), CURLINFO_FILETIME_T, &lastWrite);
    curl_easy_getinfo(Handle(session_), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    entry.found = true;
    entry.lastWriteUtcSecs = lastWrite;
    entry.size = size;
    return entry;
}

bool FTP_Class::TransferFile(const QString& remotePath, const QString& localPath, qint64 announcedSize) {
    QFile file(localPath);
    if (announcedSize < 0) {
        // Without the server's size a broken-off transfer could not be told from a whole one.
        lastErrorText_ = FtpErrorText(kFtpErrorUnmapped);
        return false;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        lastErrorText_ = FtpErrorText(kFtpErrorUnmapped);
        return false;
    }
    ResetRequest();
    const QByteArray url = UrlFor(remotePath).toUtf8();
    curl_easy_setopt(Handle(session_), CURLOPT_URL, url.constData());
    curl_easy_setopt(Handle(session_), CURLOPT_WRITEFUNCTION, &OnWrite);
    curl_easy_setopt(Handle(session_), CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(Handle(session_), CURLOPT_TIMEOUT, 0L);
    curl_easy_setopt(Handle(session_), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(Handle(session_), CURLOPT_LOW_SPEED_TIME, kStalledTransferSeconds);
    // The size looked up before is the one the file must have; the library is not to ask again and decide on
    // its own (a server whose transfer ends early with a normal completion reply is caught here either way).
    curl_easy_setopt(Handle(session_), CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    int result = Perform();
    const bool flushed = file.flush();
    file.close();
    if (result == CURLE_OK && (!flushed || file.size() != announcedSize)) {
        result = flushed ? CURLE_PARTIAL_FILE : CURLE_WRITE_ERROR;
    }
    if (result != CURLE_OK) {
        lastErrorText_ = FtpErrorText(FtpErrorNumberForCurlCode(result), lastResponse_);
        file.remove();
        return false;
    }
    return true;
}

QString FTP_Class::UrlFor(const QString& remotePath) const {
    // The path goes to the server as it is ("%2F" keeps a leading slash absolute), one command per
    // request without changing the working directory.
    QString path = remotePath;
    QString prefix = QStringLiteral("/");
    if (path.startsWith(QLatin1Char('/'))) {
        path.remove(0, 1);
        prefix += QStringLiteral("%2F");
    }
    return QStringLiteral("ftp://") + hostName_ + prefix + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

void FTP_Class::ResetRequest() {
    CURL* curl = Handle(session_);
    curl_easy_reset(curl);  // keeps the live connection
    lastResponse_.clear();
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_USERPWD, "anonymous:");
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);  // plain passive mode
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kAnswerTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAnswerTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kRequestTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnDiscard);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnDiscard);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &OnDebug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &lastResponse_);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // feeds the server's responses to OnDebug
}

int FTP_Class::Perform() {
    return curl_easy_perform(Handle(session_));
}
