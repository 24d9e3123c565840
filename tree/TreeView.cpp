#include "tree/TreeView.h"

#include <QDir>
#include <QFileInfo>

#include "db/AssemblyDbClass.h"
#include "shell/Misc.h"
#include "shell/VelkorError.h"
#include "tree/NodeImageList.h"
#include "tree/NodeTree.h"
#include "tree/TreeHost.h"

namespace {

// A site's own drawing beside the program, else the one built into the program.
QString NodeBitmap(const QString& name) {
    const QString beside = QDir(ProgramDirectory()).filePath(name);
    return QFileInfo::exists(beside) ? beside : QStringLiteral(":/velkor/bitmaps/") + name;
}

}  // namespace

TreeView::TreeView(TreeHost& host) : host_(host) {
    NodeImageList& images = SharedNodeImages();
    if (images.Count() == 0) {
        images.Add(QStringLiteral("Set"), NodeBitmap(QStringLiteral("modul.bmp")));
        images.Add(QStringLiteral("Unknown"), NodeBitmap(QStringLiteral("Fragezeichen.bmp")));
        images.Add(QStringLiteral("HasDev"), NodeBitmap(QStringLiteral("graymodul.bmp")));
    }
    host_.TreeViewCtr(0).SetImageList(&images);
    host_.TreeViewCtr(1).SetImageList(&images);
}

NodeTree& TreeView::Tree() const {
    if (treeViewIndex_ != 0 && treeViewIndex_ != 1) {
        throw VelkorError(9, QStringLiteral("Index außerhalb des gültigen Bereichs"), QStringLiteral("TreeView"));
    }
    return host_.TreeViewCtr(treeViewIndex_);
}

AssemblyDbClass& TreeView::Db() {
    return AssemblyDbClass::Shared();
}

TreeNode& TreeView::NodeOrRaise(TreeNode* node) {
    if (node == nullptr) {
        throw VelkorError(91, QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt"),
                          QStringLiteral("TreeView"));
    }
    return *node;
}
