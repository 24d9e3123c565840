#include "tests/workstation/WorkflowTestHost.h"

#include <QRegularExpression>

#include "tree/TreeNode.h"

namespace {

QString ButtonsName(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return QStringLiteral("OK");
        case MsgButtons::YesNo:
            return QStringLiteral("YesNo");
        case MsgButtons::YesNoDefaultNo:
            return QStringLiteral("YesNo (Nein)");
        case MsgButtons::OkCancel:
            return QStringLiteral("OkCancel");
        case MsgButtons::RetryCancel:
            return QStringLiteral("RetryCancel");
    }
    return QString();
}

QString IconName(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return QString();
        case MsgIcon::Information:
            return QStringLiteral(" information");
        case MsgIcon::Question:
            return QStringLiteral(" question");
        case MsgIcon::Exclamation:
            return QStringLiteral(" exclamation");
        case MsgIcon::Critical:
            return QStringLiteral(" critical");
    }
    return QString();
}

}  // namespace

void WorkflowTestHost::RefreshTreeView() {
    ++refreshes;
    try {
        if (!paNr[0].isEmpty()) {
            tree.SetTreeViewIndex(0);
            tree.CreateNodesForPA(paNr[0]);
        }
    } catch (const VelkorError& error) {
        // As the window reports it.
        Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure RefreshTreeView of Formular FormMain")
                             .arg(error.Number())
                             .arg(error.Description()));
    }
    status = Ready();
}

void WorkflowTest::OpenOrder(const QString& paNr) {
    host_.paNr[0] = paNr;
    host_.artNr = QueryTestValue(QStringLiteral("SELECT ProductCode FROM productionorder_khk WHERE "
                                                "ProductionOrderNumber = ?"),
                                 {paNr})
                      .toString();
    if (!paNr.isEmpty()) {
        flow_.newAss.NewAss();
    }
    fresh_ = TreeRows();
    host_.focus.clear();
    dialogs_.Clear();
}

void WorkflowTest::Select(const QString& key) {
    TreeNode* node = key.isEmpty() ? nullptr : host_.trees[0].Item(Resolve(key));
    ASSERT_TRUE(key.isEmpty() || node != nullptr) << "no node " << Resolve(key).toStdString();
    host_.trees[0].SetSelectedItem(node);
}

void WorkflowTest::Queue(const std::vector<MsgAnswer>& answers, const QStringList& inputs) {
    for (MsgAnswer answer : answers) {
        dialogs_.QueueAnswer(answer);
    }
    for (const QString& input : inputs) {
        dialogs_.QueueInput(input);
    }
}

bool WorkflowTest::Capture(const Scan& scan) {
    if (scan.node == QLatin1String("none")) {
        Select(QString());
    } else if (!scan.node.isEmpty()) {
        Select(scan.node);
    }
    Queue(scan.answers, scan.inputs);
    return flow_.capture.ProdCodeSerNrScanInput(scan.prodCode, scan.serNr);
}

void WorkflowTest::Given(const std::vector<Scan>& scans) {
    for (const Scan& scan : scans) {
        Capture(scan);
    }
    dialogs_.Clear();
}

void WorkflowTest::Check(const Outcome& want, const std::function<void()>& step) {
    const TraceabilityChange change;
    QStringList expectedTree = TreeRows();
    dialogs_.Clear();

    step();

    QStringList dialogs;
    for (const QString& line : want.dialogs) {
        dialogs.append(Resolve(line));
    }
    EXPECT_EQ(DialogLog(), dialogs);
    change.Expect(want.rows);
    for (const QString& entry : want.tree) {
        const QString edit = Resolve(entry);
        if (edit == QLatin1String("fresh")) {
            expectedTree = fresh_;
        } else if (edit == QLatin1String("empty")) {
            expectedTree.clear();
        } else if (edit.startsWith(QLatin1Char('+'))) {
            expectedTree.append(edit.mid(1));
        } else {
            const QString oldKey = edit.section(QLatin1Char('='), 0, 0);
            const auto row = std::find_if(expectedTree.begin(), expectedTree.end(), [&](const QString& r) {
                return r.section(QLatin1Char('|'), 0, 0) == oldKey;
            });
            ASSERT_NE(row, expectedTree.end()) << "no node " << oldKey.toStdString() << " to change";
            *row = edit.section(QLatin1Char('='), 1);
        }
    }
    EXPECT_EQ(TreeRows(), expectedTree);
    const TreeNode* selected = host_.trees[0].SelectedItem();
    EXPECT_EQ((selected != nullptr ? selected->Key() : QString()).toStdString(), Resolve(want.selected).toStdString())
        << "selected node";
    EXPECT_EQ(host_.status, WorkstationHost::Ready());
    dialogs_.Clear();
}

QStringList WorkflowTest::DialogLog() const {
    QStringList log;
    for (const ScriptedDialogs::Entry& entry : dialogs_.Entries()) {
        switch (entry.kind) {
            case ScriptedDialogs::Entry::Kind::Tone:
                log.append(QStringLiteral("beep %1/%2").arg(entry.frequencyHz).arg(entry.durationMs));
                break;
            case ScriptedDialogs::Entry::Kind::Message:
                log.append(ButtonsName(entry.buttons) + IconName(entry.icon) + QStringLiteral(": ") + entry.text +
                           (entry.title == ApplicationTitle() ? QString() : QStringLiteral(" [%1]").arg(entry.title)));
                break;
            case ScriptedDialogs::Entry::Kind::Input:
                log.append(Input(entry.title, entry.text));
                break;
            case ScriptedDialogs::Entry::Kind::Password:
                log.append(QStringLiteral("password"));
                break;
        }
    }
    return log;
}

QStringList WorkflowTest::TreeRows(int pane) const {
    QStringList rows;
    const NodeTree& tree = host_.trees[pane];
    for (int index = 0; index < tree.Count(); ++index) {
        const TreeNode* node = tree.Item(index);
        rows.append(node->Key() + QLatin1Char('|') + node->Text().simplified() + QLatin1Char('|') + node->Image());
    }
    return rows;
}

QString WorkflowTest::Resolve(QString text) const {
    const QStringList created = QueryTestRows(QStringLiteral("SELECT ID FROM device WHERE ID > 9040 ORDER BY ID"));
    for (int n = static_cast<int>(created.size()); n >= 1; --n) {
        text.replace(QStringLiteral("#%1").arg(n), created.at(n - 1));
    }
    return text;
}

qint32 WorkflowTest::AddDevice(const QString& artNr, const QStringList& prodCodes, const QString& serNr) {
    const qint32 devId = db_.CreateDevice().toInt();
    QString article = artNr;
    db_.InsertArtNrWithDevID(article, devId);
    for (const QString& code : prodCodes) {
        EXPECT_TRUE(db_.InsertProdCodeWithDevID(code, devId));
    }
    if (!serNr.isEmpty()) {
        QString value = serNr;
        EXPECT_EQ(db_.InsertSerNrWithDevID(value, devId), 1);
    }
    return devId;
}

QStringList tree240101::Shown9030() {
    return {kRoot + "=9030K0|SG-5000-A P(11/1) S(1/1)|Set", kLp + "=9031K0|LP-5100-A P(2/2)|Set",
            kRm1 + "=9032K0|RM-5120-A P(1/1)|Set",          kRm2 + "=9033K0|RM-5120-A P(1/1)|Set",
            kRm3 + "=9034K0|RM-5120-A P(1/1)|Set",          kNt + "=9035K0|NT-5200-A P(1/1) S(1/1)|Set",
            kFm + "=9036K0|FM-5300-A P(0/?) F(1/1)|Set",    kAm + "=9037K0|AM-5400-A P(1/1) T|Set",
            kBg + "=9038K0|BG-5600-B P(3/1) S(1/1)|Set",    "+9039K0|TP-5610-A P(1/1)|Set",
            "+9040K0|DP-5620-A P(1/1) F(1/1)|Set"};
}
