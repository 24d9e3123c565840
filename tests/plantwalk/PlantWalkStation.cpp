// One workstation of the plant walk, alone in its process: at every tick of the run's clock a worker begins a
// new assembly of order 240101 and scans, or a supervisor drags a device into it, mostly the same thing as every
// other workstation at that tick. What it did and what it was told goes to its history, one JSON object a line.

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <cstdio>
#include <deque>
#include <iostream>
#include <random>
#include <string>

#include "rework/BackfitDrop.h"
#include "tests/plantwalk/PlantWalk.h"
#include "tests/walk/WalkMessages.h"
#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeNode.h"

namespace plantwalk {

namespace {

const QStringList kKinds = {"code", "serial", "external", "place", "take", "move"};

// The person at the workstation: presses OK, answers questions from a queue or with their default, types the
// prepared inputs; keeps every message box text.
class Worker : public UserDialogs {
public:
    std::deque<MsgAnswer> answers;
    std::deque<QString> inputs;
    QString password;
    QStringList told;      // texts of the message boxes with only an OK button
    QStringList declined;  // questions answered with their declining button

    void Reset() {
        answers.clear();
        inputs.clear();
        told.clear();
        declined.clear();
    }
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon, const QString&) override {
        if (buttons == MsgButtons::Ok) {
            told.append(text);
            return MsgAnswer::Ok;
        }
        if (!answers.empty()) {
            const MsgAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        declined.append(text);
        return DecliningAnswer(buttons);
    }
    QString InputBox(const QString&, const QString&, const QString&) override {
        if (inputs.empty()) {
            return QString();
        }
        const QString text = inputs.front();
        inputs.pop_front();
        return text;
    }
    QString PasswordBox() override { return password; }
    void Beep(int, int) override {}
};

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

QString OneLine(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" / ")).simplified();
}

// What the worker was told, by the messages and whether the step ended accepted.
void Classify(const QStringList& told, const QStringList& declined, bool accepted, Step& step) {
    for (const QString& text : told) {
        if (text.contains(QStringLiteral("trotzdem gespeichert"))) {
            step.told = QStringLiteral("saved-after-lost");
        } else if (text.contains(QStringLiteral("ist nicht bekannt"))) {
            step.told = QStringLiteral("unknown");
        } else {
            continue;
        }
        step.text = OneLine(text);
        return;
    }
    // The serial number is asked for after the power supply's own code was taken: its refusal is a later step's,
    // and the scan of the code stays.
    const bool laterStep = step.kind == QLatin1String("serial");
    for (MessageClass wanted : {MessageClass::ErrorEnding, MessageClass::Refusal, MessageClass::StepRefusal}) {
        for (const QString& text : told) {
            if (ClassifyMessage(text, MsgButtons::Ok).cls == wanted) {
                step.told = wanted == MessageClass::ErrorEnding                ? QStringLiteral("discarded")
                            : laterStep || wanted == MessageClass::StepRefusal ? QStringLiteral("step-refused")
                                                                               : QStringLiteral("refused");
                step.text = OneLine(text);
                return;
            }
        }
    }
    // A question declined (to switch to the assembly that holds the device, to go on with it) ends it unsaved.
    step.told = accepted              ? QStringLiteral("saved")
                : !declined.isEmpty() ? QStringLiteral("refused")
                                      : QStringLiteral("ended");
    step.text = OneLine((accepted ? told : declined + told).join(QStringLiteral(" | ")));
}

// The value as the server's comparison sees it (letter case and trailing blanks do not count).
QString Compared(const QString& value) {
    QString key = value.toUpper();
    while (key.endsWith(QLatin1Char(' '))) {
        key.chop(1);
    }
    return key;
}

class Station {
public:
    Station(int ws, quint32 seed, const Pools& pools) : ws_(ws), seed_(seed), pools_(pools), random_(seed * 100 + ws) {
        worker_.password = QStringLiteral("58047m");
        SetDialogs(&worker_);
    }
    ~Station() { SetDialogs(nullptr); }
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    Step Act(qint64 tick) {
        const int shared = static_cast<int>(Shared(seed_, tick, 0) % kKinds.size());
        const int kind = Chance(75) ? shared : static_cast<int>(random_() % kKinds.size());
        Step step;
        step.ws = ws_;
        step.step = ++steps_;
        step.tick = tick;
        step.kind = kKinds[kind];
        step.start = Now();
        bool accepted = false;
        try {
            host_.paNr[0] = QStringLiteral("240101");
            host_.artNr = QStringLiteral("SG-5000-A01");
            flow_.newAss.NewAss();
            worker_.Reset();
            const QString before = AssemblyDbClass::Shared().LastOperationId();
            accepted = kind < 3 ? NewValue(kind, tick, step) : RecordedDevice(kind, tick, step);
            const QString after = AssemblyDbClass::Shared().LastOperationId();
            step.op = after != before ? after : QString();
        } catch (const VelkorError& error) {
            // As the window's handlers report what escapes them.
            worker_.told.append(QStringLiteral("Error %1 (%2) in procedure %3 of Formular FormMain")
                                    .arg(error.Number())
                                    .arg(error.Description(), step.kind));
            host_.SetStatus(WorkstationHost::Ready());
        }
        step.end = Now();
        step.host = AssemblyDbClass::Shared().CurrentHost();
        Classify(worker_.told, worker_.declined, accepted, step);
        return step;
    }

private:
    bool Chance(int percent) { return static_cast<int>(random_() % 100) < percent; }

    QString Own() {
        return QStringLiteral("P5%1%2")
            .arg(ws_ % 100, 2, 10, QLatin1Char('0'))
            .arg(++own_ % 100000, 5, 10, QLatin1Char('0'));
    }

    // The tick's new value in one of the spellings the server takes for the same, as far as the article's format
    // lets it through: production codes with trailing blanks, supplier serials also in small letters.
    QString Variant(const QString& value, bool anyCase) {
        const int roll = static_cast<int>(random_() % 100);
        return roll < 50 ? value : roll < 75 || !anyCase ? value + QStringLiteral("  ") : value.toLower();
    }

    // A new production code (main board, its second code asked for), own serial (power supply) or supplier
    // serial (radio module), the same at every workstation at this tick.
    bool NewValue(int kind, qint64 tick, Step& step) {
        const qint64 n = tick % 1000000;
        Scan scan;
        if (kind == 0) {
            step.value = Variant(QStringLiteral("P40%1").arg(n, 6, 10, QLatin1Char('0')), false);
            scan = {"", step.value, "", {}, {Own()}};
        } else if (kind == 1) {
            step.value = QStringLiteral("S4%1").arg(n, 8, 10, QLatin1Char('0'));
            scan = {tree240101::kNt, Own(), "", {}, {step.value}};
        } else {
            step.value = Variant(QStringLiteral("FM29-AB%1").arg(n, 8, 10, QLatin1Char('0')), true);
            scan = {tree240101::kFm, "", step.value};
        }
        step.key = (kind == 0 ? QStringLiteral("code:") : QStringLiteral("serial:")) + Compared(step.value);
        return Capture(scan);
    }

    bool Capture(const Scan& scan) {
        if (!scan.node.isEmpty()) {
            host_.trees[0].SetSelectedItem(host_.trees[0].Item(scan.node));
        }
        for (const QString& input : scan.inputs) {
            worker_.inputs.push_back(input);
        }
        return flow_.capture.ProdCodeSerNrScanInput(scan.prodCode, scan.serNr) &&
               host_.status == WorkstationHost::Ready();
    }

    // A recorded device of the pools: a display module scanned in (place) or dragged by a supervisor from where
    // it is into the new assembly (move), an operating unit taken over by its keyboard's code (take).
    bool RecordedDevice(int kind, qint64 tick, Step& step) {
        const quint32 pick = Shared(seed_, tick, 1);
        if (kind == 4) {
            step.value = pools_.keyboardCodes.value(static_cast<int>(pick % pools_.keyboardCodes.size()));
            step.key = QStringLiteral("unit:") + step.value;
            return Capture({tree240101::kBg, step.value});
        }
        const int i = static_cast<int>(pick % pools_.moduleIds.size());
        step.value = pools_.moduleCodes.value(i);
        const QString devKey = QString::number(pools_.moduleIds.value(i)) + QLatin1Char('K');
        step.key = QStringLiteral("device:") + QString::number(pools_.moduleIds.value(i));
        if (kind == 3) {
            return Capture({tree240101::kAm, step.value});
        }
        host_.paNr[1] = QStringLiteral("240101");  // its final product shown under the order it was built for
        flow_.display.SwapDevice(step.value, 1);
        worker_.Reset();
        TreeNode* source = nullptr;
        for (int i = 0; i < host_.trees[1].Count() && source == nullptr; ++i) {
            source = host_.trees[1].Item(i)->Key().startsWith(devKey) ? host_.trees[1].Item(i) : nullptr;
        }
        if (source == nullptr) {
            return false;
        }
        host_.trees[1].SetSelectedItem(source);
        drop_.DragSourceIndex = 1;
        drop_.Drop(0, QStringLiteral("TreeViewCtr(1)"), source, host_.trees[0].Item(tree240101::kAm));
        for (int i = 0; i < host_.trees[0].Count(); ++i) {
            if (host_.trees[0].Item(i)->Key().startsWith(devKey)) {
                return host_.status == WorkstationHost::Ready();
            }
        }
        return false;
    }

    int ws_;
    quint32 seed_;
    const Pools& pools_;
    std::mt19937 random_;
    Worker worker_;
    WorkflowTestHost host_;
    ScanWorkflow flow_{host_};
    BackfitDrop drop_{host_, flow_.capture};
    int steps_ = 0, own_ = 0;
};

}  // namespace

QJsonObject Step::ToJson() const {
    return {{"ws", ws},
            {"step", step},
            {"tick", static_cast<double>(tick)},
            {"start", static_cast<double>(start)},
            {"end", static_cast<double>(end)},
            {"kind", kind},
            {"value", value},
            {"key", key},
            {"told", told},
            {"text", text},
            {"op", op},
            {"host", host}};
}

Step Step::FromJson(const QJsonObject& o) {
    Step s;
    s.ws = o.value("ws").toInt();
    s.step = o.value("step").toInt();
    s.tick = static_cast<qint64>(o.value("tick").toDouble());
    s.start = static_cast<qint64>(o.value("start").toDouble());
    s.end = static_cast<qint64>(o.value("end").toDouble());
    s.kind = o.value("kind").toString();
    s.value = o.value("value").toString();
    s.key = o.value("key").toString();
    s.told = o.value("told").toString();
    s.text = o.value("text").toString();
    s.op = o.value("op").toString();
    s.host = o.value("host").toString();
    return s;
}

QString Step::ToLine() const {
    return QStringLiteral("ws %1 step %2 %3-%4 %5 \"%6\" on %7: %8%9 [op %10]")
        .arg(ws)
        .arg(step)
        .arg(QDateTime::fromMSecsSinceEpoch(start).toString(QStringLiteral("HH:mm:ss.zzz")))
        .arg(QDateTime::fromMSecsSinceEpoch(end).toString(QStringLiteral("HH:mm:ss.zzz")))
        .arg(kind, value, host, told, text.isEmpty() ? QString() : QStringLiteral(" (") + text + QLatin1Char(')'),
             op.isEmpty() ? QStringLiteral("none") : op);
}

void WritePools(const QString& path, const Pools& pools) {
    QJsonArray ids;
    for (qint64 id : pools.moduleIds) {
        ids.append(static_cast<double>(id));
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QJsonDocument(QJsonObject{{"moduleIds", ids},
                                         {"moduleCodes", QJsonArray::fromStringList(pools.moduleCodes)},
                                         {"keyboardCodes", QJsonArray::fromStringList(pools.keyboardCodes)}})
                   .toJson());
}

Pools ReadPools(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    Pools pools;
    for (const QJsonValue& id : o.value("moduleIds").toArray()) {
        pools.moduleIds.append(static_cast<qint64>(id.toDouble()));
    }
    for (const QJsonValue& code : o.value("moduleCodes").toArray()) {
        pools.moduleCodes.append(code.toString());
    }
    for (const QJsonValue& code : o.value("keyboardCodes").toArray()) {
        pools.keyboardCodes.append(code.toString());
    }
    return pools;
}

quint32 Shared(quint32 seed, qint64 tick, int salt) {
    std::seed_seq sequence{seed, static_cast<quint32>(tick), static_cast<quint32>(salt)};
    std::mt19937 mix(sequence);
    return mix();
}

QString HistoryPath(const QString& dir, int ws) {
    return QStringLiteral("%1/ws-%2.history").arg(dir).arg(ws);
}

QList<Step> ReadHistories(const QString& dir, int workstations) {
    QList<Step> steps;
    for (int ws = 1; ws <= workstations; ++ws) {
        QFile file(HistoryPath(dir, ws));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.trimmed().isEmpty()) {
                steps.append(Step::FromJson(QJsonDocument::fromJson(line).object()));
            }
        }
    }
    return steps;
}

int RunStation() {
    const int ws = qEnvironmentVariableIntValue("VELKOR_PLANT_WORKSTATION");
    const QString dir = qEnvironmentVariable("VELKOR_PLANTWALK_DIR");
    const auto seed = static_cast<quint32>(qEnvironmentVariableIntValue("VELKOR_PLANTWALK_SEED"));
    const qint64 epoch = qEnvironmentVariable("VELKOR_PLANTWALK_EPOCH").toLongLong();
    const qint64 endAt = epoch + 1000LL * qEnvironmentVariableIntValue("VELKOR_PLANTWALK_SECONDS");
    const qint64 tickMs = qMax(100, qEnvironmentVariableIntValue("VELKOR_PLANTWALK_TICK_MS"));
    const Pools pools = ReadPools(dir + QStringLiteral("/pools.json"));
    Station station(ws, seed, pools);
    QFile history(HistoryPath(dir, ws));
    history.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    std::printf("plant ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    std::mt19937 jitter(seed * 7919 + static_cast<quint32>(ws));
    int steps = 0;
    for (qint64 tick = qMax<qint64>(0, (Now() - epoch) / tickMs + 1); epoch + tick * tickMs < endAt;) {
        // Every workstation acts at the tick, each a little apart, as people do.
        const qint64 at = epoch + tick * tickMs + static_cast<qint64>(jitter() % 150);
        if (at > Now()) {
            QThread::msleep(static_cast<unsigned long>(at - Now()));
        }
        const Step step = station.Act(tick);
        history.write(QJsonDocument(step.ToJson()).toJson(QJsonDocument::Compact) + '\n');
        ++steps;
        tick = qMax(tick + 1, (Now() - epoch) / tickMs + 1);
    }
    std::printf("plant figures {\"steps\": %d}\n", steps);
    std::fflush(stdout);
    return 0;
}

}  // namespace plantwalk
