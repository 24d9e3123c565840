// velkor-walk: a seeded random walk through what workers and supervisors do at the workstation, over the real
// workflow and rework classes and the real database, with every invariant checked after every action.
//
//   velkor-walk [--seed N] [--steps M] [--faults] [--segment K] [--out DIR] [--no-shrink]
//   velkor-walk --replay FILE
//
// A broken invariant prints the seed, the step, the invariant and the actions since the last "Neuer
// Zusammenbau", and writes the actions since the database was last reset to a replay file (shortened by delta
// debugging unless --no-shrink). Exit status: 0 no violation, 1 violations, 2 usage error.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <map>

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkShrink.h"

namespace {

void Print(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int Usage(const QString& problem) {
    std::fprintf(stderr,
                 "%s\nusage: velkor-walk [--seed N] [--steps M] [--faults] [--segment K] [--out DIR] "
                 "[--no-shrink] | --replay FILE\n",
                 qPrintable(problem));
    return 2;
}

struct Options {
    quint32 seed = 1;
    int steps = 300;
    int segment = 60;
    bool faults = false;
    bool shrink = true;
    QString replay;
    QString out;
};

bool NumberArg(const QStringList& args, qsizetype& i, qint64& value) {
    if (i + 1 >= args.size()) {
        return false;
    }
    bool ok = false;
    value = args[++i].toLongLong(&ok);
    return ok && value >= 0;
}

bool Parse(const QStringList& args, Options& options, QString& problem) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        qint64 value = 0;
        if (arg == QLatin1String("--seed") || arg == QLatin1String("--steps") || arg == QLatin1String("--segment")) {
            if (!NumberArg(args, i, value)) {
                problem = arg + QStringLiteral(" needs a number");
                return false;
            }
            if (arg == QLatin1String("--seed")) {
                options.seed = static_cast<quint32>(value);
            } else if (arg == QLatin1String("--steps")) {
                options.steps = static_cast<int>(value);
            } else {
                options.segment = qMax<int>(1, static_cast<int>(value));
            }
        } else if (arg == QLatin1String("--faults")) {
            options.faults = true;
        } else if (arg == QLatin1String("--no-shrink")) {
            options.shrink = false;
        } else if ((arg == QLatin1String("--replay") || arg == QLatin1String("--out")) && i + 1 < args.size()) {
            (arg == QLatin1String("--replay") ? options.replay : options.out) = args[++i];
        } else {
            problem = QStringLiteral("unknown argument: ") + arg;
            return false;
        }
    }
    return true;
}

bool ReadReplay(const QString& path, QList<WalkAction>& actions, QString& problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        problem = QStringLiteral("cannot read ") + path;
        return false;
    }
    int number = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        ++number;
        WalkAction action;
        QString error;
        if (WalkAction::FromLine(line, action, error)) {
            actions.append(action);
        } else if (!error.isEmpty()) {
            problem = QStringLiteral("%1:%2: %3").arg(path).arg(number).arg(error);
            return false;
        }
    }
    return true;
}

int Replay(Walker& walker, const QString& path) {
    QList<WalkAction> actions;
    QString problem;
    if (!ReadReplay(path, actions, problem)) {
        return Usage(problem);
    }
    walker.Reset();
    int violations = 0;
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const QList<WalkFinding> findings = walker.Run(actions[i], true);
        Print(QStringLiteral("%1: %2").arg(i + 1).arg(actions[i].ToLine()));
        for (const QString& line : walker.LastDialogs()) {
            Print(QStringLiteral("    ") + line);
        }
        for (const WalkFinding& finding : findings) {
            ++violations;
            Print(QStringLiteral("VIOLATION %1 at action %2 (%3): %4")
                      .arg(finding.name)
                      .arg(i + 1)
                      .arg(actions[i].ToLine(), finding.detail));
        }
    }
    Print(QStringLiteral("replay %1: %2 actions, %3 violations").arg(path).arg(actions.size()).arg(violations));
    return violations == 0 ? 0 : 1;
}

int Walk(Walker& walker, const Options& options) {
    const QString outDir = options.out.isEmpty() ? QStringLiteral(VELKOR_BINARY_DIR "/walk") : options.out;
    QDir().mkpath(outDir);
    walker.Reset();
    QList<WalkAction> segment;  // the actions since the database was reset
    int violations = 0;
    std::map<QString, int> byInvariant, bySignature;
    qint64 walking = 0;
    QElapsedTimer clock;
    for (int step = 1; step <= options.steps; ++step) {
        if (segment.size() >= options.segment) {
            walker.Reset();
            segment.clear();
        }
        clock.start();
        WalkAction action = walker.Generate();
        const QList<WalkFinding> findings = walker.Run(action, false);
        walking += clock.elapsed();
        segment.append(action);
        if (findings.isEmpty()) {
            continue;
        }
        violations += static_cast<int>(findings.size());
        for (const WalkFinding& finding : findings) {
            ++byInvariant[finding.name];
        }
        const WalkFinding& first = findings.first();
        const QString signature = first.name + QLatin1Char('/') + action.kind;
        const int seen = ++bySignature[signature];
        Print(QStringLiteral("VIOLATION seed %1 step %2 %3: %4")
                  .arg(options.seed)
                  .arg(step)
                  .arg(first.name, first.detail));
        for (qsizetype i = 1; i < findings.size(); ++i) {
            Print(QStringLiteral("  also %1: %2").arg(findings[i].name, findings[i].detail));
        }
        if (seen <= 2) {
            Print(QStringLiteral("  actions since the last \"Neuer Zusammenbau\":"));
            for (const WalkAction& done : SinceNewAssembly(segment)) {
                Print(QStringLiteral("    ") + done.ToLine());
            }
            Print(QStringLiteral("  dialogs of the last action:"));
            for (const QString& line : walker.LastDialogs()) {
                Print(QStringLiteral("    ") + line);
            }
            QList<WalkAction> replay = segment;
            if (options.shrink && seen == 1) {
                replay = walker.Shrink(segment, first.name);
                Print(QStringLiteral("  shortened from %1 to %2 actions").arg(segment.size()).arg(replay.size()));
            }
            const QString path =
                QStringLiteral("%1/seed%2-step%3-%4.replay").arg(outDir).arg(options.seed).arg(step).arg(first.name);
            WriteReplay(
                path, replay,
                QStringLiteral("seed %1, step %2, %3: %4").arg(options.seed).arg(step).arg(first.name, first.detail));
            Print(QStringLiteral("  replay: ") + path);
        }
        walker.Reset();
        segment.clear();
    }
    Print(QStringLiteral("velkor-walk seed %1%2: %3 actions, %4 violations, %5 actions/s")
              .arg(options.seed)
              .arg(options.faults ? QStringLiteral(" with faults") : QString())
              .arg(options.steps)
              .arg(violations)
              .arg(walking > 0 ? options.steps * 1000.0 / static_cast<double>(walking) : 0.0, 0, 'f', 1));
    Print(QStringLiteral("  (views of the other pane left stale by an action: %1)").arg(walker.StaleViews()));
    for (const auto& [name, count] : byInvariant) {
        Print(QStringLiteral("  %1: %2").arg(name).arg(count));
    }
    return violations == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Options options;
    QString problem;
    if (!Parse(QCoreApplication::arguments(), options, problem)) {
        return Usage(problem);
    }
    if (!SelectTestDataSource()) {
        return 2;
    }
    ::testing::InitGoogleTest();
    Walker walker(options.seed, options.faults);
    const int status = options.replay.isEmpty() ? Walk(walker, options) : Replay(walker, options.replay);
    if (::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed()) {
        Print(QStringLiteral("the test database helpers reported failures (see above)"));
        return 1;
    }
    return status;
}
