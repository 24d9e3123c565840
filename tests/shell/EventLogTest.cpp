#include "shell/EventLog.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>

namespace {

sockaddr_un LogAddress() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, _PATH_LOG, sizeof(address.sun_path) - 1);
    return address;
}

// True when the log path is free, or holds a socket that nobody listens on: the remains of a test
// run that crashed while it held the path. Anything else belongs to the machine's system logger.
bool LogPathUnclaimed() {
    struct stat info {};
    if (::lstat(_PATH_LOG, &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISSOCK(info.st_mode)) {
        return false;
    }
    const int probe = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = LogAddress();
    const bool refused = probe >= 0 &&
                         ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
                         errno == ECONNREFUSED;
    if (probe >= 0) {
        ::close(probe);
    }
    return refused;
}

// The system logger's end of /dev/log, played by the test: a datagram socket bound at the path that
// glibc's syslog writes to. It only exists when the machine has no logger of its own there.
class OwnSystemLogSocket {
public:
    OwnSystemLogSocket() {
        if (!LogPathUnclaimed()) {
            unavailable_ = std::string(_PATH_LOG) + " exists and belongs to this machine's system logger";
            return;
        }
        ::unlink(_PATH_LOG);
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int passCredentials = 1;
        const sockaddr_un address = LogAddress();
        if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_PASSCRED, &passCredentials, sizeof(passCredentials)) != 0 ||
            ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
            unavailable_ = std::string("cannot bind a socket at ") + _PATH_LOG + ": " + std::strerror(errno);
            if (fd_ >= 0) {
                ::close(fd_);
                fd_ = -1;
            }
            return;
        }
        bound_ = true;
    }

    ~OwnSystemLogSocket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (bound_) {
            ::unlink(_PATH_LOG);
        }
    }

    OwnSystemLogSocket(const OwnSystemLogSocket&) = delete;
    OwnSystemLogSocket& operator=(const OwnSystemLogSocket&) = delete;

    // Empty when the socket is ready; otherwise why it could not be set up.
    const std::string& Unavailable() const { return unavailable_; }

    // The next entry that this process sent, skipping entries of other programs that happen to log
    // while the socket is bound. Empty when none arrives within a second.
    QByteArray ReceiveOwnEntry() {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 1000) {
            pollfd ready{fd_, POLLIN, 0};
            if (::poll(&ready, 1, static_cast<int>(1000 - waited.elapsed())) <= 0) {
                continue;
            }
            char data[4096];
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
            iovec buffer{data, sizeof(data)};
            msghdr header{};
            header.msg_iov = &buffer;
            header.msg_iovlen = 1;
            header.msg_control = control;
            header.msg_controllen = sizeof(control);
            const ssize_t size = ::recvmsg(fd_, &header, 0);
            if (size < 0) {
                continue;
            }
            for (cmsghdr* part = CMSG_FIRSTHDR(&header); part != nullptr; part = CMSG_NXTHDR(&header, part)) {
                if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SCM_CREDENTIALS) {
                    ucred sender{};
                    std::memcpy(&sender, CMSG_DATA(part), sizeof(sender));
                    if (sender.pid == ::getpid()) {
                        return QByteArray(data, static_cast<int>(size));
                    }
                }
            }
        }
        return QByteArray();
    }

private:
    int fd_ = -1;
    bool bound_ = false;
    std::string unavailable_;
};

// One syslog datagram as glibc sends it: "<priority>timestamp identifier: text".
struct SyslogEntry {
    int priority = -1;
    QString identifier;
    QByteArray text;
};

SyslogEntry ParseEntry(const QByteArray& datagram) {
    static const QRegularExpression header(QStringLiteral("^<(\\d+)>\\w{3} [ \\d]\\d \\d\\d:\\d\\d:\\d\\d ([^:]*): "));
    const QRegularExpressionMatch match = header.match(QString::fromUtf8(datagram));
    SyslogEntry entry;
    if (match.hasMatch()) {
        entry.priority = match.captured(1).toInt();
        entry.identifier = match.captured(2);
        entry.text = datagram.mid(match.captured(0).toUtf8().size());
    }
    return entry;
}

}  // namespace

TEST(EventLogTest, EntryTextCarriesEventIdMarkerAndTwoLines) {
    EXPECT_EQ(EventLogText(QStringLiteral("FormMain Load")), QStringLiteral("...\r\nFormMain Load"));
    EXPECT_EQ(EventLogText(QString()), QStringLiteral("...\r\n"));

    EXPECT_EQ(EventLogEntry(1, 0, QStringLiteral("...\r\nFormMain Load")),
              QByteArray("[EventID 1] ...\r\nFormMain Load"));
    EXPECT_EQ(EventLogEntry(7, 3, QStringLiteral("...\r\n")), QByteArray("[EventID 7, Category 3] ...\r\n"));
    EXPECT_EQ(EventLogEntry(1, 0, QStringLiteral("Prüfung")), QByteArray("[EventID 1] Pr\xc3\xbc"
                                                                         "fung"));

    EXPECT_EQ(EventLogLevel(kEventLogTypeInformation), LOG_INFO);
    EXPECT_EQ(EventLogLevel(kEventLogTypeError), LOG_ERR);
    EXPECT_EQ(EventLogLevel(kEventLogTypeWarning), LOG_WARNING);
    EXPECT_EQ(EventLogLevel(8), LOG_INFO);
}

TEST(EventLogTest, WithoutSystemLoggerNothingIsWrittenAndFalseReturned) {
    if (!LogPathUnclaimed()) {
        GTEST_SKIP() << _PATH_LOG << " exists and belongs to this machine's system logger";
    }
    QString message = QStringLiteral("FormMain Unload");
    EXPECT_FALSE(WriteEventLog(QString::fromLatin1(kEventLogSource), kEventLogTypeInformation, 1, 0, message));
    EXPECT_EQ(message, QStringLiteral("...\r\nFormMain Unload")) << "the prefix is written back also on failure";
    EXPECT_FALSE(LogEvent(QStringLiteral("FormMain Unload Done")));
}

TEST(EventLogTest, LogEventWritesInformationEntryWithEventIdOne) {
    OwnSystemLogSocket logger;
    if (!logger.Unavailable().empty()) {
        GTEST_SKIP() << logger.Unavailable();
    }

    ASSERT_TRUE(LogEvent(QStringLiteral("FormMain Load")));
    SyslogEntry entry = ParseEntry(logger.ReceiveOwnEntry());
    EXPECT_EQ(entry.priority, 14) << "facility user, informational level";
    EXPECT_EQ(entry.identifier, QStringLiteral("BRENVIK Velkor Tool"));
    EXPECT_EQ(entry.text, QByteArray("[EventID 1] ...\r\nFormMain Load"));

    ASSERT_TRUE(LogEvent(QString()));
    entry = ParseEntry(logger.ReceiveOwnEntry());
    EXPECT_EQ(entry.priority, 14);
    EXPECT_EQ(entry.text, QByteArray("[EventID 1] ...\r\n")) << "an empty message still gets the \"...\" line";
}

TEST(EventLogTest, WriteEventLogPassesTypeCategoryAndTextVerbatim) {
    OwnSystemLogSocket logger;
    if (!logger.Unavailable().empty()) {
        GTEST_SKIP() << logger.Unavailable();
    }

    // Percent signs must not be taken as format directives, and umlauts arrive as UTF-8.
    QString message = QStringLiteral("Größe 100% %s %n");
    ASSERT_TRUE(WriteEventLog(QStringLiteral("Velkor Prüfplatz"), kEventLogTypeWarning, 9, 2, message));
    EXPECT_EQ(message, QStringLiteral("...\r\nGröße 100% %s %n"));
    const SyslogEntry entry = ParseEntry(logger.ReceiveOwnEntry());
    EXPECT_EQ(entry.priority, 12) << "facility user, warning level";
    EXPECT_EQ(entry.identifier, QStringLiteral("Velkor Prüfplatz"));
    EXPECT_EQ(entry.text, QByteArray("[EventID 9, Category 2] ...\r\n") + QStringLiteral("Größe 100% %s %n").toUtf8());
}
