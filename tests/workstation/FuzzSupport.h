#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <map>
#include <random>

#include "shell/UserDialogs.h"
#include "tests/support/TestDatabase.h"

// What the hostile-scan tests need besides the workflow: a reproducible stream of malformed scanner values, a
// worker who answers every question without a script, and a watch on the six traceability tables that is cheap
// enough to ask after every value.

// The lengths the generated values are built around (the columns' lengths in the test database).
struct FuzzLimits {
    int prodCode = 0;
    int serNr = 0;
    int paNr = 0;
};

// A seeded, reproducible stream of values a scanner might send: well-formed production codes and serial numbers
// of every length around the column limits, SQL and LIKE metacharacters, backslashes and quotes, control
// characters (NUL, CR, LF, TAB, ...), non-ASCII text (umlauts, emoji, combining marks), lone surrogates and
// values of up to 10,000 characters.
class FuzzValues {
public:
    // The shape the value was built from; the tests choose the node to scan on by it.
    enum class Kind { ProdCode, SerNr, Free };

    FuzzValues(quint32 seed, FuzzLimits limits) : random_(seed), limits_(limits) {}

    // A value for a scan; kind tells what it was built to look like.
    QString NextScan(Kind& kind);
    // A value for the production order field.
    QString NextOrderNumber();

private:
    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
    bool OneIn(int n) { return Below(n) == 0; }
    // A length: short, around the limit (limit - 2 ... limit + 2), or long (up to 10,000).
    int Length(int limit, int typical);
    QString Digits(int count);
    QString HexDigits(int count, bool bothCases);
    QString AnyCharacter();
    QString Hostile();
    QString FreeText(int length);
    QString ProdCodeShape();
    QString SerNrShape();
    QString Mutate(const QString& value);

    std::mt19937 random_;
    FuzzLimits limits_;
};

// The worker of the hostile-scan tests: takes the inputs queued for it (then Cancel), says No to every
// question, Cancel to every confirmation, and remembers every message box. Installed for its lifetime.
class LenientDialogs : public UserDialogs {
public:
    LenientDialogs();
    ~LenientDialogs() override;

    void QueueInput(const QString& text) { inputs_.push_back(text); }
    // The messages since the last call, and forgets them and any input not asked for.
    QStringList TakeMessages();

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString PasswordBox() override { return QString(); }
    void Beep(int, int) override {}

private:
    QStringList messages_;
    std::deque<QString> inputs_;
    UserDialogs* previous_ = nullptr;
};

// The rows of the six traceability tables, followed value by value: after each value the rows each table gained
// (by their auto-increment keys), and at checkpoints that every row older than the last checkpoint is unchanged.
class TraceabilityWatch {
public:
    using Counts = std::array<int, kTraceabilityTableCount>;

    // Takes the tables as they are now as the first checkpoint.
    void Start();
    // From now on the completion flag (device_assembly.OKFlag) is left out of the checkpoints: showing a device
    // refreshes the flags of the devices shown from their recorded codes, a write that belongs to the display.
    void AllowCompletionFlagChanges();
    // The rows each table gained since the last call.
    Counts Step();
    // The text columns of the rows the last Step found added: "HEX(value)|ExtFlag" for serial numbers,
    // "HEX(value)" for the others.
    QStringList NewProdCodes() const;
    QStringList NewSerNrs() const;
    QStringList NewPaNrs() const;
    // Whether every row that existed at the last checkpoint is as it was then (a failure names the difference);
    // starts the next checkpoint.
    bool Checkpoint();

private:
    QStringList RowsUpTo(const std::array<qint64, kTraceabilityTableCount>& maxIds) const;
    QStringList NewValues(int table, const QString& columns) const;

    std::array<qint64, kTraceabilityTableCount> maxIds_{};
    std::array<qint64, kTraceabilityTableCount> stepIds_{};  // the highest keys before the last Step
    std::array<qint64, kTraceabilityTableCount> checkpointIds_{};
    QStringList checkpointRows_;
    bool completionFlagsMayChange_ = false;
};

// The bytes of a text as the database stores them, as HEX() shows them.
QString HexOf(const QString& text);
// A value for a failure message: its length and its first characters, escaped.
std::string Shown(const QString& value);

// How the values of one entry ended, for the test's summary line.
struct FuzzTally {
    int values = 0;
    int stored = 0;
    int strayWrites = 0;  // values after which rows were added or changed that the value does not account for
    int failures = 0;     // values that failed any check
    std::map<QString, int> refused;  // by the first line of the message that refused it
    std::map<QString, int> others;   // neither recorded nor refused (looked up, shown), by what happened

    void Refused(const QString& message);
    void Other(const QString& what) { ++others[what]; }
    std::string Summary(const char* entry) const;
};

// True when the text starts with one of the given beginnings (the known messages of a route).
template <size_t N>
bool StartsWithOneOf(const QString& text, const char* const (&starts)[N]) {
    for (const char* start : starts) {
        if (text.startsWith(QString::fromUtf8(start))) {
            return true;
        }
    }
    return false;
}
