// Progress counters, completion image and OK flag of device nodes, and the production-code sums of a
// subtree.

#include "db/AssemblyDbClass.h"
#include "shell/VelkorError.h"
#include "tree/BillOfMat.h"
#include "tree/CompletionState.h"
#include "tree/DeviceRecords.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeView.h"

namespace {

// The sums are 16-bit counters: a value beyond their range is an overflow, not a wrapped count.
int Checked16(int value) {
    if (value > 32767 || value < -32768) {
        throw VelkorError(6, QStringLiteral("Overflow"), QStringLiteral("TreeView"));
    }
    return value;
}

}  // namespace

void TreeView::InsertProdcodeCountInNodeWithDeviceIdText(TreeNode* node) {
    TreeNode& target = NodeOrRaise(node);
    if (!IsDeviceNodeKey(target.Key())) {
        return;
    }
    AssemblyDbClass& db = Db();
    AssemblyDbClass::OperationScope operation(db);
    const qint32 devId = DeviceIdOfKey(target.Key());
    const QString artNr = GetArtNrFromNodeText(target.Text());

    // The counts of the node's device and of the devices below it, read at once unless the operation in
    // progress holds them already.
    DeviceRecords counts;
    DeviceRecords* const known = records_;
    DeviceRecordsInUse inUse(records_, records_ != nullptr ? records_ : &counts);
    if (known == nullptr) {
        QList<qint32> devIds;
        CollectCountedDevices(&target, devIds);
        counts.ReadCounts(db, devIds);
    }

    const int below = CountPreviousProdCodesInTree(&target);
    const int ownProdCodes = ProdCodesOf(devId);
    const BillOfMatFigures expected = ReadBillOfMat(db, artNr);

    NodeProgress progress;
    progress.acquiredProdCodes = Checked16(ownProdCodes + below);
    progress.expectedProdCodes = expected.prodCodes;
    progress.testRequired = expected.testRequired;
    progress.serNrs = SerialsOf(devId);
    progress.extSerNrs = ExtSerialsOf(devId);
    progress.expectedSerNrs = expected.serNrs;
    progress.expectedExtSerNrs = expected.extSerNrs;

    const CompletionState state = CompletionStateOf(ownProdCodes, progress);
    const bool complete = state == CompletionState::Complete;
    const QString image = state == CompletionState::Empty ? QStringLiteral("HasDev")
                          : complete                      ? QStringLiteral("Set")
                                                          : QStringLiteral("Unknown");
    // A flag every own row carries already is not written again.
    const bool flag = heldOKFlags_.value(devId, complete);
    if (!records_->OKFlagIs(devId, flag)) {
        try {
            db.SetOKFlagInAssembly(devId, flag);
            records_->NoteOKFlag(devId, flag);
        } catch (const VelkorError&) {
            // Reported. Inside a unit of work (a scan, a drop) the failure ends it: nothing of it is kept, not even
            // without its flag. Outside one the flag follows the counts and is written again with the next
            // refresh of the node.
            if (db.OpenTransactionCount() > 0) {
                throw;
            }
        }
    }
    target.SetImage(image);
    target.SetSelectedImage(image);

    target.SetText(ProgressNodeText(artNr, progress));
    Tree().Refresh();
}

void TreeView::HoldOKFlag(qint32 devId, bool flag) {
    heldOKFlags_.insert(devId, flag);
}

qint16 TreeView::CountPreviousProdCodesInTree(TreeNode* node) {
    return static_cast<qint16>(SumRecordedProdCodesBelow(&NodeOrRaise(node)));
}

void TreeView::ReadBillsOfMatInTree() {
    const NodeTree& tree = Tree();
    QStringList artNrs;
    for (int index = 0; index < tree.Count(); ++index) {
        artNrs.append(GetArtNrFromNodeText(tree.Item(index)->Text()));
    }
    Db().ReadBillsOfMat(artNrs);
}

qint16 TreeView::CountPreviousProdCodesAquiredInTree(TreeNode* node) {
    ReadBillsOfMatInTree();
    return static_cast<qint16>(SumExpectedProdCodesBelow(&NodeOrRaise(node)));
}

int TreeView::SumRecordedProdCodesBelow(TreeNode* node) {
    int total = 0;
    for (TreeNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsDeviceNodeKey(child->Key())) {
            total = Checked16(total + ProdCodesOf(DeviceIdOfKey(child->Key())));
            total = Checked16(total + SumRecordedProdCodesBelow(child));
        }
    }
    return total;
}

int TreeView::SumExpectedProdCodesBelow(TreeNode* node) {
    int total = 0;
    for (TreeNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        total = Checked16(total + Db().GetProdCodeCountFromBillOfMat(GetArtNrFromNodeText(child->Text())));
        total = Checked16(total + SumExpectedProdCodesBelow(child));
    }
    return total;
}

void TreeView::CollectCountedDevices(TreeNode* node, QList<qint32>& devIds) const {
    if (IsDeviceNodeKey(node->Key())) {
        devIds.append(DeviceIdOfKey(node->Key()));
    }
    for (TreeNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsDeviceNodeKey(child->Key())) {
            CollectCountedDevices(child, devIds);
        }
    }
}

qint16 TreeView::ProdCodesOf(qint32 devId) {
    return records_ != nullptr && records_->KnowsCounts(devId) ? records_->ProdCodes(devId)
                                                               : Db().GetNumberOfProdctionCodesFromDevID(devId);
}

qint16 TreeView::SerialsOf(qint32 devId) {
    return records_ != nullptr && records_->KnowsCounts(devId) ? records_->Serials(devId)
                                                               : Db().GetNumberOfSerialsFromDevID(devId);
}

qint16 TreeView::ExtSerialsOf(qint32 devId) {
    return records_ != nullptr && records_->KnowsCounts(devId) ? records_->ExtSerials(devId)
                                                               : Db().GetNumberOfExtSerFromDevID(devId);
}

void TreeView::KeepCountsBelow(TreeNode* node) {
    EndKeepingCounts();
    auto kept = std::make_shared<DeviceRecords>();
    QList<qint32> devIds;
    CollectCountedDevices(&NodeOrRaise(node), devIds);
    if (records_ == nullptr && kept->ReadCounts(Db(), devIds)) {
        keptCounts_ = kept;
        records_ = kept.get();
    }
}

void TreeView::EndKeepingCounts() {
    if (keptCounts_ != nullptr && records_ == keptCounts_.get()) {
        records_ = nullptr;
    }
    keptCounts_.reset();
    heldOKFlags_.clear();
}
