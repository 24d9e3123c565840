#include "tests/bench/plant/NodeOutage.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <QTimer>
#include <cstdio>

#include "tests/bench/workstation/BenchData.h"

namespace {

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

}  // namespace

std::unique_ptr<NodeOutage> NodeOutage::FromEnvironment() {
    const int node = bench::EnvInt("VELKOR_PLANT_KILL_NODE", 0);
    if (node <= 0) {
        return nullptr;
    }
    auto outage = std::make_unique<NodeOutage>();
    outage->node_ = node;
    outage->killAfterS_ = bench::EnvInt("VELKOR_PLANT_KILL_AFTER_S", 30);
    outage->downS_ = bench::EnvInt("VELKOR_PLANT_DOWN_S", 60);
    outage->command_ = qEnvironmentVariable("VELKOR_CLUSTER_COMMAND");
    return outage;
}

void NodeOutage::Schedule() {
    const QString node = QString::number(node_);
    QTimer::singleShot(killAfterS_ * 1000, [this, node] {
        killStartMs_ = Now();
        killExit_ = QProcess::execute(command_, {QStringLiteral("kill"), node});
        killEndMs_ = Now();
    });
    QTimer::singleShot((killAfterS_ + downS_) * 1000, [this, node] {
        startMs_ = Now();
        QObject::connect(&start_, &QProcess::finished, [this] { rejoinedMs_ = Now(); });
        start_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start_.start(command_, {QStringLiteral("start"), node});
    });
}

bool NodeOutage::WaitForRejoin(int seconds) {
    if (start_.state() != QProcess::NotRunning) {
        start_.waitForFinished(seconds * 1000);
    }
    if (rejoinedMs_ == 0 && start_.state() == QProcess::NotRunning && startMs_ != 0) {
        rejoinedMs_ = Now();
    }
    return killExit_ == 0 && startMs_ != 0 && start_.exitStatus() == QProcess::NormalExit && start_.exitCode() == 0;
}

int NodeOutage::Report(const QList<QJsonObject>& reports, QJsonObject& figures) const {
    int refusedLater = 0, acceptedWhileDown = 0, acceptedAfter = 0;
    int slowAtKill = 0, slowAtStart = 0, slowElsewhere = 0;  // scans over 0.5 s, by when they began
    QJsonArray messagesInFlight;
    for (const QJsonObject& report : reports) {
        for (const QJsonValue& value : report.value("refusals").toArray()) {
            const QJsonObject refusal = value.toObject();
            const double start = refusal.value("start").toDouble(), end = refusal.value("end").toDouble();
            if (start <= killEndMs_ && end >= killStartMs_) {
                messagesInFlight.append(refusal.value("messages"));
            } else if (start > killEndMs_) {
                ++refusedLater;
            }
        }
        for (const QJsonValue& value : report.value("slow").toArray()) {
            const double start = value.toObject().value("start").toDouble();
            const bool nearKill = start > killStartMs_ - 5000 && start < killEndMs_ + 10000;
            const bool nearStart = start > startMs_ - 5000 && start < rejoinedMs_ + 10000;
            (nearKill ? slowAtKill : nearStart ? slowAtStart : slowElsewhere) += 1;
        }
        for (const QJsonValue& value : report.value("accepted_at").toArray()) {
            const double start = value.toDouble();
            acceptedWhileDown += start > killEndMs_ && start < startMs_;
            acceptedAfter += start >= startMs_;
        }
    }
    const double rejoinS = rejoinedMs_ > startMs_ ? (rejoinedMs_ - startMs_) / 1000.0 : 0;
    figures.insert(QStringLiteral("killed_node"), node_);
    figures.insert(QStringLiteral("killed_after_s"), killAfterS_);
    figures.insert(QStringLiteral("down_s"), downS_);
    figures.insert(QStringLiteral("rejoin_s"), rejoinS);
    figures.insert(QStringLiteral("scans_cut_off"), messagesInFlight);  // messages each refused in-flight scan showed
    figures.insert(QStringLiteral("scans_refused_after_kill"), refusedLater);
    figures.insert(QStringLiteral("scans_accepted_while_down"), acceptedWhileDown);
    figures.insert(QStringLiteral("scans_accepted_after_start"), acceptedAfter);
    figures.insert(QStringLiteral("slow_scans_at_kill"), slowAtKill);
    figures.insert(QStringLiteral("slow_scans_at_start"), slowAtStart);
    figures.insert(QStringLiteral("slow_scans_elsewhere"), slowElsewhere);
    std::printf("node %d killed after %d s, started again %d s later, rejoined in %.1f s\n", node_, killAfterS_, downS_,
                rejoinS);
    std::printf("%-44s %12lld\n", "scans in flight on it, refused", static_cast<long long>(messagesInFlight.size()));
    std::printf("%-44s %12d\n", "scans begun after the kill, refused", refusedLater);
    std::printf("%-44s %12d\n", "scans accepted while it was down", acceptedWhileDown);
    std::printf("%-44s %12d\n", "scans accepted after its start", acceptedAfter);
    std::printf("%-44s %6d %5d %5d\n", "scans over 0.5 s: near the kill, start, else", slowAtKill, slowAtStart,
                slowElsewhere);
    EXPECT_EQ(refusedLater, 0) << "scans begun after the kill must be recorded on a live node";
    for (const QJsonValue& messages : messagesInFlight) {
        EXPECT_EQ(messages.toInt(), 1) << "a scan cut off by the outage tells the worker once";
    }
    return static_cast<int>(messagesInFlight.size());
}
