#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class WalkWorld;
class WalkWorker;

// One broken invariant: its short name and what was seen.
struct WalkFinding {
    QString name;
    QString detail;
};

// The invariants checked after every action, against the database (with bound statements of the tests' own
// connection) and the trees on screen.
class WalkChecks {
public:
    // A new walk over the demo data: nothing is known to be duplicated on purpose.
    void Restart();
    // Before each action: what the six traceability tables hold.
    void Before();
    // After the action: every invariant. askServer: the program's own connection is asked whether a transaction
    // is open on the server.
    QList<WalkFinding> After(WalkWorld& world, const WalkWorker& worker, bool askServer);

private:
    void CheckTransactions(QList<WalkFinding>& findings, bool askServer);
    void CheckTables(QList<WalkFinding>& findings);
    void CheckCodes(const WalkWorld& world, QList<WalkFinding>& findings);
    void CheckOutcome(const WalkWorld& world, const WalkWorker& worker, QList<WalkFinding>& findings);

    QStringList rows_;        // every row of the six tables
    QStringList rowsNoFlag_;  // the same without the completion flag
    qint64 lastDevice_ = 0;
    QSet<QString> deliberateDuplicates_;
    QSet<QString> deliberateCodeSerials_;  // values a record editor wrote as code and as serial number
};

// Rebuilds the view of each pane into a second host from the database (the order's structure laid out again
// with the devices the screen shows loaded into it, or the device shown from its root again) and compares them
// node by node: keys, parents, texts with their counters, images. The rebuild writes nothing. The completion flags
// the rebuild would write are those the database holds wrongly: a component whose flag says complete while its
// counts say otherwise is reported (the final product at the top of a tree follows its own rule, see
// ComponentCapture::Complete). A pane the action
// left alone is a view taken earlier (the right pane shows a device as it was when it was shown): when the action
// changed what it shows, that is counted in staleViews, not reported, and the pane is not compared again until it
// is laid out afresh.
QList<WalkFinding> CompareScreens(WalkWorld& world, WalkWorker& worker, int& staleViews);
