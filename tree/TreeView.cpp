#include "tree/TreeView.h"

#include <QDir>

#include "db/AssemblyDbClass.h"
#include "shell/Misc.h"
#include "shell/VelkorError.h"
#include "tree/NodeImageList.h"
#include "tree/NodeTree.h"
#include "tree/TreeHost.h"

TreeView::TreeView(TreeHost& host) : host_(host) {
    NodeImageList& images = SharedNodeImages();
    if (images.Count() == 0) {
        const QDir programDirectory(ProgramDirectory());
        images.Add(QStringLiteral("Set"), programDirectory.filePath(QStringLiteral("modul.bmp")));
        images.Add(QStringLiteral("Unknown"), programDirectory.filePath(QStringLiteral("Fragezeichen.bmp")));
        images.Add(QStringLiteral("HasDev"), programDirectory.filePath(QStringLiteral("graymodul.bmp")));
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
