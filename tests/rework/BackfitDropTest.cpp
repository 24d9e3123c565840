// A device of the right tree dropped onto the left one: every refusal, the conversion into the article of the
// device node dropped on, and the move into a slot with its scan-in, kept or rolled back as one whole. The
// left tree shows a demo order, the right one the recorded device 9030 built from its root.

#include <iostream>
#include <vector>

#include "db/ColumnLimits.h"
#include "rework/BackfitDrop.h"
#include "tests/support/StatementFault.h"
#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeNode.h"

namespace {

using A = MsgAnswer;
using namespace tree240101;

// Hands every dialog of the drop on to the scripted answers and notes the status line shown meanwhile.
class StatusAtDialogs : public UserDialogs {
public:
    StatusAtDialogs(UserDialogs& answers, const WorkstationHost& host) : answers_(answers), host_(host) {
        SetDialogs(this);
    }
    ~StatusAtDialogs() override { SetDialogs(&answers_); }
    StatusAtDialogs(const StatusAtDialogs&) = delete;
    StatusAtDialogs& operator=(const StatusAtDialogs&) = delete;

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        seen.append(host_.Status());
        return answers_.MsgBox(text, buttons, icon, title);
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
        seen.append(host_.Status());
        return answers_.InputBox(prompt, title, defaultText);
    }
    QString PasswordBox() override {
        seen.append(host_.Status());
        return answers_.PasswordBox();
    }
    void Beep(int frequencyHz, int durationMs) override { answers_.Beep(frequencyHz, durationMs); }

    QStringList seen;

private:
    UserDialogs& answers_;
    const WorkstationHost& host_;
};

// A list compared as its lines, so that a difference reads as text.
std::string Lines(const QStringList& rows) {
    return rows.join(QLatin1Char('\n')).toStdString();
}

// Where a drop starts: the order of the left tree with the scans made in it, and the device shown right.
struct Setting {
    QString order = "240101";  // "" leaves the left tree empty
    std::vector<Scan> given = {};
    QString right = "P24100030";  // code of the device shown in the right tree
    QString rightOrder = {};      // "" shows it built from its root
    QStringList data = {};        // statements run on the demo data first
};

class BackfitDropTest : public WorkflowTest {
protected:
    void Prepare(const Setting& s) {
        for (const QString& statement : s.data) {
            ExecTestSql(statement);
        }
        OpenOrder(s.order);
        Given(s.given);
        host_.paNr[1] = s.rightOrder;
        if (s.rightOrder.isEmpty()) {
            dialogs_.QueueAnswer(A::Yes);  // shown without an order, from the device's root
        }
        flow_.display.SwapDevice(s.right, 1);
        dialogs_.Clear();
        host_.focus.clear();
        host_.status = WorkstationHost::Ready();
    }

    TreeNode* NodeOf(int pane, const QString& key) {
        TreeNode* node = key.isEmpty() ? nullptr : host_.trees[pane].Item(Resolve(key));
        EXPECT_TRUE(key.isEmpty() || node != nullptr) << "no node " << Resolve(key).toStdString();
        return node;
    }

    // Selects the source in the right tree and drops onto the target of tree index; the statuses seen at
    // the dialogs are returned.
    QStringList Drop(const QString& source, int index, const QString& control, const QString& target,
                     const std::vector<MsgAnswer>& answers, const QStringList& inputs) {
        TreeNode* sourceNode = NodeOf(1, source);
        host_.trees[1].SetSelectedItem(sourceNode);
        TreeNode* targetNode = NodeOf(index, target);
        Queue(answers, inputs);
        StatusAtDialogs statuses(dialogs_, host_);
        drop_.Drop(index, control, sourceNode, targetNode);
        return statuses.seen;
    }

    static QString Selected(const NodeTree& tree) {
        return tree.SelectedItem() != nullptr ? tree.SelectedItem()->Key() : QString();
    }

    // The rows of a pane changed by edits: "OLD=row" replaces the node keyed OLD.
    QStringList Edited(QStringList rows, const QStringList& edits) const {
        for (const QString& entry : edits) {
            const QString edit = Resolve(entry);
            const QString key = edit.section(QLatin1Char('='), 0, 0);
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&](const QString& r) { return r.section(QLatin1Char('|'), 0, 0) == key; });
            if (row == rows.end()) {
                ADD_FAILURE() << "no node " << key.toStdString() << " to change";
            } else {
                *row = edit.section(QLatin1Char('='), 1);
            }
        }
        return rows;
    }

    BackfitDrop drop_{host_, flow_.capture};
};

// Expected dialog lines of the drop.
const QString kTargetHolds = MsgOk(
    "Der Zielknoten beinhalten eine Komponente mit Seriennummer oder Produktionscode.\r\nDaher muss die Zuweisung "
    "erst aufgelöst werden.");
const QString kNoOrderForConversion =
    MsgOk("Kein PA für Umrüstung vorhanden. Bitte verwenden Sie den entspechenden PA um umzurüsten");
const QString kFailure = MsgOk("Es ist Ein Fehler Aufgetereten. Der Vorgang wird Rückgängig gemacht");
QString OtherArticle(const QString& source, const QString& target) {
    const QString question = "Die Artikelnummern '" + source + "' und  '" + target + "' sind abweichend.  \r\n";
    return MsgYesNo(question + "Sind Sie sicher, dass '" + source + "' umgerüsttet werden soll ?");
}
const QString kToCompact = OtherArticle("SG-5000-A", "SG-5000-C");
const QString kRmToLp = OtherArticle("RM-5120-A", "LP-5100-A");

// The order 240103 with a first board scanned: its root holds the empty device #1 (no code of its own).
const Setting kCompactStarted{"240103", {{"LP-5100-A 2", "P24200001", "", {}, {""}}}};
const Scan kBoard{kLp, "P24200001", "", {}, {""}};

// ---- Refusals: nothing is written and both trees stay as they were -------------------------------------------

struct RefusalCase {
    const char* name;
    Setting setting;
    QString source;  // key selected in the right tree, "" none
    QString target;  // key of the node dropped on, "" none
    std::vector<MsgAnswer> answers = {};
    QStringList inputs = {};
    QStringList dialogs = {};
    QString paNr = "=";  // the order field at the drop, "=" as opened
    int index = 0;
    QString control = "TreeViewCtr(1)";
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

// clang-format off
const RefusalCase kRefusals[] = {
    // Not a drop of a right-tree node onto the left tree: nothing at all happens.
    {"OntoTheRightTree", {}, "9030K0", "9031K0", {}, {}, {}, "=", 1},
    {"FromAControlThatIsNoTree", {}, "9030K0", kLp, {}, {}, {}, "=", 0, "TBPaNr(0)"},
    {"NoSourceSelected", {}, "", kLp},
    {"NoTarget", {}, "9032K0", ""},
    {"EmptyLeftTree", {""}, "9032K0", "",
     {}, {}, {MsgOk("Kein Einfügen in leere Struktur möglich. Erstellen sie zuerst ein neues Gerät.")}},
    // The target device already holds an identifier, whatever the articles.
    {"TargetWithProdCode", {"240101", {kBoard}}, "9031K0", "#2K2", {}, {}, {kTargetHolds}},
    {"TargetWithSerNr", {"240101", {{kRoot, "", "240002", {A::Cancel}}}}, "9030K0", "#1K0", {}, {}, {kTargetHolds}},
    {"TargetWithExtSerNr", {"240101", {{kFm, "", "FM24-00999"}}}, "9036K0", "#2K2", {}, {}, {kTargetHolds}},
    // An expected slot of the right tree is no device to drop.
    {"ExpectedSlotAsSource", {"240101", {kBoard}, "P24200001", "240101"}, kRm1, kRm1,
     {}, {}, {MsgOk("Ein Leeres Element kann nicht verschoben werden.")}},
    // Conversion: the question, the password, the order field.
    {"ConversionNotConfirmed", kCompactStarted, "9030K0", "#1K0", {A::No}, {}, {kToCompact}},
    {"ConversionWrongPassword", kCompactStarted, "9030K0", "#1K0", {A::Yes}, {"58047m"},
     {kToCompact, "password", MsgOk("Falsches Passwort")}},
    {"ConversionWithoutOrder", kCompactStarted, "9030K0", "#1K0", {A::Yes}, {"qorv"},
     {kToCompact, "password", kNoOrderForConversion}, ""},
    {"ConversionOrderOfOtherArticle", kCompactStarted, "9030K0", "#1K0", {A::Yes}, {"qorv"},
     {kToCompact, "password", kNoOrderForConversion}, "240101"},
    // Move: the question and the password into a slot of another article; a source without production code.
    {"MoveNotConfirmed", {}, "9032K0", kLp, {A::No}, {}, {kRmToLp}},
    {"MoveWrongPassword", {}, "9032K0", kLp, {A::Yes}, {"qorv"}, {kRmToLp, "password"}},
    {"MoveWithoutProdCode", {}, "9036K0", kFm, {}, {},
     {MsgOk("Einfügen nicht möglich. Die einzufügene Komponente besitzt keinen Produktionscode.")}},
};
// clang-format on

class DropRefusals : public BackfitDropTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DropRefusals, LeaveDatabaseAndTreesAsTheyWere) {
    const RefusalCase& c = GetParam();
    Prepare(c.setting);
    if (c.paNr != QLatin1String("=")) {
        host_.paNr[0] = c.paNr;
    }
    const QStringList rowsBefore = TraceabilityRows();
    const QStringList left = TreeRows(0), right = TreeRows(1);
    const QString leftSelected = Selected(host_.trees[0]);

    const QStringList statuses = Drop(c.source, c.index, c.control, c.target, c.answers, c.inputs);

    QStringList dialogs;
    for (const QString& line : c.dialogs) {
        dialogs.append(Resolve(line));
    }
    EXPECT_EQ(Lines(DialogLog()), Lines(dialogs));
    dialogs_.Clear();
    EXPECT_EQ(Lines(TraceabilityRows()), Lines(rowsBefore));
    EXPECT_EQ(Lines(TreeRows(0)), Lines(left));
    EXPECT_EQ(Lines(TreeRows(1)), Lines(right));
    // The drop selects the node it lands on before anything else.
    EXPECT_EQ(Selected(host_.trees[c.index]).toStdString(),
              Resolve(c.target.isEmpty() && c.index == 0 ? leftSelected : c.target).toStdString());
    const bool dropped = c.index == 0 && c.control.startsWith(QLatin1String("TreeViewCtr"));
    EXPECT_EQ(Lines(statuses), Lines(QStringList(statuses.size(), WorkstationHost::Busy())));
    EXPECT_EQ(host_.status, WorkstationHost::Ready());
    // (Compared as standard vectors: Qt 6.4 compares two empty lists through a null pointer.)
    EXPECT_EQ(std::vector<int>(host_.focus.cbegin(), host_.focus.cend()),
              dropped ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BackfitDrop, DropRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Conversion and move: what one drop writes and shows, or, rolled back, leaves as it was ------------------

struct DropCase {
    const char* name;
    Setting setting;
    QString source, target;  // keys in the right and the left tree
    std::vector<MsgAnswer> answers;
    QStringList inputs;
    QStringList dialogs;
    // Rows added to device, device_assembly, device_productioncode, device_serialnumber,
    // device_productionordernumber, device_productcode; all zero compares every table whole.
    std::array<int, 6> rows = {};
    QStringList left = {}, right = {};  // changes of the trees ("OLD=row"); none: as before
    QString selected = {};              // selected node of the left tree afterwards
    // Rows a query reads afterwards (#n names the n-th device created).
    std::vector<std::pair<QString, QStringList>> records = {};
};

void PrintTo(const DropCase& c, std::ostream* out) {
    *out << c.name;
}

class DropOutcome : public BackfitDropTest, public ::testing::WithParamInterface<DropCase> {
protected:
    void Run() {
        const DropCase& c = GetParam();
        Prepare(c.setting);
        const TraceabilityChange change;
        const QStringList left = TreeRows(0), right = TreeRows(1);

        const QStringList statuses = Drop(c.source, 0, QStringLiteral("TreeViewCtr(1)"), c.target, c.answers, c.inputs);

        QStringList dialogs;
        for (const QString& line : c.dialogs) {
            dialogs.append(Resolve(line));
        }
        EXPECT_EQ(Lines(DialogLog()), Lines(dialogs));
        dialogs_.Clear();
        change.Expect(c.rows);
        for (const auto& [query, rows] : c.records) {
            QStringList want;
            for (const QString& row : rows) {
                want.append(Resolve(row));
            }
            EXPECT_EQ(Lines(QueryTestRows(Resolve(query))), Lines(want)) << query.toStdString();
        }
        EXPECT_EQ(Lines(TreeRows(0)), Lines(Edited(left, c.left)));
        EXPECT_EQ(Lines(TreeRows(1)), Lines(Edited(right, c.right)));
        EXPECT_EQ(Selected(host_.trees[0]).toStdString(),
                  Resolve(c.selected.isEmpty() ? c.target : c.selected).toStdString());
        EXPECT_EQ(Lines(statuses), Lines(QStringList(statuses.size(), WorkstationHost::Busy())))
            << "status at the dialogs";
        EXPECT_EQ(host_.status, WorkstationHost::Ready());
        EXPECT_EQ(host_.focus.value(host_.focus.size() - 1, -1), 0) << "keyboard on the left tree";
        EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
    }
};

// The own assembly rows of devices with their member counts: "device|master order|OK flag|members".
QString OwnAssemblies(const QString& devIds) {
    return "SELECT a.Device_Assembly, a.MasterProdOrder, a.OKFlag, COUNT(z.ID) FROM device_assembly a LEFT JOIN "
           "device_assembly z ON z.AssemblyNum = a.AssemblyNum AND z.AssemblyType = 'Z' WHERE a.AssemblyType = 'A' "
           "AND a.Device_Assembly IN (" +
           devIds + ") GROUP BY a.ID ORDER BY a.ID";
}
// Where devices were members, oldest first: "owner of the assembly|row type" ('Z' member, 'D0' removed).
QString Memberships(const QString& devIds) {
    return "SELECT o.Device_Assembly, m.AssemblyType FROM device_assembly m JOIN device_assembly o ON o.AssemblyNum = "
           "m.AssemblyNum AND o.AssemblyType = 'A' WHERE m.AssemblyType <> 'A' AND m.Device_Assembly IN (SELECT "
           "AssemblyNum FROM device_assembly WHERE AssemblyType = 'A' AND Device_Assembly IN (" +
           devIds + ")) ORDER BY m.ID";
}

// clang-format off
const DropCase kConversions[] = {
    // 9030 takes the order's article and the place of the empty root device #1: its own assembly row, with the
    // board #2 below it and its OK flag; the placeholder #3 keeps the old article and 9030's former assembly
    // with its eight components, now under the order of the conversion; the right tree shows the placeholder in
    // 9030's place, incomplete without a serial.
    {"RecordedDeviceTakesTheTargetsArticleAndPlace", kCompactStarted, "9030K0", "#1K0", {A::Yes}, {"qorv"},
     {kToCompact, "password"}, {1, 0, 0, 0, 1, 1},
     {"#1K0=9030K0|SG-5000-C P(2/1) S(1/1)|Set"}, {"9030K0=#3K0|SG-5000-A P(10/1) S(0/1)|HasDev"}, "9030K0",
     {{"SELECT DevID, ProductCode, Suffix FROM device_productcode WHERE DevID IN (9030, #1, #3) ORDER BY DevID",
       {"9030|SG-5000-C|NULL", "#1|SG-5000-C|NULL", "#3|SG-5000-A|NULL"}},
      {OwnAssemblies("9030, #1, #3"), {"#3|240103|0|8", "9030|240103|1|1"}},
      {Memberships("#2"), {"9030|Z"}},
      {"SELECT DeviceID, ProductionOrderNumber FROM device_productionordernumber WHERE DeviceID IN (9030, #1, #3) "
       "ORDER BY DeviceID, ProductionOrderNumber", {"9030|240101", "9030|240103", "#1|240103"}}}},
};
// clang-format on

class Conversion : public DropOutcome {};
TEST_P(Conversion, WritesAndShowsTheConvertedDevice) {
    Run();
}
INSTANTIATE_TEST_SUITE_P(BackfitDrop, Conversion, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

// The right tree after a device left 9030: its node is an empty slot again, the root's counters follow, and
// the other components, loaded once more, carry the next instance number.
QStringList RightAfterMove(const QString& rootCounts, const QString& cleared, const QString& slot) {
    QStringList edits{cleared + "=" + slot, "9030K0=9030K0|SG-5000-A " + rootCounts + "|Set"};
    for (const QString& edit : Shown9030().mid(1)) {
        const QString row = edit.mid(edit.indexOf(QLatin1Char(edit.startsWith(QLatin1Char('+')) ? '+' : '=')) + 1);
        const QString key = row.section(QLatin1Char('|'), 0, 0);
        if (key != cleared) {
            edits.append(key + "=" + key.chopped(1) + "1" + row.mid(key.size()));
        }
    }
    return edits;
}
const QStringList kAmLeft9030 = RightAfterMove("P(10/1) S(1/1)", "9037K0", "AM-5400-A 0|AM-5400-A P(0/1) T|Unknown");
const QString kAmPlaced = kAm + "=9037K2|AM-5400-A P(1/1) T|Set";

// 9010 (NT-5100-A, serial S0A1B2C3D, converted into NT-5200-A by the ERP history) as a further component of 9030.
const QStringList kOldPowerSupplyIn9030{
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) VALUES "
    "(8501, 8501, 9010, 'A', 240101, 1), (8601, 9504, 8501, 'Z', NULL, 0)"};
// The untested display module 9002 in the place of 9037.
const QStringList kUntestedDisplayIn9030{"UPDATE device_assembly SET Device_Assembly = 9002 WHERE ID = 9511"};
const Setting kBoardScanned{"240101", {kBoard}};

// clang-format off
const DropCase kMoves[] = {
    // The device leaves 9030 (its membership becomes history) and is scanned into the slot.
    {"SameArticleWithoutPassword", kBoardScanned, "9037K0", kAm, {}, {}, {}, {0, 1, 0, 0, 0, 0},
     {"#1K0=#1K0|SG-5000-A P(2/1) S(0/1)|HasDev", kAmPlaced}, kAmLeft9030, kBg,
     {{Memberships("9037"), {"9030|D0", "#1|Z"}}}},
    {"SameArticleRootDeviceMadeOnTheWay", {}, "9037K0", kAm, {}, {}, {}, {1, 2, 0, 0, 1, 1},
     {kRoot + "=#1K0|SG-5000-A P(1/1) S(0/1)|HasDev", kAmPlaced}, kAmLeft9030, kBg,
     {{Memberships("9037"), {"9030|D0", "#1|Z"}},
      {"SELECT ProductCode FROM device_productcode WHERE DevID = #1", {"SG-5000-A"}}}},
    // Into a slot of another article behind the password: the scan-in converts 9010 by its ERP history into #3.
    {"OtherArticleWithPassword", {"240101", {kBoard}, "P24100030", "", kOldPowerSupplyIn9030}, "9010K0", kNt,
     {A::Yes}, {"58047m"}, {OtherArticle("NT-5100-A", "NT-5200-A"), "password"}, {1, 2, 1, 1, 1, 1},
     {"#1K0=#1K0|SG-5000-A P(2/1) S(0/1)|HasDev", kNt + "=#3K0|NT-5200-A P(1/1) S(1/1)|Set"},
     RightAfterMove("P(11/1) S(1/1)", "9010K0", "NT-5100-A 0|NT-5100-A P(0/1) S(0/1)|Unknown"), kFm,
     {{Memberships("9010, #3"), {"9030|D0", "#1|Z"}},
      {"SELECT DevID, ProductCode FROM device_productcode WHERE DevID IN (9010, #3) ORDER BY DevID",
       {"9010|NT-5100-A", "#3|NT-5200-A"}}}},
    // The scan-in refuses: the removal from 9030 (and the root device made on the way) is rolled back with it,
    // every table reads as before and both trees show again what they showed.
    {"ScanInRefusesTheArticle", {"240101", {{kAm, "P24100001"}}}, "9032K0", kLp, {A::Yes}, {"58047m"},
     {kRmToLp, "password", kBeep,
      MsgOk("Der gescannte Produktionskode wurde bereits in einem Zusammenbau verwendet und die Artikelnummer:"
            "RM-5120-A, stimmt nicht mit dem erwarteten Artikel: LP-5100-A 2 überein. \r\n"), kFailure}},
    {"ScanInUntestedNotConfirmed", {"240101", {}, "P24100030", "", kUntestedDisplayIn9030}, "9002K0", kAm,
     {A::No}, {}, {kBeep, MsgRuleQuestion(text::kUntested), kFailure}},
};
// clang-format on

class Move : public DropOutcome {};
TEST_P(Move, RecordsTheDeviceIntoTheSlotOrRollsBack) {
    Run();
}
INSTANTIATE_TEST_SUITE_P(BackfitDrop, Move, ::testing::ValuesIn(kMoves),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Faults: every statement of a drop failing in turn leaves the whole drop or nothing -----------------------

class DropFaults : public DropOutcome {
protected:
    struct Result {
        QStringList rows, left, right, messages;
        int statements = 0;
        int commit = 0;  // the last statement that committed
    };

    // The drop with statement failAt (from 1; 0 for none) failing with code.
    Result DropFailing(int failAt, int code) {
        const DropCase& c = GetParam();
        ResetTestDatabase();
        for (NodeTree& tree : host_.trees) {
            tree.Clear();
        }
        host_.paNr[1].clear();
        host_.tree.SetTreeViewIndex(0);
        Prepare(c.setting);
        before_ = {TraceabilityRowsWithoutTimes(), TreeRows(0), TreeRows(1), {}};
        Result result;
        std::vector<MsgAnswer> answers = c.answers;
        answers.insert(answers.end(), 3, A::No);  // a question of a way the dry run did not take: no
        {
            const StatementFault fault(failAt, code);
            try {
                Drop(c.source, 0, QStringLiteral("TreeViewCtr(1)"), c.target, answers, c.inputs);
            } catch (const VelkorError&) {
                // A read before the drop's transaction failed: the window's handler reports it and sets "Bereit".
                host_.status = WorkstationHost::Ready();
            }
            result.statements = fault.Sent();
            result.commit = fault.LastCommit();
        }
        result.messages = dialogs_.Messages();
        dialogs_.Forget();
        EXPECT_EQ(host_.status, WorkstationHost::Ready()) << "statement " << failAt << " failing with " << code;
        EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
        result.rows = TraceabilityRowsWithoutTimes();
        result.left = TreeRows(0);
        result.right = TreeRows(1);
        return result;
    }

    Result before_;
};

TEST_P(DropFaults, EveryStatementFailingLeavesTheWholeDropOrNothing) {
    // The column lengths are read once per process: read before the dry run, so that every run counts the same
    // statements.
    ColumnLimits::MaxLength(ColumnLimits::Column::ProductionCode);
    const Result whole = DropFailing(0, 0);
    ASSERT_NE(whole.rows, before_.rows) << "the drop records something";
    int injected = 0, partial = 0;
    for (int failAt = 1; failAt <= whole.statements; ++failAt) {
        for (int code : kStatementFaultCodes) {
            const Result after = DropFailing(failAt, code);
            ++injected;
            const bool nothing = after.rows == before_.rows;
            if (!nothing && after.rows != whole.rows) {
                ++partial;
                ADD_FAILURE() << "statement " << failAt << " failing with " << code << " left part of the drop";
                continue;
            }
            // Nothing was scanned: a lost connection is told in the drop's own words, with one line naming it.
            if (after.messages.join(' ').contains("Keine Verbindung")) {
                EXPECT_EQ(after.messages.last(),
                          "Es ist Ein Fehler Aufgetereten. Der Vorgang wird Rückgängig gemacht\r\nKeine Verbindung "
                          "zur Datenbank.")
                    << failAt;
                EXPECT_FALSE(after.messages.join(' ').contains("erneut scannen")) << failAt;
            }
            // Both trees show the recorded state, unless the failure hit what came after the commit.
            if (failAt <= whole.commit) {
                EXPECT_EQ(after.left, nothing ? before_.left : whole.left) << failAt << "/" << code;
                EXPECT_EQ(after.right, nothing ? before_.right : whole.right) << failAt << "/" << code;
            }
        }
    }
    std::cout << "faults injected: " << injected << ", partial drops: " << partial << " (" << whole.statements
              << " statements)\n";
    EXPECT_EQ(partial, 0);
}
INSTANTIATE_TEST_SUITE_P(BackfitDrop, DropFaults, ::testing::Values(kConversions[0], kMoves[0], kMoves[1], kMoves[2]),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
