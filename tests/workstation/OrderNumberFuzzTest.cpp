// Hostile and malformed production order numbers: entered into TBPaNr of the real window (Enter checks them
// against the ERP copy, which writes nothing), and recorded where the system records them, with the final
// product of the first scan. Each is either recorded byte for byte (without its blanks) or refused with a German
// message; nothing else changes in the six traceability tables, nothing crashes, and the window is left "Bereit".

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <iostream>
#include <optional>

#include "app/FormMain.h"
#include "db/ColumnLimits.h"
#include "shell/Misc.h"
#include "tests/workstation/FuzzSupport.h"
#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeSnapshot.h"

namespace {

const char* const kOrderRefusals[] = {
    "Bitte einen numerischen Wert eingeben",
    "Unbekannter Produktionsauftrag",
    "Die Produktionsauftragsnummer ist zu lang (",
    "Die Produktionsauftragsnummer enthält Steuerzeichen und wird nicht angenommen.",
    "Die Produktionsauftragsnummer enthält ungültige Zeichen und wird nicht angenommen.",
    "Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens 2147483647).",
};
const char* const kCaptureRefusals[] = {
    "Hinzufügen von Produktionscodes ohne Produktionsauftrag nicht möglich!",
    "Die Produktionsauftragsnummer ist keine Zahl und wird nicht angenommen.",
    "Die Produktionsauftragsnummer ist zu lang (",
    "Die Produktionsauftragsnummer enthält Steuerzeichen und wird nicht angenommen.",
    "Die Produktionsauftragsnummer enthält ungültige Zeichen und wird nicht angenommen.",
    "Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens 2147483647).",
};

constexpr int kValues = 10000;
constexpr quint32 kEntrySeed = 4401;
// The recording runs a whole scan for every value: half as many values, in shards of their own seeds.
constexpr int kRecordValues = kValues / 2;
constexpr int kRecordShards = 2;
constexpr quint32 kRecordSeed = 4410;

std::string Context(quint32 seed, int index, const QString& value) {
    return "seed " + std::to_string(seed) + " value #" + std::to_string(index) + " (" + Shown(value) + ")";
}

FuzzLimits ReadLimits() {
    ColumnLimits::Forget();
    using Column = ColumnLimits::Column;
    return {ColumnLimits::MaxLength(Column::ProductionCode), ColumnLimits::MaxLength(Column::SerialNumber),
            ColumnLimits::MaxLength(Column::ProductionOrderNumber)};
}

class OrderNumberFuzzTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestDatabase();
        limits_ = ReadLimits();
        ASSERT_GT(limits_.paNr, 0);
        form_.Form_Load();
        QApplication::processEvents();
        watch_.Start();
    }

    void PressEnter() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(form_.TBPaNr(0), &press);
    }

    LenientDialogs lenient_;
    FuzzLimits limits_;
    FormMain form_;
    TraceabilityWatch watch_;
    FuzzTally tally_;
};

TEST_F(OrderNumberFuzzTest, EnterRefusesOrLooksUpEveryValueAndWritesNothing) {
    const QStringList articles = QueryTestRows(QStringLiteral("SELECT ProductCode FROM productionorder_khk"));
    FuzzValues values(kEntrySeed, limits_);
    for (int index = 0; index < kValues && tally_.failures <= 20; ++index) {
        if (index % 500 == 499 && !watch_.Checkpoint()) {
            ++tally_.strayWrites;
        }
        form_.TB_ArtNr(0)->setText(QStringLiteral("ALT"));
        form_.TBPaNr(0)->setText(values.NextOrderNumber());
        const QString value = form_.TBPaNr(0)->text();  // as the field holds it
        ++tally_.values;
        PressEnter();
        const QStringList messages = lenient_.TakeMessages();
        const std::string context = Context(kEntrySeed, index, value);
        if (watch_.Step() != TraceabilityWatch::Counts{}) {
            ++tally_.strayWrites;
            ADD_FAILURE() << context << " the order entry wrote rows";
        }
        if (form_.Status() != QStringLiteral("Bereit") || messages.size() > 1) {
            ++tally_.failures;
            ADD_FAILURE() << context << " status " << form_.Status().toStdString() << ", messages "
                          << messages.join(QLatin1Char('|')).toStdString();
            continue;
        }
        const QString artNr = form_.TB_ArtNr(0)->text();
        if (messages.isEmpty()) {
            // Looked up and found, or empty and not looked up at all.
            const bool found = articles.contains(artNr);
            if (!(value.isEmpty() ? artNr == QStringLiteral("ALT") : found)) {
                ++tally_.failures;
                ADD_FAILURE() << context << " neither refused nor found: " << artNr.toStdString();
            }
            tally_.Other(value.isEmpty() ? QStringLiteral("empty, not looked up")
                                         : QStringLiteral("accepted: the order was found"));
            continue;
        }
        if (!StartsWithOneOf(messages.first(), kOrderRefusals)) {
            ++tally_.failures;
            ADD_FAILURE() << context << " refused with " << messages.first().toStdString();
            continue;
        }
        // A refused number leaves no article behind (an unknown one finds none).
        if (!artNr.isEmpty()) {
            ++tally_.failures;
            ADD_FAILURE() << context << " article field left at " << artNr.toStdString();
        }
        tally_.Refused(messages.first());
    }
    if (!watch_.Checkpoint()) {
        ++tally_.strayWrites;
    }
    EXPECT_EQ(tally_.strayWrites, 0);
    EXPECT_EQ(tally_.failures, 0);
    std::cout << tally_.Summary("OrderNumberEntry") << std::flush;
}

TEST_F(OrderNumberFuzzTest, EnterRefusesNumbersThatCannotBeRecordedWithTheirReason) {
    const QString tooLong = QString(limits_.paNr + 1, QLatin1Char('7'));
    const struct {
        QString paNr;
        QString message;  // "" when the order is found
    } cases[] = {
        {QStringLiteral("2147483648"),
         QStringLiteral("Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens 2147483647).")},
        {QStringLiteral("-2147483649"),
         QStringLiteral("Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens 2147483647).")},
        {QStringLiteral("2147483647"), QStringLiteral("Unbekannter Produktionsauftrag")},
        {tooLong, QStringLiteral("Die Produktionsauftragsnummer ist zu lang (%1 Zeichen, höchstens %2 erlaubt).")
                      .arg(limits_.paNr + 1)
                      .arg(limits_.paNr)},
        {QStringLiteral("240101\t"),
         QStringLiteral("Die Produktionsauftragsnummer enthält Steuerzeichen und wird nicht angenommen.")},
        {QStringLiteral("240101") + QString(limits_.paNr, QLatin1Char(' ')), QString()},  // blanks are not recorded
    };
    for (const auto& c : cases) {
        form_.TBPaNr(0)->setText(c.paNr);
        PressEnter();
        EXPECT_EQ(lenient_.TakeMessages(), c.message.isEmpty() ? QStringList() : QStringList{c.message})
            << Shown(c.paNr);
        EXPECT_EQ(form_.TB_ArtNr(0)->text(), c.message.isEmpty() ? QStringLiteral("SG-5000-A01") : QString());
        EXPECT_EQ(form_.Status(), QStringLiteral("Bereit"));
    }
    EXPECT_EQ(watch_.Step(), TraceabilityWatch::Counts{});
}

// The order number goes into the database with the final product of the order's first scan: whatever the field
// holds while a tree is laid out, as a worker who mistyped the number after laying the order out would leave it.
class OrderNumberRecordFuzzTest : public WorkflowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        WorkflowTest::SetUp();
        limits_ = ReadLimits();
        OpenOrder(QStringLiteral("240101"));
        layout_.emplace(host_.trees[0]);
        watch_.Start();
    }

    LenientDialogs lenient_;
    FuzzLimits limits_;
    std::optional<TreeSnapshot> layout_;  // the order's fresh structure
    TraceabilityWatch watch_;
    FuzzTally tally_;
};

TEST_P(OrderNumberRecordFuzzTest, FirstScanRecordsTheOrderNumberAsEnteredOrRefusesIt) {
    const quint32 seed = kRecordSeed + static_cast<quint32>(GetParam());
    FuzzValues values(seed, limits_);
    for (int index = 0; index < kRecordValues / kRecordShards && tally_.failures <= 20; ++index) {
        const QString value = values.NextOrderNumber();
        const QString prodCode = QStringLiteral("P%1").arg(30000000 + index);
        if (index % 500 == 499 && !watch_.Checkpoint()) {
            ++tally_.strayWrites;
        }
        ++tally_.values;
        host_.paNr[0] = value;
        Select(tree240101::kLp);
        flow_.capture.ProdCodeSerNrScanInput(prodCode, QString());
        const QStringList messages = lenient_.TakeMessages();
        const TraceabilityWatch::Counts added = watch_.Step();
        const std::string context = Context(seed, index, value);
        if (host_.status != WorkstationHost::Ready()) {
            ++tally_.failures;
            ADD_FAILURE() << context << " status " << host_.status.toStdString();
        }
        if (added == TraceabilityWatch::Counts{}) {
            if (messages.isEmpty() || !StartsWithOneOf(messages.last(), kCaptureRefusals)) {
                ++tally_.failures;
                ADD_FAILURE() << context
                              << " neither recorded nor refused: " << messages.join(QLatin1Char('|')).toStdString();
            } else {
                tally_.Refused(messages.last());
            }
            continue;
        }
        // Recorded: the final product under the order number without its blanks, the component with its code.
        const std::array<int, kTraceabilityTableCount> newComponent{2, 3, 1, 0, 1, 2};
        if (added != newComponent || watch_.NewPaNrs() != QStringList{HexOf(TrimBlanks(value))} ||
            watch_.NewProdCodes() != QStringList{HexOf(prodCode)}) {
            ++tally_.strayWrites;
            ++tally_.failures;
            ADD_FAILURE() << context << " rows added " << ::testing::PrintToString(added) << ", order recorded as "
                          << watch_.NewPaNrs().join(',').toStdString() << ", messages "
                          << messages.join(QLatin1Char('|')).toStdString();
        }
        ++tally_.stored;
        layout_->Restore(host_.trees[0]);
    }
    if (!watch_.Checkpoint()) {
        ++tally_.strayWrites;
    }
    EXPECT_EQ(tally_.strayWrites, 0);
    EXPECT_EQ(tally_.failures, 0);
    std::cout << tally_.Summary(("OrderNumberRecorded" + std::to_string(GetParam())).c_str()) << std::flush;
}

INSTANTIATE_TEST_SUITE_P(Shards, OrderNumberRecordFuzzTest, ::testing::Range(1, kRecordShards + 1));

}  // namespace
