#pragma once

#include <QString>
#include <atomic>
#include <thread>

// A TCP relay on 127.0.0.1 in front of one database server (a Unix socket path or "host:port"), whose behaviour
// can be switched while it runs: the network between one workstation and its server, with the faults a plant's
// network has. It runs in a thread of its own, so a program blocked in a database call on the other side of it
// still sees every fault. It reads the MySQL protocol of the client's side (3-byte length, 1-byte sequence,
// payload; a COM_QUERY has 0x03 as its first payload byte) to find the commit of a transaction.
class FaultRelay {
public:
    enum class Mode {
        Pass,       // every byte forwarded as it comes
        Delay,      // every packet held for the delay before it is forwarded, in both directions
        Blackhole,  // the connections stay open, nothing is read or forwarded, nothing is reset: a node that stops
                    // answering (what was held flows on once the mode is left, as after a healed partition)
        Reset,      // every open connection closed at once; then Pass
        // The next COMMIT a client sends is not forwarded and the client's connection is closed: the transaction
        // is rolled back by the server, the client never hears. Then Pass.
        DropBeforeCommit,
        // The next COMMIT is forwarded, nothing of the server's answer is, and once that answer arrives (the
        // server has committed) the client's connection is closed. Then Pass.
        DropAfterCommitReply,
    };

    // What the relay has done since it started.
    struct Counts {
        int connections = 0;        // connections accepted
        int resetConnections = 0;   // connections closed by Reset
        int delayedPackets = 0;     // packets held back in Delay
        int blackholeWindows = 0;   // Blackhole entered while a connection was open
        int commitsDropped = 0;     // DropBeforeCommit fired
        int commitAnswersLost = 0;  // DropAfterCommitReply fired (the server's answer arrived and was dropped)
    };

    explicit FaultRelay(const QString& target);
    ~FaultRelay();
    FaultRelay(const FaultRelay&) = delete;
    FaultRelay& operator=(const FaultRelay&) = delete;

    // The port it listens on (0 when it could not listen).
    quint16 Port() const { return port_; }
    QString Address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    void SetMode(Mode mode, int delayMs = 0);
    Mode CurrentMode() const { return static_cast<Mode>(mode_.load()); }
    Counts Counted() const;
    static const char* ModeName(Mode mode);

private:
    void Loop();

    QString target_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<int> mode_{0};
    std::atomic<int> delayMs_{0};
    std::atomic<bool> stop_{false};
    std::atomic<int> counts_[6] = {};
    std::thread thread_;
};
