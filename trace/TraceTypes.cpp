#include "trace/TraceTypes.h"

int Usage::RemovedStep() const {
    for (int step = 0; step < links.size(); ++step) {
        if (links.at(step).startsWith(QLatin1Char('D'))) {
            return step;
        }
    }
    return -1;
}

QString MatchKindKey(MatchKind kind) {
    switch (kind) {
        case MatchKind::ProductionCode:
            return QStringLiteral("production-code");
        case MatchKind::SerialNumber:
            return QStringLiteral("serial-number");
        case MatchKind::ExternalSerialNumber:
            return QStringLiteral("external-serial-number");
        case MatchKind::None:
            break;
    }
    return QStringLiteral("unknown");
}

QString TestResultKey(TestResult result) {
    switch (result) {
        case TestResult::Passed:
            return QStringLiteral("passed");
        case TestResult::Failed:
            return QStringLiteral("failed");
        case TestResult::Untested:
            break;
    }
    return QStringLiteral("untested");
}
