// Device nodes: placing a device into a node, showing the recorded sub-devices of a device, recording the
// membership of a node's device in its parent's device, and clearing a device out of a node.

#include <limits>

#include "db/AssemblyDbClass.h"
#include "db/RecordSet.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "shell/VelkorError.h"
#include "tree/DeviceRecords.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeHost.h"
#include "tree/TreeView.h"

namespace {

const char* const kUnknownImage = "Unknown";

// True when the key is the expected key of one piece: the article number, one blank, one digit.
bool IsPieceKeyOf(const QString& key, const QString& artNr) {
    return key.size() == artNr.size() + 2 && key.startsWith(artNr) && key.at(artNr.size()) == QLatin1Char(' ') &&
           key.back().isDigit() && key.back().unicode() < 128;
}

// A number read from a record or a text field as a device ID, assembly number or order number.
qint32 ToInt32(const QVariant& value) {
    const qint64 number = LeadingNumber(value.toString());
    if (number > std::numeric_limits<qint32>::max() || number < std::numeric_limits<qint32>::min()) {
        throw VelkorError(6, QStringLiteral("Overflow"), QStringLiteral("TreeView"));
    }
    return static_cast<qint32>(number);
}

// The expected key a cleared node takes back: the slot its device key names (the piece digit), so that
// navigation by piece finds it again. When another node holds that key (a device loaded from the database
// carries an instance count instead of its slot), the first free piece key of the article is taken.
QString ClearedNodeKey(const NodeTree& tree, const TreeNode& node, const QString& artNr) {
    const auto isFree = [&](const QString& key) {
        const TreeNode* holder = tree.Item(key);
        return holder == nullptr || holder == &node;
    };
    const QString suffix = KeySuffix(node.Key());
    const QString own = ExpectedNodeKey(artNr, suffix);
    if (IsPieceKeyOf(own, artNr) && isFree(own)) {
        return own;
    }
    for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}) {
        const QString key = ExpectedNodeKey(artNr, QLatin1String(digit));
        if (isFree(key)) {
            return key;
        }
    }
    for (int piece = 10;; ++piece) {
        const QString key = ExpectedNodeKey(artNr, QString::number(piece));
        if (isFree(key)) {
            return key;
        }
    }
}

// The Device_Assembly field of every row of the query; none when the relation cannot be read (that level is
// skipped).
QList<QVariant> MembersOrEmpty(AssemblyDbClass& db, const QString& sql, const QVariant& number) {
    QList<QVariant> members;
    try {
        RecordSet rows;
        db.GetDataWithQuery(sql, rows, {number});
        for (; !rows.Eof(); rows.MoveNext()) {
            members.append(rows.Field(QStringLiteral("Device_Assembly")));
        }
    } catch (const VelkorError&) {
        members.clear();
    }
    return members;
}

}  // namespace

void TreeView::InsertDeviceIntoSpecifiedNode(TreeNode* node, qint32 devId) {
    TreeNode& target = NodeOrRaise(node);
    if (devId <= 0) {
        throw VelkorError(kAppErrorNumber, QStringLiteral("Passed DevID = 0"), QStringLiteral("TreeView"));
    }
    const QString key = target.Key();
    const QString suffix = IsPieceKeyOf(key, GetArtNrFromNodeText(target.Text())) ? key.right(1) : QStringLiteral("0");
    target.SetKey(DeviceNodeKey(devId, suffix));
    target.SetExpanded(true);
    Tree().Refresh();
}

void TreeView::InsertSubAssemblysFromDeviceID(qint32 devId, TreeNode* parentNode) {
    NodeOrRaise(parentNode);
    AssemblyDbClass::OperationScope operation(Db());
    // The whole recorded structure below the device is read by a few statements; what they could not read is
    // asked for device by device.
    DeviceRecords records;
    records.ReadSubtree(Db(), devId);
    DeviceRecordsInUse inUse(records_, &records);
    QSet<qint32> visited{devId};
    LoadSubAssemblys(devId, parentNode, visited);
}

QVariant TreeView::OwnAssemblyOf(qint32 devId) {
    return records_ != nullptr && records_->KnowsAssemblies(devId) ? records_->OwnAssembly(devId)
                                                                   : Db().GetAssemblyfromDevID(devId);
}

QList<QVariant> TreeView::MembersOf(const QVariant& assNr) {
    if (records_ != nullptr && records_->KnowsMembers(assNr)) {
        return records_->Members(assNr);
    }
    return MembersOrEmpty(
        Db(),
        QStringLiteral("SELECT Device_Assembly FROM device_assembly WHERE AssemblyNum = ? AND AssemblyType = 'Z' "
                       "ORDER BY ID;"),
        assNr);
}

QList<QVariant> TreeView::DevicesOf(const QVariant& memberAssNr) {
    if (records_ != nullptr && records_->KnowsDevices(memberAssNr)) {
        return records_->Devices(memberAssNr);
    }
    return MembersOrEmpty(Db(),
                          QStringLiteral("SELECT Device_Assembly FROM device_assembly WHERE AssemblyType = 'A' AND "
                                         "AssemblyNum = ? ORDER BY ID;"),
                          memberAssNr);
}

QVariant TreeView::RecordedArticleOf(qint32 devId) {
    return records_ != nullptr && records_->KnowsArticle(devId) ? records_->Article(devId)
                                                                : Db().GetArtNrFromDevID(devId);
}

void TreeView::LoadSubAssemblys(qint32 devId, TreeNode* parentNode, QSet<qint32>& visited) {
    const QVariant assNr = OwnAssemblyOf(devId);
    if (IsNullOrEmpty(assNr)) {
        return;
    }
    NodeTree& tree = Tree();
    for (const QVariant& member : MembersOf(assNr)) {
        for (const QVariant& device : DevicesOf(member)) {
            const QString subDevIdText = device.toString();
            const qint32 subDevId = ToInt32(subDevIdText);
            if (subDevId <= 0 || visited.contains(subDevId)) {
                continue;  // no device, or one this walk has shown already (the records form a cycle)
            }
            visited.insert(subDevId);

            const QString artNr = RecordedArticleOf(subDevId).toString();
            const int instance = tree.CountKeysWithPrefix(subDevIdText);
            const QString key = DeviceNodeKey(subDevId, QString::number(instance));
            TreeNode* node = GetNodeWithDevIdAndArtNr(artNr, QVariant(), subDevId);
            if (node == nullptr) {
                node = GetNodeWithoutDevIdWithArtNr(artNr, QVariant());
            }
            if (node != nullptr) {
                node->SetKey(key);
            } else {
                const QString image = QString::fromLatin1(kUnknownImage);
                node = tree.Add(parentNode, key, artNr, image, image);
            }
            node->SetExpanded(true);
            tree.Refresh();

            LoadSubAssemblys(subDevId, node, visited);
            InsertProdcodeCountInNodeWithDeviceIdText(node);
        }
    }
}

QVariant TreeView::InsertNewDeviceIntoAssembledDevicesInTreeView(TreeNode* node, bool newDevice) {
    try {
        const qint32 devId = DeviceIdOfKey(NodeOrRaise(node).Key());
        if (devId == 0) {
            throw VelkorError(10032, QStringLiteral("Node Has no Device Entry"), QStringLiteral("Insert Assembly"));
        }
        AssemblyDbClass& db = Db();
        const qint32 paNr = ToInt32(host_.PaNrText());
        // A shown parent is given an assembly number only when it is recorded (under its guard).
        const auto requireRecorded = [&db](qint32 shown) {
            if (!db.GuardDevice(shown)) {
                throw VelkorError(kShownDeviceNotRecorded,
                                  QStringLiteral("Das angezeigte Gerät %1 ist nicht erfasst. Der Vorgang wird "
                                                 "Gelöscht; die Anzeige wird neu geladen.")
                                      .arg(shown),
                                  QStringLiteral("Insert Assembly"));
            }
        };
        QVariant assNr = newDevice ? QVariant() : db.GetAssemblyfromDevID(devId);
        if (IsNullOrEmpty(assNr)) {
            assNr = db.CreateAssNrFromDivID(devId, paNr);  // new, or placed under its guard by the caller
        }
        if (TreeNode* parent = node->Parent()) {
            const qint32 parentDevId = DeviceIdOfKey(parent->Key());
            QVariant parentAssNr = db.GetAssemblyfromDevID(parentDevId);
            if (IsNullOrEmpty(parentAssNr) && parentDevId != 0) {
                // A membership under a parent without assembly number would link to nothing.
                requireRecorded(parentDevId);
                parentAssNr = db.CreateAssNrFromDivID(parentDevId, paNr);
            }
            db.AddChildToParentAssembly(ToInt32(assNr), ToInt32(parentAssNr));
            db.NoteDeviceWritten(devId);
            db.NoteDeviceWritten(parentDevId);
        }
        return assNr;
    } catch (const VelkorError& error) {
        if (AssemblyDbClass::HoldsBackReport(error) || error.Number() == kShownDeviceNotRecorded) {
            throw;  // the scan runs again from its start, or ends
        }
        Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure InsertNewDeviceIntoAssembledDevicesInTreeView of "
                                        "Klassenmodul TreeView")
                             .arg(error.Number())
                             .arg(error.Description()));
        return QVariant();
    }
}

void TreeView::ClearDeviceInNode(TreeNode* node) {
    TreeNode& target = NodeOrRaise(node);
    AssemblyDbClass::OperationScope operation(Db());
    NodeTree& tree = Tree();
    TreeNode* root = target.Root();
    const qint32 rootDevId = DeviceIdOfKey(root->Key());

    // The key is chosen before anything changes, so a clear never stops half-way.
    const QString artNr = GetArtNrFromNodeText(target.Text());
    const QString key = ClearedNodeKey(tree, target, artNr);
    while (TreeNode* child = target.FirstChild()) {
        tree.Remove(child);
    }
    target.SetKey(key);
    InsertNewArtNrInToNode(&target, artNr);
    const QString image = QString::fromLatin1(kUnknownImage);
    target.SetImage(image);
    target.SetSelectedImage(image);

    if (rootDevId != 0 && Db().GetNrOfProdCodesOfAssembly(rootDevId) != 0) {
        InsertSubAssemblysFromDeviceID(rootDevId, root);
    }
    // The devices above the cleared node lost what it held: their counters, images and OK flags follow,
    // nearest first, the root last (also when nothing with a production code is left below it).
    for (TreeNode* above = target.Parent(); above != nullptr; above = above->Parent()) {
        InsertProdcodeCountInNodeWithDeviceIdText(above);
    }
}
