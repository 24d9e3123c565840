#include "rework/EditMenuState.h"

#include "tree/NodeKey.h"
#include "tree/TreeNode.h"

QString EditMenuState::Name(MnuEntry entry) {
    static const char* const names[kMnuEntryCount] = {"MnuMainDelete",   "MnuDeleteAssembly", "MnuSerNrEdit",
                                                      "MnuMainSerNr",    "MnuEditSer",        "MnuProdCodeEdit",
                                                      "MnuMainProdCode", "MnuDelete"};
    return QLatin1String(names[Index(entry)]);
}

void EditMenuState::UpdateForNode(const TreeNode& node, const TreeNode& root) {
    if (IsDeviceNodeKey(node.Key())) {
        for (MnuEntry entry :
             {MnuEntry::MnuDelete, MnuEntry::MnuDeleteAssembly, MnuEntry::MnuMainDelete, MnuEntry::MnuMainProdCode,
              MnuEntry::MnuProdCodeEdit, MnuEntry::MnuSerNrEdit, MnuEntry::MnuMainSerNr}) {
            Show(entry);
        }
        for (MnuEntry entry :
             {MnuEntry::MnuEditSer, MnuEntry::MnuDelete, MnuEntry::MnuDeleteAssembly, MnuEntry::MnuProdCodeEdit}) {
            Enable(entry, true);
        }
        // The device the tree shows cannot be taken out of an assembly here.
        if (node.Text() == root.Text()) {
            Enable(MnuEntry::MnuDeleteAssembly, false);
        }
        return;
    }
    for (MnuEntry entry : {MnuEntry::MnuEditSer, MnuEntry::MnuSerNrEdit, MnuEntry::MnuDelete,
                           MnuEntry::MnuDeleteAssembly, MnuEntry::MnuProdCodeEdit}) {
        Enable(entry, false);
    }
}
