// Searches over the nodes of the tree and the selection of the next node to scan.

#include <QDir>

#include "shell/LikePattern.h"
#include "shell/Misc.h"
#include "shell/Settings.h"
#include "tree/IniFileClass.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeHost.h"
#include "tree/TreeView.h"

namespace {

const char* const kScanOrderSection = "ScanOrder";

QString ArticleOf(const TreeNode* node) {
    return GetArtNrFromNodeText(node->Text());
}

template <typename Predicate>
TreeNode* FirstNode(const NodeTree& tree, Predicate matches) {
    for (int index = 0; index < tree.Count(); ++index) {
        TreeNode* node = tree.Item(index);
        if (matches(node)) {
            return node;
        }
    }
    return nullptr;
}

bool IsScanOrderKeyword(const QString& value) {
    return value == QLatin1String("SwapDevice") || value == QLatin1String("NewDevice") ||
           value == QLatin1String("NewDeviceWCommit") || value == QLatin1String("SwapDeviceWCommit");
}

}  // namespace

TreeNode* TreeView::GetNodeWithSuffix(const QString& artNr, const QVariant& suffix) {
    const bool withSuffix = !IsNullOrEmpty(suffix);
    const QString suffixPattern = suffix.toString();
    return FirstNode(Tree(), [&](const TreeNode* node) {
        return ArticleOf(node) == artNr && (!withSuffix || Like(KeySuffix(node->Key()), suffixPattern));
    });
}

TreeNode* TreeView::GetNodeWithArtNr(const QString& artNr) {
    const QString pattern = artNr + QLatin1Char('*');
    return FirstNode(Tree(), [&](const TreeNode* node) { return Like(ArticleOf(node), pattern); });
}

TreeNode* TreeView::GetNodeWithoutDevIdWithArtNr(const QString& artNr, const QVariant& suffix) {
    const NodeTree& tree = Tree();
    if (suffix.isValid() && !suffix.isNull()) {
        const QString suffixPattern = suffix.toString();
        const QString articlePattern = artNr + QLatin1Char('*');
        TreeNode* node = FirstNode(tree, [&](const TreeNode* candidate) {
            return !IsDeviceNodeKey(candidate->Key()) && Like(KeySuffix(candidate->Key()), suffixPattern) &&
                   Like(ArticleOf(candidate), articlePattern);
        });
        if (node != nullptr) {
            return node;
        }
    }
    return FirstNode(tree, [&](const TreeNode* candidate) {
        return !IsDeviceNodeKey(candidate->Key()) && Like(ArticleOf(candidate), artNr);
    });
}

TreeNode* TreeView::GetNodeWithDevIdAndArtNr(const QString& artNr, const QVariant& /*ignored*/, qint32 devId) {
    if (devId == 0) {
        return nullptr;
    }
    // Device keys are written as the device ID, "K" and the suffix (DeviceNodeKey): only keys with that
    // beginning can name the device, and the tree finds them without looking at the other nodes.
    const NodeTree& tree = Tree();
    const QString pattern = artNr + QLatin1Char('*');
    TreeNode* first = nullptr;
    int firstIndex = -1;
    for (TreeNode* node : tree.NodesWithKeyPrefix(DeviceNodeKey(devId, QString()))) {
        if (DeviceIdOfKey(node->Key()) != devId || !Like(ArticleOf(node), pattern)) {
            continue;
        }
        const int index = tree.IndexOf(node);
        if (first == nullptr || index < firstIndex) {
            first = node;
            firstIndex = index;
        }
    }
    return first;
}

bool TreeView::CheckIfDeviceIDIsAllreadyPresent(qint32 devId) {
    if (devId == 0) {
        return false;
    }
    return FirstNode(Tree(), [&](const TreeNode* node) { return DeviceIdOfKey(node->Key()) == devId; }) != nullptr;
}

QString TreeView::SelectNextNode(TreeNode* node) {
    NodeTree& tree = Tree();
    IniFileClass ini;
    const QString articleOfOrder = ArticleFromProductCode(host_.ArtNrText());
    if (!articleOfOrder.isEmpty()) {
        ini.SetIniPath(QDir(Settings::ArticleConfigDir()).filePath(articleOfOrder + QStringLiteral(".ini")));
    }
    ini.KeepContent();  // one reading of the file for every key below
    const QString section = QString::fromLatin1(kScanOrderSection);

    if (node == nullptr) {
        TreeNode* first = GetNodeWithArtNr(ini.GetParameterText(section, QStringLiteral("1")));
        if (first != nullptr) {
            tree.SetSelectedItem(first);
        }
        return QString();
    }

    const QString artNr = ArticleOf(node);
    const qint64 count = LeadingNumber(ini.GetParameterText(section, QStringLiteral("Count")));
    qint64 position = 1;
    if (count - 1 >= 1) {
        position = count;
        for (qint64 i = 1; i <= count - 1; ++i) {
            if (ini.GetParameterText(section, QString::number(i)) == artNr) {
                position = i;
                break;
            }
        }
    }
    const QString next = TrimBlanks(ini.GetParameterText(section, QString::number(position + 1)));
    if (IsScanOrderKeyword(next)) {
        return next;
    }

    const QString suffix = KeySuffix(node->Key());
    if (suffix.size() == 1 && suffix.at(0) >= QLatin1Char('1') && suffix.at(0) <= QLatin1Char('9')) {
        TreeNode* nextPiece = GetNodeWithSuffix(artNr, suffix.at(0).digitValue() + 1);
        if (nextPiece != nullptr) {
            tree.SetSelectedItem(nextPiece);
            return QString();
        }
    }
    TreeNode* target = GetNodeWithArtNr(next);
    if (target != nullptr) {
        tree.SetSelectedItem(target);
    }
    return QString();
}

void TreeView::SelectLastNode(const QVariant& index) {
    NodeTree& tree = Tree();
    TreeNode* node = nullptr;
    if (index.typeId() == QMetaType::QString) {
        node = tree.Item(index.toString());
    } else if (index.isValid() && !index.isNull()) {
        bool ok = false;
        const int position = index.toInt(&ok);
        if (ok) {
            node = tree.Item(position);
        }
    }
    if (node != nullptr) {
        tree.SetSelectedItem(node);
    }
}
