#include "tests/support/FaultRelay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <cstring>
#include <deque>
#include <list>
#include <vector>

namespace {

enum Count { kConnections, kResetConnections, kDelayedPackets, kBlackholeWindows, kCommitsDropped, kAnswersLost };

// A packet larger than this is no query of the program's: the stream is forwarded unread from there on.
constexpr int kLargestParsedPacket = 1 << 20;

struct Chunk {
    qint64 dueMs;
    QByteArray bytes;
};

// One client connection and its connection to the server.
struct Link {
    int client = -1, server = -1;
    QByteArray fromClient;  // the start of a client packet not yet whole
    bool unparsed = false;  // a packet too large to be a query was seen: forwarded as it comes
    bool swallowAnswer = false;
    std::deque<Chunk> toServer, toClient;
};

void Close(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void CloseLink(Link& link) {
    Close(link.client);
    Close(link.server);
}

// Writes all bytes to a non-blocking socket, waiting at most a few seconds for room; false when it failed.
bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    for (int waits = 0; done < bytes.size() && waits < 500;) {
        const ssize_t n = ::send(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLOUT, 0};
            ::poll(&wait, 1, 10);
            ++waits;
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

void NonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int ConnectTo(const QString& target) {
    int fd = -1;
    if (target.startsWith(QLatin1Char('/'))) {
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = target.toLocal8Bit();
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            Close(fd);
        }
    } else {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(target.section(QLatin1Char(':'), -1).toUInt()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            Close(fd);
        }
    }
    if (fd >= 0) {
        NonBlocking(fd);
    }
    return fd;
}

// Whether a whole client packet (header and payload) is the query COMMIT, as the ODBC driver sends it.
bool IsCommit(const QByteArray& packet) {
    if (packet.size() < 5 || static_cast<unsigned char>(packet[4]) != 0x03) {
        return false;
    }
    QByteArray text = packet.mid(5).trimmed().toUpper();
    if (text.endsWith(';')) {
        text.chop(1);
    }
    return text.trimmed() == "COMMIT";
}

}  // namespace

FaultRelay::FaultRelay(const QString& target) : target_(target) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Close(listener_);
        return;
    }
    port_ = ntohs(address.sin_port);
    NonBlocking(listener_);
    thread_ = std::thread([this] { Loop(); });
}

FaultRelay::~FaultRelay() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    Close(listener_);
}

void FaultRelay::SetMode(Mode mode, int delayMs) {
    delayMs_ = delayMs;
    mode_ = static_cast<int>(mode);
}

FaultRelay::Counts FaultRelay::Counted() const {
    return {counts_[kConnections].load(),      counts_[kResetConnections].load(), counts_[kDelayedPackets].load(),
            counts_[kBlackholeWindows].load(), counts_[kCommitsDropped].load(),   counts_[kAnswersLost].load()};
}

const char* FaultRelay::ModeName(Mode mode) {
    static const char* const kNames[] = {
        "pass", "delay", "blackhole", "reset", "drop-before-commit", "drop-after-commit-reply"};
    return kNames[static_cast<int>(mode)];
}

void FaultRelay::Loop() {
    std::list<Link> links;
    QElapsedTimer clock;
    clock.start();
    Mode previous = Mode::Pass;
    std::vector<pollfd> fds;
    std::vector<std::pair<Link*, bool>> owners;  // the link of each polled socket, and whether it is the client's
    while (!stop_) {
        const Mode mode = CurrentMode();
        if (mode == Mode::Reset) {
            for (Link& link : links) {
                CloseLink(link);
                ++counts_[kResetConnections];
            }
            links.clear();
            int expected = static_cast<int>(Mode::Reset);
            mode_.compare_exchange_strong(expected, static_cast<int>(Mode::Pass));
            continue;
        }
        if (mode == Mode::Blackhole && previous != Mode::Blackhole && !links.empty()) {
            ++counts_[kBlackholeWindows];
        }
        previous = mode;
        const bool holding = mode == Mode::Blackhole;
        fds.assign(1, pollfd{listener_, POLLIN, 0});
        owners.assign(1, {nullptr, false});
        if (!holding) {
            for (Link& link : links) {
                fds.push_back({link.client, POLLIN, 0});
                owners.emplace_back(&link, true);
                fds.push_back({link.server, POLLIN, 0});
                owners.emplace_back(&link, false);
            }
        }
        ::poll(fds.data(), fds.size(), 5);
        const qint64 now = clock.elapsed();
        const qint64 due = now + (mode == Mode::Delay ? delayMs_.load() : 0);
        if (fds[0].revents & POLLIN) {
            for (int client = ::accept(listener_, nullptr, nullptr); client >= 0;
                 client = ::accept(listener_, nullptr, nullptr)) {
                ++counts_[kConnections];
                NonBlocking(client);
                Link link;
                link.client = client;
                link.server = ConnectTo(target_);
                if (link.server < 0) {
                    CloseLink(link);  // the server is gone: the client's connection ends at once
                } else {
                    links.push_back(std::move(link));
                }
            }
        }
        for (size_t i = 1; i < fds.size(); ++i) {
            Link& link = *owners[i].first;
            if (fds[i].revents == 0 || link.client < 0) {
                continue;
            }
            const bool fromClient = owners[i].second;
            char buffer[65536];
            const ssize_t n = ::recv(fromClient ? link.client : link.server, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                    continue;
                }
                CloseLink(link);  // one side ended: so does the other
                continue;
            }
            if (!fromClient) {
                if (link.swallowAnswer) {
                    ++counts_[kAnswersLost];
                    CloseLink(link);
                    continue;
                }
                link.toClient.push_back({due, QByteArray(buffer, static_cast<qsizetype>(n))});
                counts_[kDelayedPackets] += mode == Mode::Delay ? 1 : 0;
                continue;
            }
            if (link.unparsed) {
                link.toServer.push_back({due, QByteArray(buffer, static_cast<qsizetype>(n))});
                continue;
            }
            link.fromClient.append(buffer, static_cast<qsizetype>(n));
            while (link.fromClient.size() >= 4 && link.client >= 0) {
                const auto* header = reinterpret_cast<const unsigned char*>(link.fromClient.constData());
                const int length = header[0] | (header[1] << 8) | (header[2] << 16);
                if (length > kLargestParsedPacket) {
                    link.unparsed = true;
                    link.toServer.push_back({due, link.fromClient});
                    link.fromClient.clear();
                    break;
                }
                if (link.fromClient.size() < 4 + length) {
                    break;
                }
                const QByteArray packet = link.fromClient.left(4 + length);
                link.fromClient.remove(0, 4 + length);
                int expected = static_cast<int>(mode);
                if (IsCommit(packet) && mode == Mode::DropBeforeCommit &&
                    mode_.compare_exchange_strong(expected, static_cast<int>(Mode::Pass))) {
                    ++counts_[kCommitsDropped];
                    CloseLink(link);
                    break;
                }
                if (IsCommit(packet) && mode == Mode::DropAfterCommitReply &&
                    mode_.compare_exchange_strong(expected, static_cast<int>(Mode::Pass))) {
                    link.swallowAnswer = true;
                }
                link.toServer.push_back({due, packet});
                counts_[kDelayedPackets] += mode == Mode::Delay ? 1 : 0;
            }
        }
        if (!holding) {
            for (Link& link : links) {
                for (auto [queue, fd] :
                     {std::pair{&link.toServer, link.server}, std::pair{&link.toClient, link.client}}) {
                    while (link.client >= 0 && !queue->empty() && queue->front().dueMs <= now) {
                        if (!WriteAll(fd, queue->front().bytes)) {
                            CloseLink(link);
                            break;
                        }
                        queue->pop_front();
                    }
                }
            }
        }
        links.remove_if([](const Link& link) { return link.client < 0; });
    }
    for (Link& link : links) {
        CloseLink(link);
    }
}
