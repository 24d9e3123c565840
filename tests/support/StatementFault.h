#pragma once

#include <QString>

#include "db/AssemblyDbClass.h"

// Server errors a statement of a fault sweep is made to fail with: a refusal that leaves the transaction open
// (lock wait), a deadlock (the server rolls the whole transaction back) and a lost connection.
inline constexpr int kStatementFaultCodes[] = {1205, 1213, 2013};

// While it lives, statement failAt (counted from 1; 0 for none) fails with the server error code; it counts the
// statements sent and notes the last one that committed.
class StatementFault {
public:
    StatementFault(int failAt, int code) {
        AssemblyDbClass::SetStatementFault([this, failAt, code](const QString& sql) {
            if (sql == QLatin1String(AssemblyDbClass::kConnectAttempt)) {
                return 0;  // not a statement: the server stays reachable
            }
            ++sent_;
            if (sql.startsWith(QLatin1String("COMMIT"))) {
                lastCommit_ = sent_;
            }
            return sent_ == failAt ? code : 0;
        });
    }
    ~StatementFault() { AssemblyDbClass::SetStatementFault({}); }
    StatementFault(const StatementFault&) = delete;
    StatementFault& operator=(const StatementFault&) = delete;

    int Sent() const { return sent_; }
    int LastCommit() const { return lastCommit_; }

private:
    int sent_ = 0;
    int lastCommit_ = 0;
};
