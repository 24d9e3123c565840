// Hostile and malformed scanner values through the scan routes of the workstation: the capture as the tree
// keystroke capture reaches it, the double-click input box, and the device search. Every value is either recorded
// byte for byte where the system records it, or refused with a German message; nothing else changes in the six
// traceability tables, nothing crashes, and the host is left "Bereit".
//
// The values come from a seeded generator (FuzzSupport.h): a failure names the seed and the value's index.

#include <iostream>
#include <optional>

#include "db/ColumnLimits.h"
#include "shell/KeystrokeCapture.h"
#include "shell/Misc.h"
#include "tests/workstation/FuzzSupport.h"
#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeSnapshot.h"

namespace {

using namespace tree240101;

enum class Route { KeystrokeCapture, DoubleClick, SwapDevice };

struct FuzzRun {
    const char* name;
    Route route;
    quint32 seed;
    int values;
};

void PrintTo(const FuzzRun& run, std::ostream* out) {
    *out << run.name;
}

// Messages that end a scan without recording it: refusals of the system and questions the worker said No to.
const char* const kCaptureRefusals[] = {
    "Der gescannte Wert ist zu lang (",
    "Der gescannte Wert enthält Steuerzeichen und wird nicht angenommen.",
    "Der gescannte Wert enthält ungültige Zeichen und wird nicht angenommen.",
    "Eingabe entspricht nicht dem zugelassenen Format",
    "Der gescannte Wert entspricht werder einer Seriennummer noch einem Produktionscodeformat.",
    "Die Komponente benötigt keienen Produktionscode.",
    "Die Komponente benötigt keiene Seriennummer.",
    "Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden.",
    "Produktionscode wurde bereits einem anderen Artikel in einem anderen Zusammenbau zugewiesen",
    "Produktionscode wurde diesem Artikel bereits zugewiesen",
    "Seriennummer wurde bereits Verwendet",
    "Der Produktionscode gehört zu einem bereits angefangenem Zusammenbau.",
    "Der gescannte Produktionskode hat die Artikelnummer:",
    "Der Produktionscode wurde bereits in diesem Zusammenbau verwendet.",
    "Der gescannte Produktionskode wurde bereits in einem Zusammenbau verwendet",
    "Dieser Produktionscode gehört zu einem bisher ungetesteten Artikel.",
    "Dieser Produktionscode oder diese Seriennummer gehört zu einem bisher ungetesteten Artikel.",
};
const char* const kSwapRefusals[] = {
    "Der gescannte Wert ist zu lang (",
    "Der gescannte Wert enthält Steuerzeichen und wird nicht angenommen.",
    "Der gescannte Wert enthält ungültige Zeichen und wird nicht angenommen.",
    "Produktionscode oder Seriennummer ungültig oder unbekannt",
    "Dieser Produktionscode ist noch unbekannt",
    "Dieser Artikel wurde keinem Gerät zugewiesen",
    "Der Artikel wurde bereits in dem Produktionsauftrag ",
    "Es wurde kein Artikel in dem Produktionsauftrag gefunden",
    "Das gescannte Endgerät wurde unter dem Produktionsauftrag ",
    "Dieser Artikel wurde bisher keinem Gerät zugewiesen",
    "Dieser Artikel wurde keinem Gerät mit diesem Productionsauftrag zugewiesen",
};
// What must never be the end of a scanned value: the error endings and the database's own error report.
const char* const kFailures[] = {"Es ist ein Fehler aufgetreten", "Der Vorgang wird Gelöscht", "Error ",
                                 "Keine Verbindung zur Datenbank", "Achtung eine oder mehrere Transaktionen"};

// Values of every awkward kind that the capture records, for the device search to find again.
const char16_t* const kRecordedForSearch[] = {
    u"O'Brien-1", u"100%_sicher", u"C:\\Pfad\\x", u"\"zitiert\"", u"Müller-Ä1", u"😀-42",   u"x' OR '1'='1",
    u"%",         u"_",           u"\\",          u"a_b%c",       u"Straße-9",  u"`;--",   u"{fn NOW()}",
    u"?",         u"中文-7",      u"e\u0301-1",   u"\u202e-rtl",  u"  lead",    u"tail  ", u"[A-F]*",
};

// Rows a new component adds: the final product and the component (device, assembly rows, order, articles) and
// one identifier, a production code or a serial number.
bool IsNewComponent(const TraceabilityWatch::Counts& added) {
    return added[0] == 2 && added[1] == 3 && added[2] + added[3] == 1 && added[4] == 1 && added[5] == 2;
}

class ScanFuzzTest : public WorkflowTest, public ::testing::WithParamInterface<FuzzRun> {
protected:
    void SetUp() override {
        WorkflowTest::SetUp();
        ColumnLimits::Forget();
        using Column = ColumnLimits::Column;
        limits_ = {ColumnLimits::MaxLength(Column::ProductionCode), ColumnLimits::MaxLength(Column::SerialNumber),
                   ColumnLimits::MaxLength(Column::ProductionOrderNumber)};
        ASSERT_GT(limits_.prodCode, 0);
        ASSERT_GT(limits_.serNr, 0);
        OpenOrder(QStringLiteral("240101"));
        layout_.emplace(host_.trees[0]);
        watch_.Start();
    }

    // The order's fresh structure again, as laying it out anew gives it (without asking the database again).
    void LayOutAgain() { layout_->Restore(host_.trees[0]); }

    // Checks what the value did and counts it: recorded as scanned, or refused; a failure names the value.
    void JudgeCapture(const FuzzRun& run, int index, const QString& value, const QString& node);
    void JudgeSearch(const FuzzRun& run, int index, const QString& value, bool recorded);
    // Types the value into the tree's keystroke capture: what it passes on is "P" and eight digits, the end of
    // what was typed.
    void TypeIntoTree(const QString& value);
    // Records the values for the search through the capture, as external serial numbers of new devices.
    void RecordForSearch(QStringList& recorded);

    // The value a failure is about; counts the failure.
    std::string Failed(const FuzzRun& run, int index, const QString& value) {
        ++tally_.failures;
        return std::string(run.name) + " seed " + std::to_string(run.seed) + " value #" + std::to_string(index) + " (" +
               Shown(value) + ")";
    }

    LenientDialogs lenient_;
    FuzzLimits limits_;
    std::optional<TreeSnapshot> layout_;
    TraceabilityWatch watch_;
    FuzzTally tally_;
    KeystrokeCapture keystrokes_{[this](const QString& code) { delivered_.append(code); }};
    QStringList delivered_;
};

void ScanFuzzTest::TypeIntoTree(const QString& value) {
    delivered_.clear();
    for (const QChar c : value + QLatin1Char('\r')) {
        keystrokes_.HandleCharacter(c);
    }
    static const QRegularExpression code(QStringLiteral("^P[0-9]{8}$"));
    for (const QString& passed : delivered_) {
        EXPECT_TRUE(code.match(passed).hasMatch() && (value + QLatin1Char('\r')).contains(passed + QLatin1Char('\r')))
            << Shown(value) << " passed on " << Shown(passed);
    }
}

void ScanFuzzTest::JudgeCapture(const FuzzRun& run, int index, const QString& value, const QString& node) {
    const QStringList messages = lenient_.TakeMessages();
    const TraceabilityWatch::Counts added = watch_.Step();
    EXPECT_EQ(host_.status, WorkstationHost::Ready()) << Failed(run, index, value);
    for (const QString& message : messages) {
        EXPECT_FALSE(StartsWithOneOf(message, kFailures)) << Failed(run, index, value) << ": " << message.toStdString();
    }
    if (added == TraceabilityWatch::Counts{}) {
        // Refused: with a message, and the tree as it was.
        if (messages.isEmpty() || !StartsWithOneOf(messages.last(), kCaptureRefusals)) {
            ADD_FAILURE() << Failed(run, index, value)
                          << " neither recorded nor refused: " << messages.join(QLatin1Char('|')).toStdString();
            return;
        }
        tally_.Refused(messages.last());
        if (TreeRows() != fresh_) {
            ADD_FAILURE() << Failed(run, index, value) << " tree changed on " << node.toStdString();
            LayOutAgain();
        }
        return;
    }
    // Recorded: as a new component with exactly this value, under the order of the tree.
    if (!IsNewComponent(added)) {
        ++tally_.strayWrites;
        ADD_FAILURE() << Failed(run, index, value) << " rows added: " << ::testing::PrintToString(added);
        LayOutAgain();
        return;
    }
    const QStringList prodCodes = watch_.NewProdCodes();
    const QStringList serNrs = watch_.NewSerNrs();
    // Own serial numbers are recorded without leading and trailing blanks, everything else as scanned.
    const bool asScanned = prodCodes == QStringList{HexOf(value)} ||
                           serNrs == QStringList{HexOf(value) + QStringLiteral("|1")} ||
                           serNrs == QStringList{HexOf(TrimBlanks(value)) + QStringLiteral("|0")};
    const bool orderAsLaidOut = watch_.NewPaNrs() == QStringList{HexOf(QStringLiteral("240101"))};
    if (!asScanned || !orderAsLaidOut) {
        ++tally_.strayWrites;
        ADD_FAILURE() << Failed(run, index, value) << " recorded as " << prodCodes.join(',').toStdString()
                      << serNrs.join(',').toStdString() << " under " << watch_.NewPaNrs().join(',').toStdString();
    }
    ++tally_.stored;
    LayOutAgain();  // the next value meets the order's fresh structure again
}

void ScanFuzzTest::JudgeSearch(const FuzzRun& run, int index, const QString& value, bool recorded) {
    const QStringList messages = lenient_.TakeMessages();
    const TraceabilityWatch::Counts added = watch_.Step();
    if (added != TraceabilityWatch::Counts{}) {
        ++tally_.strayWrites;
        ADD_FAILURE() << Failed(run, index, value) << " the search wrote rows";
    }
    EXPECT_EQ(host_.status, WorkstationHost::Ready()) << Failed(run, index, value);
    for (const QString& message : messages) {
        EXPECT_TRUE(StartsWithOneOf(message, kSwapRefusals) || message.startsWith(QStringLiteral("Achtung ! ")) ||
                    message.startsWith(QStringLiteral("Es existieren noch höhere Hierarchiebenen")))
            << Failed(run, index, value) << ": " << message.toStdString();
    }
    if (recorded) {
        // A value the capture recorded is found again and shown in the order's tree, without a word.
        EXPECT_EQ(messages, QStringList()) << Failed(run, index, value);
        EXPECT_EQ(host_.scannedArticle, QStringLiteral("FM-5300-A")) << Failed(run, index, value);
        tally_.Other(QStringLiteral("recorded by the capture before, found and shown"));
        return;
    }
    if (messages.isEmpty()) {
        // Shown without a question: only a recorded device.
        EXPECT_FALSE(host_.scannedArticle.isEmpty()) << Failed(run, index, value);
        tally_.Other(QStringLiteral("a demo device, found and shown"));
        return;
    }
    tally_.Refused(messages.last());
}

void ScanFuzzTest::RecordForSearch(QStringList& recorded) {
    for (const char16_t* text : kRecordedForSearch) {
        const QString value = QString::fromUtf16(text);
        Select(kFm);
        lenient_.QueueInput(value);
        host_.lastMouseButton = 1;
        flow_.entry.TreeViewCtr_DblClick(0);
        lenient_.TakeMessages();
        ASSERT_TRUE(IsNewComponent(watch_.Step())) << Shown(value);
        ASSERT_EQ(watch_.NewSerNrs(), QStringList{HexOf(value) + QStringLiteral("|1")}) << Shown(value);
        recorded.append(value);
        LayOutAgain();
    }
    watch_.Checkpoint();
    watch_.AllowCompletionFlagChanges();
}

TEST_P(ScanFuzzTest, EveryValueRecordedAsScannedOrRefused) {
    const FuzzRun& run = GetParam();
    FuzzValues values(run.seed, limits_);
    QStringList recorded;
    if (run.route == Route::SwapDevice) {
        RecordForSearch(recorded);
    }
    for (int index = 0; index < run.values; ++index) {
        FuzzValues::Kind kind = FuzzValues::Kind::Free;
        QString value = values.NextScan(kind);
        ++tally_.values;
        switch (run.route) {
            case Route::KeystrokeCapture:
                // The capture as the keystroke capture calls it, on the node the cursor stands on.
                TypeIntoTree(value);
                Select(kLp);
                flow_.capture.ProdCodeSerNrScanInput(value, QString());
                JudgeCapture(run, index, value, kLp);
                break;
            case Route::DoubleClick: {
                // On a node that expects what the value was built to look like (the empty value on one that
                // expects no external serial: elsewhere it is the documented device awaiting its serial).
                const QString node = kind == FuzzValues::Kind::ProdCode || value.isEmpty() ? kLp
                                     : kind == FuzzValues::Kind::SerNr                     ? kNt
                                                                                           : kFm;
                Select(node);
                lenient_.QueueInput(value);
                host_.lastMouseButton = 1;
                flow_.entry.TreeViewCtr_DblClick(0);
                JudgeCapture(run, index, value, node);
                break;
            }
            case Route::SwapDevice: {
                const bool known = index % 10 == 0;
                if (known) {
                    value = recorded.at((index / 10) % recorded.size());
                }
                lenient_.QueueInput(value);
                flow_.display.SwapDevice(QString(), 0);
                JudgeSearch(run, index, value, known);
                break;
            }
        }
        if (index % 500 == 499 && !watch_.Checkpoint()) {
            ++tally_.strayWrites;
        }
        if (tally_.failures > 20) {
            break;  // enough said
        }
    }
    if (!watch_.Checkpoint()) {
        ++tally_.strayWrites;
    }
    EXPECT_EQ(tally_.strayWrites, 0);
    EXPECT_EQ(tally_.failures, 0);
    std::cout << tally_.Summary(run.name) << std::flush;
}

// 10,000 values per route, in shards of their own seeds (each shard well within a test's time limit).
// clang-format off
const FuzzRun kRuns[] = {
    {"KeystrokeCapture1", Route::KeystrokeCapture, 4101, 2500}, {"KeystrokeCapture2", Route::KeystrokeCapture, 4102, 2500},
    {"KeystrokeCapture3", Route::KeystrokeCapture, 4103, 2500}, {"KeystrokeCapture4", Route::KeystrokeCapture, 4104, 2500},
    {"DoubleClick1", Route::DoubleClick, 4201, 2500}, {"DoubleClick2", Route::DoubleClick, 4202, 2500},
    {"DoubleClick3", Route::DoubleClick, 4203, 2500}, {"DoubleClick4", Route::DoubleClick, 4204, 2500},
    {"SwapDevice1", Route::SwapDevice, 4301, 2500}, {"SwapDevice2", Route::SwapDevice, 4302, 2500},
    {"SwapDevice3", Route::SwapDevice, 4303, 2500}, {"SwapDevice4", Route::SwapDevice, 4304, 2500},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Routes, ScanFuzzTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
