#include "tests/plantwalk/FaultSchedule.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <random>

namespace plantwalk {

namespace {

void Note(const QString& text) {
    std::printf("%s fault: %s\n", qPrintable(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"))),
                qPrintable(text));
    std::fflush(stdout);
}

}  // namespace

FaultSchedule::FaultSchedule(std::vector<std::unique_ptr<FaultRelay>>& relays, const QString& clusterDir, quint32 seed,
                             int seconds)
    : relays_(relays), clusterDir_(clusterDir) {
    thread_ = std::thread([this, seed, seconds] { Run(seed, seconds); });
}

FaultSchedule::~FaultSchedule() {
    Stop();
}

bool FaultSchedule::Sleep(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!stop_ && clock.elapsed() < ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !stop_;
}

void FaultSchedule::Isolate(int node, bool isolated) {
    // As root over the node's socket: the provider option cuts the node off the group's traffic.
    QProcess::execute(QStringLiteral("mariadb"),
                      {QStringLiteral("--no-defaults"), QStringLiteral("-S"),
                       QStringLiteral("%1/node%2/mysqld.sock").arg(clusterDir_).arg(node), QStringLiteral("-u"),
                       QStringLiteral("root"), QStringLiteral("-e"),
                       QStringLiteral("SET GLOBAL wsrep_provider_options='gmcast.isolate=%1'").arg(isolated ? 1 : 0)});
}

bool FaultSchedule::Cluster(const QString& action, int node) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.setStandardOutputFile(QProcess::nullDevice());
    script.start(QStringLiteral(VELKOR_SOURCE_DIR "/scripts/cluster"), {action, QString::number(node)});
    return script.waitForFinished(180000) && script.exitCode() == 0;
}

void FaultSchedule::Run(quint32 seed, int seconds) {
    std::mt19937 random(seed * 31 + 7);
    const auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    QElapsedTimer clock;
    clock.start();
    // The last seconds stay quiet, so that the last steps of every workstation meet a working network.
    const qint64 quietFromMs = seconds * 1000LL - 8000;
    bool nodeFaultDone = false;
    while (Sleep(2500 + below(3000)) && clock.elapsed() < quietFromMs) {
        const int station = below(static_cast<int>(relays_.size()));
        FaultRelay& relay = *relays_[static_cast<size_t>(station)];
        const int kind = below(clusterDir_.isEmpty() ? 5 : 7);
        const int node = 1 + below(3);
        if (kind == 0) {
            Note(QStringLiteral("workstation %1: delay 300 ms per packet for 3 s").arg(station + 1));
            ++delays_;
            relay.SetMode(FaultRelay::Mode::Delay, 300);
            Sleep(3000);
        } else if (kind == 1) {
            Note(QStringLiteral("workstation %1: its node stops answering for 6 s").arg(station + 1));
            ++blackholes_;
            relay.SetMode(FaultRelay::Mode::Blackhole);
            Sleep(6000);
        } else if (kind == 2) {
            Note(QStringLiteral("workstation %1: connections reset").arg(station + 1));
            ++resets_;
            relay.SetMode(FaultRelay::Mode::Reset);
            Sleep(300);  // the relay's loop takes the order within a few milliseconds, then passes again
        } else if (kind == 3 || kind == 4) {
            const auto mode = kind == 3 ? FaultRelay::Mode::DropBeforeCommit : FaultRelay::Mode::DropAfterCommitReply;
            Note(QStringLiteral("workstation %1: %2 (armed for 5 s)").arg(station + 1).arg(FaultRelay::ModeName(mode)));
            relay.SetMode(mode);
            Sleep(5000);
        } else if (kind == 5 && clock.elapsed() < quietFromMs - 10000) {
            Note(QStringLiteral("node %1 isolated for 6 s").arg(node));
            ++isolated_;
            Isolate(node, true);
            Sleep(6000);
            Isolate(node, false);
            Note(QStringLiteral("node %1 back").arg(node));
        } else if (kind == 6 && !nodeFaultDone && clock.elapsed() < quietFromMs - 20000) {
            nodeFaultDone = true;  // one a run: a node's start takes many seconds
            Note(QStringLiteral("node %1 killed").arg(node));
            ++killed_;
            Cluster(QStringLiteral("kill"), node);
            Sleep(4000);
            Note(
                QStringLiteral("node %1 started: %2")
                    .arg(node)
                    .arg(Cluster(QStringLiteral("start"), node) ? QStringLiteral("synced") : QStringLiteral("FAILED")));
        }
        for (auto& each : relays_) {
            each->SetMode(FaultRelay::Mode::Pass);
        }
    }
}

void FaultSchedule::Stop() {
    if (stop_.exchange(true)) {
        return;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    for (auto& relay : relays_) {
        relay->SetMode(FaultRelay::Mode::Pass);
    }
    if (!clusterDir_.isEmpty()) {
        for (int node = 1; node <= 3; ++node) {
            Isolate(node, false);
            Cluster(QStringLiteral("start"), node);
        }
    }
}

QMap<QString, int> FaultSchedule::Happened() const {
    QMap<QString, int> happened{{"delay windows", delays_},
                                {"node stopped answering (blackhole windows)", blackholes_},
                                {"reset orders", resets_}};
    for (const auto& relay : relays_) {
        const FaultRelay::Counts counts = relay->Counted();
        happened["connections reset"] += counts.resetConnections;
        happened["packets delayed"] += counts.delayedPackets;
        happened["blackhole windows with a connection open"] += counts.blackholeWindows;
        happened["commits dropped before the server"] += counts.commitsDropped;
        happened["commit answers lost"] += counts.commitAnswersLost;
    }
    if (!clusterDir_.isEmpty()) {
        happened["nodes isolated"] = isolated_;
        happened["nodes killed and started"] = killed_;
    }
    return happened;
}

}  // namespace plantwalk
