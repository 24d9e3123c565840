#include "shell/EventLog.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

const char kEventLogSource[] = "BRENVIK Velkor Tool";

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The syslog header as the system logger expects it: "<priority>Mmm dd hh:mm:ss identifier: ".
QByteArray SyslogHeader(int priority, const QString& source) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%s %2d %02d:%02d:%02d", kMonths[local.tm_mon], local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec);
    QByteArray header = "<" + QByteArray::number(priority) + ">" + stamp + " ";
    if (!source.isEmpty()) {
        header += source.toUtf8() + ": ";
    }
    return header;
}

// A socket connected to the logger's socket without ever waiting: a datagram socket, or a stream socket for a
// logger that only offers a stream (then type says so); -1 when no logger takes entries there.
int ConnectToLogger(int& type) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = EventLogSocketPath().toLocal8Bit();
    if (path.isEmpty() || path.size() >= static_cast<int>(sizeof(address.sun_path))) {
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    for (const int candidate : {SOCK_DGRAM, SOCK_STREAM}) {
        const int fd = ::socket(AF_UNIX, candidate | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            return -1;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
            type = candidate;
            return fd;
        }
        const bool tryStream = errno == EPROTOTYPE && candidate == SOCK_DGRAM;
        ::close(fd);
        if (!tryStream) {
            return -1;
        }
    }
    return -1;
}

// Sends one datagram (or, to a logger that only offers a stream, one zero-terminated record): a logger that is
// gone or does not keep up costs an entry, never the window. True when the whole entry was handed over.
bool SendToLogger(const QByteArray& packet) {
    int type = SOCK_DGRAM;
    const int fd = ConnectToLogger(type);
    if (fd < 0) {
        return false;
    }
    const QByteArray record = type == SOCK_STREAM ? packet + '\0' : packet;
    const ssize_t sent = ::send(fd, record.constData(), static_cast<size_t>(record.size()), MSG_NOSIGNAL);
    ::close(fd);
    return sent == record.size();
}

}  // namespace

QString EventLogSocketPath() {
    const QString configured = qEnvironmentVariable("VELKOR_EVENT_LOG_SOCKET");
    return configured.isEmpty() ? QString::fromLatin1(_PATH_LOG) : configured;
}

bool EventLogTakesEntries() {
    int type = SOCK_DGRAM;
    const int fd = ConnectToLogger(type);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

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
    return SendToLogger(SyslogHeader(LOG_USER | EventLogLevel(type), source) +
                        EventLogEntry(eventId, category, message));
}

bool LogEvent(const QString& message) {
    QString text = message;
    return WriteEventLog(QString::fromLatin1(kEventLogSource), kEventLogTypeInformation, kEventLogEventId,
                         kEventLogCategory, text);
}
