#include "shell/EventLog.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char kEventLogSource[] = "BRENVIK Velkor Tool";

namespace {

bool CanConnect(int type) {
    const int fd = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, _PATH_LOG, sizeof(address.sun_path) - 1);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return connected;
}

// glibc's syslog does not tell whether the entry arrived: it drops it silently when no logger
// listens. The same connection it makes (datagram first, stream when the logger only offers that)
// is tried here, so that a missing logger is reported as a failure instead of a success.
bool SystemLoggerListens() {
    if (CanConnect(SOCK_DGRAM)) {
        return true;
    }
    return errno == EPROTOTYPE && CanConnect(SOCK_STREAM);
}

}  // namespace

QString EventLogText(const QString& message) {
    return QStringLiteral("...\r\n") + message;
}

QByteArray EventLogEntry(quint16 eventId, quint16 category, const QString& text) {
    QByteArray entry = "[EventID " + QByteArray::number(eventId);
    if (category != 0) {
        entry += ", Category " + QByteArray::number(category);
    }
    return entry + "] " + text.toUtf8();
}

int EventLogLevel(quint16 type) {
    switch (type) {
        case kEventLogTypeError:
            return LOG_ERR;
        case kEventLogTypeWarning:
            return LOG_WARNING;
        default:
            return LOG_INFO;
    }
}

bool WriteEventLog(const QString& source, quint16 type, quint16 eventId, quint16 category, QString& message) {
    message = EventLogText(message);
    if (!SystemLoggerListens()) {
        return false;
    }
    // openlog keeps the pointer to the identifier until closelog, so it must outlive both calls.
    const QByteArray identifier = source.toUtf8();
    const QByteArray entry = EventLogEntry(eventId, category, message);
    ::openlog(identifier.isEmpty() ? nullptr : identifier.constData(), 0, LOG_USER);
    ::syslog(LOG_USER | EventLogLevel(type), "%s", entry.constData());
    ::closelog();
    return true;
}

bool LogEvent(const QString& message) {
    QString text = message;
    return WriteEventLog(QString::fromLatin1(kEventLogSource), kEventLogTypeInformation, kEventLogEventId,
                         kEventLogCategory, text);
}
