// The expected structure of a production order: a root for the order's article and one node per piece of
// every sub-component with something to capture.

#include <QHash>
#include <algorithm>
#include <cmath>

#include "db/AssemblyDbClass.h"
#include "db/RecordSet.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "tree/BillOfMat.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeView.h"

namespace {

const char* const kUnknownImage = "Unknown";

void ShowInvalidOrder() {
    Dialogs().MsgBox(QStringLiteral("Ungültiger Produktionsauftrag"));
}

TreeNode* AddExpectedNode(NodeTree& tree, TreeNode* parent, const QString& key, const QString& text) {
    const QString image = QString::fromLatin1(kUnknownImage);
    return tree.Add(parent, key, text, image, image);
}

}  // namespace

TreeNode* TreeView::CreateRootDevice(const QString& artNr) {
    AssemblyDbClass::OperationScope operation(Db());
    NodeTree& tree = Tree();
    tree.Clear();
    if (artNr.isEmpty()) {
        ShowInvalidOrder();
        return nullptr;
    }
    AssemblyDbClass& db = Db();
    TreeNode* root = AddExpectedNode(tree, nullptr, ExpectedNodeKey(artNr, QStringLiteral("0")),
                                     ExpectedTextFor(db, artNr, ReadBillOfMat(db, artNr)));
    root->SetExpanded(true);
    return root;
}

void TreeView::CreateNodesForPA(const QString& paNr) {
    AssemblyDbClass& db = Db();
    AssemblyDbClass::OperationScope operation(db);  // one order laid out: each article's figures read once
    const QString artNr = ArticleFromProductCode(db.GetArtNrFromPaNrKHK(paNr));
    NodeTree& tree = Tree();
    tree.Clear();
    const BillOfMatFigures figures = ReadBillOfMat(db, artNr);
    if (!figures.HasAnyFlag()) {
        Dialogs().MsgBox(
            QStringLiteral("Dieser Artikel beinhaltet keine @? Flags in der KHK Stückliste. Bitte die Stückliste "
                           "entspechend Korrigieren"));
        return;
    }
    if (artNr.isEmpty()) {
        ShowInvalidOrder();
        return;
    }
    TreeNode* root = AddExpectedNode(tree, nullptr, ExpectedNodeKey(artNr, QStringLiteral("0")),
                                     ExpectedTextFor(db, artNr, figures));
    root->SetExpanded(true);
    InsertSubAssemblys(paNr, root);
}

void TreeView::InsertSubAssemblys(const QString& paNr, TreeNode* parentNode) {
    NodeOrRaise(parentNode);
    AssemblyDbClass& db = Db();
    RecordSet rows;
    // The positions in the order the ERP copy holds them (it keeps no position number of its own). An order whose
    // positions cannot be read is not laid out as one without positions: the error ends the layout.
    db.GetDataWithQuery(QStringLiteral("SELECT SubProductCode, SubCount FROM productionorder_hierarchy_khk "
                                       "WHERE ProductionOrderNumber = ?;"),
                        rows, {paNr});
    QStringList subArtNrs;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        subArtNrs.append(rows.Field(QStringLiteral("SubProductCode")).toString());
    }
    db.ReadBillsOfMat(subArtNrs);
    NodeTree& tree = Tree();
    // Pieces already laid out per article: a sub-article named by a second row of the order continues the
    // piece numbers of the first, so every piece keeps a key of its own.
    QHash<QString, qint64> laidOut;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        const QString subArtNr = rows.Field(QStringLiteral("SubProductCode")).toString();  // read values are trimmed
        const qint64 pieces = PieceCount(rows.Field(QStringLiteral("SubCount")));
        const BillOfMatFigures figures = ReadBillOfMat(db, subArtNr);
        if (!figures.HasAnyFlag()) {
            continue;
        }
        const QString text = ExpectedTextFor(db, subArtNr, figures);
        qint64& earlier = laidOut[subArtNr];
        if (earlier > 0) {
            qint64 piece = earlier;
            for (qint64 added = 0; added < std::max<qint64>(pieces, 1); ++added) {
                do {
                    ++piece;
                } while (tree.Item(ExpectedNodeKey(subArtNr, QString::number(piece))) != nullptr);
                TreeNode* node =
                    AddExpectedNode(tree, parentNode, ExpectedNodeKey(subArtNr, QString::number(piece)), text);
                node->SetExpanded(true);
            }
            earlier = piece;
        } else if (pieces > 1) {
            for (qint64 piece = 1; piece <= pieces; ++piece) {
                TreeNode* node =
                    AddExpectedNode(tree, parentNode, ExpectedNodeKey(subArtNr, QString::number(piece)), text);
                node->SetExpanded(true);
            }
            earlier = pieces;
        } else {
            const QString suffix = figures.serNrs != 0 ? QStringLiteral("0") : QStringLiteral("2");
            AddExpectedNode(tree, parentNode, ExpectedNodeKey(subArtNr, suffix), text);
            earlier = 1;
        }
    }
}

void TreeView::InsertNewArtNrInToNode(TreeNode* node, const QString& artNr) {
    TreeNode& target = NodeOrRaise(node);
    AssemblyDbClass& db = Db();
    target.SetText(ExpectedTextFor(db, artNr, ReadBillOfMat(db, artNr)));
    target.SetExpanded(true);
}
