#include "tests/walk/WalkShrink.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"

namespace {

// How long one violation may be shortened.
constexpr qint64 kShrinkBudgetMs = 120000;

}  // namespace

Walker::Walker(quint32 seed, bool faults) : random_(seed), generator_(values_, faults) {}

Walker::~Walker() = default;

void Walker::Reset() {
    world_.reset();
    // Whatever an action left open on the program's connection ends here, and the transaction counter starts from
    // nothing again: the tables are emptied next, which would wait for an open transaction.
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    try {
        while (db.OpenTransactionCount() < 0) {
            db.Begin();
        }
        db.RollbackAll();
    } catch (const VelkorError&) {
    }
    if (db.IsConnected()) {
        QSqlQuery(db.DBConObj()).exec(QStringLiteral("ROLLBACK"));
    }
    ResetTestDatabase();
    world_ = std::make_unique<WalkWorld>(worker_, values_);
    checks_.Restart();
}

QList<WalkFinding> Walker::Run(WalkAction& action, bool replay) {
    checks_.Before();
    world_->Execute(action, replay);
    // Right after a restart the program's connection is left alone: the next action of the program is to be the
    // first to meet the new server, as it is at the workstation.
    const bool restarted = action.kind == walk::kRestart;
    QList<WalkFinding> findings = checks_.After(*world_, worker_, !restarted);
    if (!restarted) {
        findings += CompareScreens(*world_, worker_, staleViews_);
    }
    return findings;
}

bool Walker::Fails(QList<WalkAction> actions, const QString& invariant) {
    Reset();
    for (WalkAction& action : actions) {
        for (const WalkFinding& finding : Run(action, true)) {
            if (finding.name == invariant) {
                return true;
            }
        }
    }
    return false;
}

QList<WalkAction> Walker::Shrink(QList<WalkAction> actions, const QString& invariant) {
    const int staleViews = staleViews_;  // the walk's figure, not the shrinking's
    QElapsedTimer clock;
    clock.start();
    if (!Fails(actions, invariant)) {
        staleViews_ = staleViews;
        return actions;  // not reproduced by a replay: kept whole
    }
    int parts = 2;
    while (actions.size() >= 2 && clock.elapsed() < kShrinkBudgetMs) {
        const qsizetype chunk = (actions.size() + parts - 1) / parts;
        bool reduced = false;
        for (qsizetype start = 0; start < actions.size() && clock.elapsed() < kShrinkBudgetMs; start += chunk) {
            QList<WalkAction> rest = actions.mid(0, start) + actions.mid(start + chunk);
            if (!rest.isEmpty() && Fails(rest, invariant)) {
                actions = rest;
                parts = qMax(parts - 1, 2);
                reduced = true;
                break;
            }
        }
        if (!reduced) {
            if (parts >= actions.size()) {
                break;
            }
            parts = static_cast<int>(qMin<qsizetype>(actions.size(), parts * 2));
        }
    }
    // Once more, so that the answers written are those the shortened list is asked for.
    Reset();
    for (WalkAction& action : actions) {
        Run(action, true);
    }
    staleViews_ = staleViews;
    return actions;
}

QList<WalkAction> SinceNewAssembly(const QList<WalkAction>& actions) {
    qsizetype from = 0;
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i].kind == walk::kNewAss) {
            from = i;
        }
    }
    return actions.mid(from);
}

void WriteReplay(const QString& path, const QList<WalkAction>& actions, const QString& comment) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return;
    }
    QString text =
        QStringLiteral("# ") + QString(comment).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n');
    for (const WalkAction& action : actions) {
        text += action.ToLine() + QLatin1Char('\n');
    }
    file.write(text.toUtf8());
}
