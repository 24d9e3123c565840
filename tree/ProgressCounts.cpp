// Progress counters, completion image and OK flag of device nodes, and the production-code sums of a
// subtree.

#include "db/AssemblyDbClass.h"
#include "shell/VelkorError.h"
#include "tree/BillOfMat.h"
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
    const qint32 devId = DeviceIdOfKey(target.Key());
    const QString artNr = GetArtNrFromNodeText(target.Text());

    const int below = CountPreviousProdCodesInTree(&target);
    const int ownProdCodes = db.GetNumberOfProdctionCodesFromDevID(devId);
    const BillOfMatFigures expected = ReadBillOfMat(db, artNr);

    NodeProgress progress;
    progress.acquiredProdCodes = Checked16(ownProdCodes + below);
    progress.expectedProdCodes = expected.prodCodes;
    progress.testRequired = expected.testRequired;
    progress.serNrs = db.GetNumberOfSerialsFromDevID(devId);
    progress.extSerNrs = db.GetNumberOfExtSerFromDevID(devId);
    progress.expectedSerNrs = expected.serNrs;
    progress.expectedExtSerNrs = expected.extSerNrs;

    QString image;
    bool complete = false;
    if (ownProdCodes == 0 && progress.serNrs == 0 && progress.extSerNrs == 0) {
        image = QStringLiteral("HasDev");
    } else if (progress.acquiredProdCodes >= progress.expectedProdCodes && progress.serNrs >= progress.expectedSerNrs &&
               progress.extSerNrs >= progress.expectedExtSerNrs) {
        image = QStringLiteral("Set");
        complete = true;
    } else {
        image = QStringLiteral("Unknown");
    }
    db.SetOKFlagInAssembly(devId, complete);
    target.SetImage(image);
    target.SetSelectedImage(image);

    target.SetText(ProgressNodeText(artNr, progress));
    Tree().Refresh();
}

qint16 TreeView::CountPreviousProdCodesInTree(TreeNode* node) {
    return static_cast<qint16>(SumRecordedProdCodesBelow(&NodeOrRaise(node)));
}

qint16 TreeView::CountPreviousProdCodesAquiredInTree(TreeNode* node) {
    return static_cast<qint16>(SumExpectedProdCodesBelow(&NodeOrRaise(node)));
}

int TreeView::SumRecordedProdCodesBelow(TreeNode* node) {
    int total = 0;
    for (TreeNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsDeviceNodeKey(child->Key())) {
            total = Checked16(total + Db().GetNumberOfProdctionCodesFromDevID(DeviceIdOfKey(child->Key())));
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
