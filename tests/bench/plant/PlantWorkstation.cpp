#include "tests/bench/plant/PlantWorkstation.h"

#include <QDateTime>
#include <QJsonArray>
#include <QThread>
#include <algorithm>

#include "tests/bench/workstation/BenchData.h"

namespace {

// What the server says of a transaction it gave up (MariaDB's text, or the program's own when the server had
// rolled it back before).
bool IsDeadlockMessage(const QString& text) {
    return text.contains(QLatin1String("Deadlock"), Qt::CaseInsensitive) || text.contains(QLatin1String("1213")) ||
           text.contains(QLatin1String("verworfen"));
}

void SleepUntil(const QElapsedTimer& clock, qint64 ms) {
    const qint64 left = ms - clock.elapsed();
    if (left > 0) {
        QThread::msleep(static_cast<unsigned long>(left));
    }
}

}  // namespace

PlantWorkstation::PlantWorkstation(int paceMs, quint32 seed) : random_(seed), paceMs_(paceMs) {}

void PlantWorkstation::Prepare() {
    host_.paNr[0] = QStringLiteral("240101");
    host_.artNr = QStringLiteral("SG-5000-A01");
    flow_.newAss.NewAss();
    dialogs_.Forget();
}

void PlantWorkstation::WaitForNextScan() {
    if (paceMs_ > 0) {
        SleepUntil(clock_, nextScanAtMs_);
        nextScanAtMs_ = clock_.elapsed() + paceMs_ / 2 + random_.bounded(paceMs_ + 1);
    }
}

bool PlantWorkstation::ScanOnce(const Scan& scan) {
    if (!scan.node.isEmpty()) {
        host_.trees[0].SetSelectedItem(host_.trees[0].Item(scan.node));
    }
    for (MsgAnswer answer : scan.answers) {
        dialogs_.QueueAnswer(answer);
    }
    for (const QString& input : scan.inputs) {
        dialogs_.QueueInput(input);
    }
    const quint64 before = AssemblyDbClass::StatementsSent();
    const qint64 wallStart = QDateTime::currentMSecsSinceEpoch();
    const qint64 start = clock_.nsecsElapsed();
    const bool accepted =
        flow_.capture.ProdCodeSerNrScanInput(scan.prodCode, scan.serNr) && host_.status == WorkstationHost::Ready();
    const qint64 end = clock_.nsecsElapsed();
    ms_.append((end - start) / 1e6);
    if (ms_.last() > 500) {
        slow_.append(QJsonObject{{"start", static_cast<double>(wallStart)}, {"ms", ms_.last()}});
    }
    lastEndMs_ = end / 1e6;
    if (accepted) {
        ++accepted_;
        statements_.append(static_cast<double>(AssemblyDbClass::StatementsSent() - before));
        acceptedAt_.append(static_cast<double>(wallStart));
    } else {
        ++errors_;
        const QStringList messages = dialogs_.Messages();
        refusals_.append(QJsonObject{{"start", static_cast<double>(wallStart)},
                                     {"end", static_cast<double>(QDateTime::currentMSecsSinceEpoch())},
                                     {"messages", static_cast<int>(messages.size())}});
        if (std::any_of(messages.begin(), messages.end(), IsDeadlockMessage)) {
            ++deadlocks_;
        }
        if (firstMessages_.size() < 5) {
            firstMessages_.append(
                QStringLiteral("%1%2: %3").arg(scan.prodCode, scan.serNr, messages.join(QStringLiteral(" / "))));
        }
    }
    dialogs_.Forget();
    return accepted;
}

void PlantWorkstation::StartOver() {
    flow_.newAss.NewAss();
    dialogs_.Forget();
}

void PlantWorkstation::Run(int seconds) {
    clock_.start();
    nextScanAtMs_ = paceMs_ > 0 ? random_.bounded(paceMs_) : 0;  // the workstations do not start in step
    const qint64 endMs = seconds * 1000LL;
    while (clock_.elapsed() < endMs) {
        const bench::StockParts stock = bench::AddStockParts();
        // Values no other workstation uses: the display module's device ID is this assembly's alone.
        const qint64 n = stock.number;
        const auto code = [n](int i) { return QStringLiteral("P8%1").arg(n * 10 + i); };
        const auto serial = [n](int i) {
            return QStringLiteral("S6%1").arg((n * 2 + i) % 100000000, 8, 10, QLatin1Char('0'));
        };
        for (const Scan& scan : bench::AssemblyScans(stock, code, serial, QStringLiteral("FM27-%1").arg(n))) {
            WaitForNextScan();
            if (clock_.elapsed() >= endMs) {
                break;
            }
            if (!ScanOnce(scan)) {
                StartOver();
                break;
            }
        }
    }
}

void PlantWorkstation::Race(const QString& kind, qint64 firstValue, int races, int intervalMs) {
    clock_.start();
    const qint64 own = bench::AddStockParts().number;  // this workstation's own values beside the raced one
    for (int race = 0; race < races; ++race) {
        StartOver();
        const qint64 value = firstValue + race;
        const QString other = QStringLiteral("P8%1").arg(own * 10000 + race);
        Scan scan;
        if (kind == QLatin1String("prodcode")) {
            scan = {"", QStringLiteral("P9%1").arg(value), "", {}, {other}};  // main board, own second code
        } else if (kind == QLatin1String("serial")) {
            // The power supply: its own new code, the raced serial.
            scan = {tree240101::kNt,
                    other,
                    "",
                    {},
                    {QStringLiteral("S5%1").arg(value % 100000000, 8, 10, QLatin1Char('0'))}};
        } else {
            scan = {tree240101::kFm, "", QStringLiteral("FM28-%1").arg(value)};  // radio module by its supplier serial
        }
        // A refused scan may ask whether to switch to the assembly holding the value: no.
        scan.answers = {MsgAnswer::No};
        SleepUntil(clock_, static_cast<qint64>(race) * intervalMs);
        ScanOnce(scan);  // the loser is refused; what was recorded is checked by SQL afterwards
    }
}

QJsonObject PlantWorkstation::Figures() const {
    return {
        {"ms", QJsonArray::fromVariantList(QVariantList(ms_.begin(), ms_.end()))},
        {"statements", QJsonArray::fromVariantList(QVariantList(statements_.begin(), statements_.end()))},
        {"accepted", accepted_},
        {"errors", errors_},
        {"deadlocks", deadlocks_},
        {"retries", static_cast<double>(AssemblyDbClass::CertificationRetries())},
        {"end_ms", lastEndMs_},
        {"messages", QJsonArray::fromStringList(firstMessages_)},
        {"accepted_at", QJsonArray::fromVariantList(QVariantList(acceptedAt_.begin(), acceptedAt_.end()))},
        {"refusals", refusals_},
        {"slow", slow_},
    };
}
