#include "shell/EventLog.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const sockaddr_un kLogAddress = [] {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, _PATH_LOG, sizeof(address.sun_path) - 1);
    return address;
}();

// True when no system logger receives at /dev/log: nothing is there, or only the socket that a test
// run left when it crashed.
bool NoSystemLogger() {
    struct stat info {};
    if (::lstat(_PATH_LOG, &info) != 0) {
        return errno == ENOENT;
    }
    const int probe = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const bool refused = S_ISSOCK(info.st_mode) &&
                         ::connect(probe, reinterpret_cast<const sockaddr*>(&kLogAddress), sizeof(kLogAddress)) != 0 &&
                         errno == ECONNREFUSED;
    ::close(probe);
    return refused;
}

// The test plays the system logger: a datagram socket bound at /dev/log, where glibc's syslog writes.
class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!NoSystemLogger()) {
            GTEST_SKIP() << _PATH_LOG << " belongs to this machine's system logger";
        }
        ::unlink(_PATH_LOG);
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int passCredentials = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &passCredentials, sizeof(passCredentials)) != 0 ||
            ::bind(fd, reinterpret_cast<const sockaddr*>(&kLogAddress), sizeof(kLogAddress)) != 0) {
            const std::string error = std::strerror(errno);
            ::close(fd);
            GTEST_SKIP() << "cannot bind a socket at " << _PATH_LOG << ": " << error;
        }
        socket_ = fd;
    }
    void TearDown() override { StopLogger(); }

    void StopLogger() {
        if (socket_ >= 0) {
            ::close(socket_);
            ::unlink(_PATH_LOG);
            socket_ = -1;
        }
    }

    // The next entry that this process sent (other programs may log meanwhile), with glibc's time
    // stamp ("<14>May  4 12:34:56 ...") taken out. Empty when none arrives within a second.
    QString ReceiveOwnEntry() const {
        pollfd ready{socket_, POLLIN, 0};
        while (::poll(&ready, 1, 1000) > 0) {
            char data[4096];
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
            iovec buffer{data, sizeof(data)};
            msghdr header{nullptr, 0, &buffer, 1, control, sizeof(control), 0};
            const ssize_t size = ::recvmsg(socket_, &header, 0);
            const cmsghdr* part = CMSG_FIRSTHDR(&header);
            ucred sender{};
            if (size >= 0 && part != nullptr && part->cmsg_type == SCM_CREDENTIALS) {
                std::memcpy(&sender, CMSG_DATA(part), sizeof(sender));
            }
            if (sender.pid == ::getpid()) {
                QString entry = QString::fromUtf8(data, static_cast<int>(size));
                return entry.remove(entry.indexOf(QLatin1Char('>')) + 1, 16);
            }
        }
        return QString();
    }

    int socket_ = -1;
};

}  // namespace

TEST_F(EventLogTest, EntriesReachTheSystemLoggerWithPriorityIdentifierAndEventId) {
    ASSERT_TRUE(LogEvent(QStringLiteral("FormMain Load")));
    EXPECT_EQ(ReceiveOwnEntry(), QStringLiteral("<14>BRENVIK Velkor Tool: [EventID 1] ...\r\nFormMain Load"));
    ASSERT_TRUE(LogEvent(QString()));
    EXPECT_EQ(ReceiveOwnEntry(), QStringLiteral("<14>BRENVIK Velkor Tool: [EventID 1] ...\r\n"));

    // Percent signs are no format directives; source, type and category are passed on.
    QString message = QStringLiteral("Größe 100% %s %n");
    ASSERT_TRUE(WriteEventLog(QStringLiteral("Velkor Prüfplatz"), kEventLogTypeWarning, 9, 2, message));
    EXPECT_EQ(message, QStringLiteral("...\r\nGröße 100% %s %n"));
    EXPECT_EQ(ReceiveOwnEntry(),
              QStringLiteral("<12>Velkor Prüfplatz: [EventID 9, Category 2] ...\r\nGröße 100% %s %n"));
}

TEST_F(EventLogTest, WithoutASystemLoggerNothingIsWrittenAndFalseReturned) {
    StopLogger();
    QString message = QStringLiteral("FormMain Unload");
    EXPECT_FALSE(WriteEventLog(QString::fromLatin1(kEventLogSource), kEventLogTypeInformation, 1, 0, message));
    EXPECT_EQ(message, QStringLiteral("...\r\nFormMain Unload")) << "the prefix is written back also on failure";
    EXPECT_FALSE(LogEvent(QStringLiteral("FormMain Unload Done")));
}
