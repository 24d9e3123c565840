#include "tests/walk/WalkWorld.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>

#include "db/AssemblyDbClass.h"
#include "db/StorableValue.h"
#include "rework/SwapDeviceButton.h"
#include "shell/Misc.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkValues.h"
#include "tests/walk/WalkWorker.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/TreeNode.h"

namespace {

// The input box where the action's own value is typed (not a later step of it).
QString EntryTitle(const QString& kind) {
    if (kind == walk::kShow) {
        return QStringLiteral("Produktions- Seriennummern Eingabe");
    }
    if (kind == walk::kDblClick) {
        return QStringLiteral("Produktionscode/Serinnummer Eingabe");
    }
    return QString();
}

// Every node with its parent, text and image, in index order.
QStringList RowsOf(const NodeTree& tree) {
    QStringList rows;
    for (int i = 0; i < tree.Count(); ++i) {
        const TreeNode* node = tree.Item(i);
        rows.append(node->Key() + QLatin1Char('|') + (node->Parent() != nullptr ? node->Parent()->Key() : QString()) +
                    QLatin1Char('|') + node->Text() + QLatin1Char('|') + node->Image());
    }
    return rows;
}

}  // namespace

WalkWorld::WalkWorld(WalkWorker& worker, WalkValues& values)
    : editors(values), rework(host, tooltips, editors), worker_(worker), values_(values) {
    for (int pane = 0; pane < 2; ++pane) {
        QObject::connect(&host.trees[pane], &NodeTree::cleared, [this, pane] {
            layoutOrder_[pane] = host.paNr[pane];
            stale_[pane] = false;
        });
    }
}

WalkWorld::~WalkWorld() = default;

TreeNode* WalkWorld::NodeOf(int pane, const QString& key, const QString& index) const {
    if (pane < 0 || pane > 1) {
        return nullptr;
    }
    if (!key.isEmpty()) {
        if (TreeNode* node = host.trees[pane].Item(key)) {
            return node;
        }
    }
    bool ok = false;
    const int at = index.toInt(&ok);
    return ok ? host.trees[pane].Item(at) : nullptr;
}

void WalkWorld::Execute(WalkAction& action, bool replay) {
    worker_.BeginAction(replay ? &action.answers : nullptr, EntryTitle(action.kind));
    QStringList steps;
    if (replay && action.kind == walk::kEditor) {
        steps = action.Arg(QStringLiteral("steps")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    editors.Prepare(replay && action.kind == walk::kEditor ? &steps : nullptr);
    worker_.inputSource = [this](const QString& title, const QString& prompt) {
        return values_.InputFor(title, prompt);
    };
    converted_ = false;
    scanUnrecorded_ = false;
    statements_ = 0;
    // A tree put back as it was (an operation rolled back) was laid out from the order it was laid out from
    // before, whatever the order field says now.
    QStringList rowsBefore[2];
    QString layoutBefore[2];
    bool staleBefore[2];
    for (int pane = 0; pane < 2; ++pane) {
        staleBefore[pane] = stale_[pane];
        rowsBefore[pane] = RowsOf(host.trees[pane]);
        layoutBefore[pane] = layoutOrder_[pane];
    }
    qint32 flagDevice = 0;  // the device of the statement about to be sent when it writes a completion flag
    AssemblyDbClass::SetStatementObserver([this, &flagDevice](const QString& sql, const QVariantList& values) {
        if (sql.startsWith(QLatin1String("UPDATE device_assembly SET device_assembly.Device_Assembly"))) {
            converted_ = true;  // a device handed its assembly over to another (conversion)
        }
        flagDevice = sql.startsWith(QLatin1String("UPDATE device_assembly SET OKFlag")) && values.size() == 2
                         ? values.at(1).toInt()
                         : 0;
    });
    const int faultAt = action.faultAt;
    const int faultCode = action.faultCode;
    // A lock wait or a deadlock can only meet a statement that writes (the sessions read uncommitted, without
    // locks): such a fault waits for the first write from its statement on. A lost connection meets any. A repeated
    // row meets the insert of a production code or serial number checked under its value's lock: another workstation
    // recorded the value between the check and the insert.
    // A deadlock victim's transaction is rolled back by the server itself, whatever the program makes of the error:
    // done here as the server does it. Until the program has closed every level of that transaction, a statement
    // it sends runs on its own (autocommit) and is noted.
    bool faulted = false;
    bool discarded = false;
    bool valueLocked = false;
    sentAfterDiscard_.clear();
    AssemblyDbClass::SetStatementFault([this, faultAt, faultCode, faulted, discarded, valueLocked,
                                        &flagDevice](const QString& sql) mutable {
        if (sql == QLatin1String(AssemblyDbClass::kConnectAttempt)) {
            return 0;  // not a statement: the server stays reachable
        }
        ++statements_;
        AssemblyDbClass& db = AssemblyDbClass::Shared();
        discarded = discarded && db.OpenTransactionCount() > 0;
        if (discarded && !sql.startsWith(QLatin1String("ROLLBACK;"))) {
            sentAfterDiscard_.append(sql.simplified().left(120));
        }
        const bool writes = sql.startsWith(QLatin1String("INSERT")) || sql.startsWith(QLatin1String("UPDATE")) ||
                            sql.startsWith(QLatin1String("DELETE"));
        if (sql.contains(QLatin1String("GET_LOCK(")) || sql.contains(QLatin1String("RELEASE_LOCK("))) {
            valueLocked = sql.contains(QLatin1String("GET_LOCK("));
        }
        const bool guardedInsert = valueLocked && (sql.startsWith(QLatin1String("INSERT INTO device_productioncode")) ||
                                                   sql.startsWith(QLatin1String("INSERT INTO device_serialnumber")));
        if (faulted || faultAt == 0 || statements_ < faultAt || (faultCode != 2013 && !writes) ||
            (faultCode == 1062 && !guardedInsert)) {
            return 0;
        }
        faulted = true;
        if (flagDevice != 0 && db.OpenTransactionCount() == 0) {
            flagWriteFailed_.insert(flagDevice);
        }
        if (faultCode == 1213 && db.OpenTransactionCount() > 0 && db.IsConnected()) {
            QSqlQuery(db.DBConObj()).exec(QStringLiteral("ROLLBACK"));
            discarded = true;
        }
        return faultCode;
    });
    try {
        Dispatch(action);
    } catch (const VelkorError& error) {
        // As the window's handlers report what escapes them.
        Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure %3 of Formular FormMain")
                             .arg(error.Number())
                             .arg(error.Description(), action.kind));
        host.SetStatus(WorkstationHost::Ready());
    }
    AssemblyDbClass::SetStatementFault({});
    AssemblyDbClass::SetStatementObserver({});
    for (int pane = 0; pane < 2; ++pane) {
        touched_[pane] = RowsOf(host.trees[pane]) != rowsBefore[pane];
        if (!touched_[pane]) {
            layoutOrder_[pane] = layoutBefore[pane];
            stale_[pane] = staleBefore[pane];
        }
    }
    action.answers = worker_.Answers();
    if (action.kind == walk::kEditor) {
        action.args.insert(QStringLiteral("steps"), editors.Steps().join(QLatin1Char('\n')));
    }
}

void WalkWorld::Dispatch(WalkAction& action) {
    const int pane = action.IntArg(QStringLiteral("pane"));
    TreeNode* node = NodeOf(pane, action.Arg(QStringLiteral("node")), action.Arg(QStringLiteral("at")));
    const QString& kind = action.kind;
    if (kind == walk::kOrder) {
        EnterOrder(pane, action.Arg(QStringLiteral("pa")));
    } else if (kind == walk::kNewAss) {
        flow.newAss.CBNewAss_Click(static_cast<qint16>(pane));
    } else if (kind == walk::kSelect) {
        host.trees[pane].SetSelectedItem(node);
        rework.OnNodeClick(pane, node);
        rework.OnClick(pane);
    } else if (kind == walk::kScan) {
        scanUnrecorded_ = !flow.capture.ProdCodeSerNrScanInput(action.Arg(QStringLiteral("value")), QString());
    } else if (kind == walk::kDblClick) {
        if (node != nullptr) {
            host.trees[0].SetSelectedItem(node);
            rework.OnNodeClick(0, node);
        }
        host.lastMouseButton = 1;
        flow.entry.TreeViewCtr_DblClick(0);
    } else if (kind == walk::kShow) {
        CB_SwapDevice_Click(host, flow.display, static_cast<qint16>(pane));
    } else if (kind == walk::kRemove) {
        RightClick(pane, node);
        rework.MnuDeleteAssembly_Click();
    } else if (kind == walk::kEditor) {
        worker_.passwordSource = [this] { return values_.Password(WalkValues::EditorPassword()); };
        RightClick(pane, node);
        if (action.Arg(QStringLiteral("records")) == QLatin1String("ser")) {
            rework.MnuEditSer_Click();
        } else {
            rework.MnuDelete_Click();
        }
    } else if (kind == walk::kDrop) {
        TreeNode* source = NodeOf(1, action.Arg(QStringLiteral("source")), action.Arg(QStringLiteral("sat")));
        TreeNode* target = NodeOf(0, action.Arg(QStringLiteral("target")), action.Arg(QStringLiteral("tat")));
        const bool conversion = source != nullptr && target != nullptr && IsDeviceNodeKey(target->Key()) &&
                                GetArtNrFromNodeText(source->Text()) != GetArtNrFromNodeText(target->Text());
        const QString right = conversion ? WalkValues::ConversionPassword() : WalkValues::MovePassword();
        worker_.passwordSource = [this, right] { return values_.Password(right); };
        host.trees[1].SetSelectedItem(source);
        drop.DragSourceIndex = 1;
        drop.Drop(0, QStringLiteral("TreeViewCtr(1)"), source, target);
    } else if (kind == walk::kRestart) {
        RestartServer();
    }
}

void WalkWorld::EnterOrder(int pane, const QString& paNr) {
    // The order field and its Enter key: the window hands the number to the workflow's order entry.
    host.paNr[pane] = paNr;
    flow.order.CheckProductionOrder(pane);
    host.SetStatus(WorkstationHost::Ready());
}

void WalkWorld::RightClick(int pane, TreeNode* node) {
    rework.OnMouseDown(pane, 2, 0, [node](int) { return node; });
}

void WalkWorld::RestartServer() {
    const QString dir = QFileInfo(qEnvironmentVariable("VELKOR_TEST_DB_SOCKET")).absolutePath();
    const int exitCode = QProcess::execute(
        QStringLiteral("bash"),
        {QStringLiteral("-c"),
         QStringLiteral(". \"$1/scripts/lib/mariadb.sh\" && velkor_db_stop \"$2\" && velkor_db_start \"$2\""),
         QStringLiteral("bash"), QStringLiteral(VELKOR_SOURCE_DIR), dir});
    if (exitCode != 0) {
        qFatal("The database server of the walk could not be restarted (%s)", qPrintable(dir));
    }
    ReopenTestDatabase();
}
