#include "shell/EventLog.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

namespace {

// The test plays the system logger: a datagram socket of its own, where the event log is pointed.
class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath(QStringLiteral("log.sock")).toLocal8Bit();
        qputenv("VELKOR_EVENT_LOG_SOCKET", path_);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path_.size(), static_cast<int>(sizeof(address.sun_path)));
        std::memcpy(address.sun_path, path_.constData(), static_cast<size_t>(path_.size()));
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int passCredentials = 1;
        ASSERT_EQ(::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &passCredentials, sizeof(passCredentials)), 0);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0) << std::strerror(errno);
        socket_ = fd;
    }
    void TearDown() override {
        StopLogger();
        qunsetenv("VELKOR_EVENT_LOG_SOCKET");
    }

    void StopLogger() {
        if (socket_ >= 0) {
            ::close(socket_);
            ::unlink(path_.constData());
            socket_ = -1;
        }
    }

    // The next entry that this process sent, with the time stamp ("<14>May  4 12:34:56 ...") taken out.
    // Empty when none arrives within a second.
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

    QTemporaryDir folder_;
    QByteArray path_;
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

TEST_F(EventLogTest, ALoggerThatDoesNotReadCostsEntriesNeverAWait) {
    const int small = 1;
    ASSERT_EQ(::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small)), 0);
    int refused = 0;
    for (int entry = 0; entry < 500; ++entry) {
        refused += LogEvent(QStringLiteral("FormMain Active")) ? 0 : 1;
    }
    EXPECT_GT(refused, 0) << "the queue of a logger that does not read never filled";
}
