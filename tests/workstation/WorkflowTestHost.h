#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <vector>

#include "tests/db/TraceabilityFixture.h"
#include "tree/NodeTree.h"
#include "tree/TreeView.h"
#include "workstation/ScanWorkflow.h"
#include "workstation/WorkstationHost.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// The main window as the scanning workflow sees it, without widgets: two tree controls, the order and
// display fields, the status line, and a record of where the keyboard focus went and how often the tree was
// rebuilt from the order.
class WorkflowTestHost : public WorkstationHost {
public:
    NodeTree trees[2];
    QString paNr[2];
    QString artNr;  // TB_ArtNr(0): the product code of the order
    QString description[2];
    QString status = Ready();
    QString scannedValue, scannedArticle;
    QList<int> focus;  // panes given the focus, in order
    int refreshes = 0;
    QVariant selectedNodeIndex;
    qint16 lastMouseButton = 1;
    TreeView tree{*this};

    NodeTree& TreeViewCtr(int index) override { return trees[index]; }
    QString ArtNrText() const override { return artNr; }
    QString PaNrText() const override { return paNr[0]; }
    void SetStatus(const QString& text) override { status = text; }
    QString Status() const override { return status; }
    QString PaNr(int pane) const override { return paNr[pane]; }
    void SetPaNr(int pane, const QString& value) override { paNr[pane] = value; }
    void ShowOrder(int pane, const QString& art, const QString& text) override {
        if (pane == 0) {
            artNr = art;
        }
        description[pane] = text;
    }
    void ShowScannedValue(const QString& value) override { scannedValue = value; }
    void ShowScannedArticle(const QString& value) override { scannedArticle = value; }
    void FocusTree(int pane) override { focus.append(pane); }
    void RepaintTree(int) override {}
    void ProcessPendingEvents() override {}
    void RefreshTreeView() override;
    QVariant SelectedNodeIndex() const override { return selectedNodeIndex; }
    void SetSelectedNodeIndex(const QVariant& index) override { selectedNodeIndex = index; }
    qint16 LastMouseButton() const override { return lastMouseButton; }
    TreeView& Tree() override { return tree; }
};

// One scan through the capture, with the answers the worker gives on the way.
struct Scan {
    QString node = {};  // key of the node to select first; "none" clears the selection, "" leaves it
    QString prodCode = {}, serNr = {};
    std::vector<MsgAnswer> answers = {};
    QStringList inputs = {};
};

// What a workflow step leaves behind. Node keys and texts may name new devices as #1, #2, ... (in the order
// the database created them).
struct Outcome {
    // The dialogs in order: "beep 600/300", "OK: text", "YesNo: text", "input Title: prompt", ...
    QStringList dialogs = {};
    // Rows added to device, device_assembly, device_productioncode, device_serialnumber,
    // device_productionordernumber, device_productcode. All zero: every table is compared whole.
    std::array<int, 6> rows = {};
    // Changes of the tree of pane 0, as "key|text|image" rows with the text's blank runs shortened: "OLD=row"
    // replaces the node keyed OLD, "+row" is a node added at the end; a first entry "fresh" compares against
    // the order's fresh structure, "empty" against an empty tree.
    QStringList tree = {};
    QString selected = {};  // key of the selected node afterwards, "" for none
};

// The workflow over a freshly reset test database, with scripted dialogs.
class WorkflowTest : public TraceabilityFixture {
protected:
    // Enters the order in pane 0 (its product code in TB_ArtNr) and lays out its structure; "" enters none.
    void OpenOrder(const QString& paNr);
    void Select(const QString& key);  // "" clears the selection; #n names a new device
    void Queue(const std::vector<MsgAnswer>& answers, const QStringList& inputs);
    // Runs the scans through the capture and forgets their dialogs.
    void Given(const std::vector<Scan>& scans);
    bool Capture(const Scan& scan);
    // Runs the step and checks what it left behind; the status line reads "Bereit" afterwards.
    void Check(const Outcome& want, const std::function<void()>& step);

    QStringList DialogLog() const;
    QStringList TreeRows(int pane = 0) const;
    QString Resolve(QString text) const;  // #n → the ID of the n-th device the test created

    // A free device of the article with the given production codes (and serial number), written as the
    // workflow writes one.
    qint32 AddDevice(const QString& artNr, const QStringList& prodCodes, const QString& serNr = QString());

    WorkflowTestHost host_;
    ScanWorkflow flow_{host_};
    QStringList fresh_;  // the order's structure as laid out
};

// Expected dialog lines.
inline const QString kBeep = QStringLiteral("beep 600/300");
inline const QString kConfirmBeep = QStringLiteral("beep 800/400");
inline QString MsgOk(const QString& text) {
    return QStringLiteral("OK: ") + text;
}
inline QString MsgYesNo(const QString& text) {
    return QStringLiteral("YesNo: ") + text;
}
// A question that opens with "Nein" as its default button.
inline QString MsgRuleQuestion(const QString& text) {
    return QStringLiteral("YesNo (Nein): ") + text;
}
inline QString Input(const QString& title, const QString& prompt) {
    return QStringLiteral("input %1: %2").arg(title, prompt);
}

// Texts shared by several tests.
namespace text {
inline const QString kNoOrder =
    QStringLiteral("Hinzufügen von Produktionscodes ohne Produktionsauftrag nicht möglich!");
inline const QString kSerNrUsed = QStringLiteral("Seriennummer wurde bereits Verwendet");
inline const QString kScanPrompt = QStringLiteral("Bitte eine Produktionscode oder Seriennummer Scannen");
inline const QString kUntestedTail = QStringLiteral(
    "\r\nEs dürfen an dieser Stelle nur vogeteste Artikel eingebaut werden.\r\nMöchten sie den "
    "Vorgang trotzdem durchführen ?");
inline const QString kUntested =
    QStringLiteral("Dieser Produktionscode gehört zu einem bisher ungetesteten Artikel. ") + kUntestedTail;
inline const QString kRemainingCodes = Input(QStringLiteral("Produktionscode Eingabe"),
                                             QStringLiteral("Bitte Scannen sie die verbleibenen Produktionscodes ein"));
inline const QString kSerNrPrompt =
    Input(QStringLiteral("Seriennummer Eingabe"),
          QStringLiteral("Eine Seriennummer wird benötigt.\r\n\r\n Bitte Seriennummer eingeben."));
inline const QString kExtSerNrPrompt =
    Input(QStringLiteral("Seriennummer Eingabe"),
          QStringLiteral("Eine Fremdseriennummer wird benötigt.\r\n\r\n Bitte Fremdseriennummer eingeben."));
inline const QString kSerNrForm = QStringLiteral(
    "Seriennummer entspricht nicht dem zugelassenen Format\r\nund es ist keine Fremdseriennummer für "
    "diese Komponente vorgesehen.");
inline const QString kSwapPrompt = Input(QStringLiteral("Produktions- Seriennummern Eingabe"), kScanPrompt);
inline const QString kSwapInvalid = QStringLiteral("Produktionscode oder Seriennummer ungültig oder unbekannt");
inline const QString kConfirm = QStringLiteral("OkCancel: Bitte vollständige Asemblierung bestätigen");
inline const QString kViewWarning = QStringLiteral(
    "ACHTUNG ! Fehlende Komponenten, werden in dieser Ansicht nicht angezeigt und \r\nfalsche "
    "Artikelnummern sowie die richtigkeit des PA's werden nicht überprüft. Das Hinzufügen von "
    "Produktionscodes ist nicht möglich.");
}  // namespace text

// The order 240101 as laid out, and the device 9030 shown in it complete.
namespace tree240101 {
inline const QString kRoot = QStringLiteral("SG-5000-A 0"), kLp = QStringLiteral("LP-5100-A 2"),
                     kRm1 = QStringLiteral("RM-5120-A 1"), kRm2 = QStringLiteral("RM-5120-A 2"),
                     kRm3 = QStringLiteral("RM-5120-A 3"), kNt = QStringLiteral("NT-5200-A 0"),
                     kFm = QStringLiteral("FM-5300-A 2"), kAm = QStringLiteral("AM-5400-A 2"),
                     kBg = QStringLiteral("BG-5600-B 0");
QStringList Shown9030();
}  // namespace tree240101
