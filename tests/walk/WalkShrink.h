#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <random>

#include "tests/walk/WalkAction.h"
#include "tests/walk/WalkChecks.h"
#include "tests/walk/WalkGenerator.h"
#include "tests/walk/WalkValues.h"
#include "tests/walk/WalkWorker.h"
#include "tests/walk/WalkWorld.h"

// The walk's moving parts: the worker, the values, the workstation, the checks; runs actions (generated or
// replayed) and shortens a failing list of actions.
class Walker {
public:
    Walker(quint32 seed, bool faults);
    ~Walker();

    // Back to the demo data with a fresh workstation (no transaction left open, trees empty).
    void Reset();
    WalkAction Generate() { return generator_.Next(*world_); }
    // Carries out the action and checks every invariant afterwards.
    QList<WalkFinding> Run(WalkAction& action, bool replay);
    // The dialogs of the last action.
    QStringList LastDialogs() const { return worker_.Log(); }
    // Views of the pane an action left alone that no longer show what is recorded.
    int StaleViews() const { return staleViews_; }
    // The shortest list found (delta debugging over the actions, each candidate replayed on a reset database) that
    // still breaks the invariant; its answers as given in the last replay.
    QList<WalkAction> Shrink(QList<WalkAction> actions, const QString& invariant);

private:
    bool Fails(QList<WalkAction> actions, const QString& invariant);

    std::mt19937 random_;
    WalkWorker worker_{random_};
    WalkValues values_{random_};
    WalkGenerator generator_;
    WalkChecks checks_;
    std::unique_ptr<WalkWorld> world_;
    int staleViews_ = 0;
};

// The actions from the last "Neuer Zusammenbau" on.
QList<WalkAction> SinceNewAssembly(const QList<WalkAction>& actions);
// Writes a replay file: a comment line, then one action a line.
void WriteReplay(const QString& path, const QList<WalkAction>& actions, const QString& comment);
