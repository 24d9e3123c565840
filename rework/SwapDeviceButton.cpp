#include "rework/SwapDeviceButton.h"

#include "tree/NodeTree.h"
#include "tree/TreeView.h"
#include "workstation/DeviceDisplay.h"
#include "workstation/WorkstationHost.h"

void CB_SwapDevice_Click(WorkstationHost& host, DeviceDisplay& display, qint16 index) {
    host.SetStatus(WorkstationHost::Busy());
    TreeView& tree = host.Tree();
    tree.SetTreeViewIndex(index);
    if (!host.PaNr(index).isEmpty()) {
        tree.CreateNodesForPA(host.PaNr(index));
    } else {
        host.TreeViewCtr(index).Clear();
    }
    display.SwapDevice(QString(), index);
    if (!host.SelectedNodeIndex().isValid() && index == 0) {
        tree.SetTreeViewIndex(0);
        tree.SelectNextNode(nullptr);
    }
    host.SetStatus(WorkstationHost::Ready());
    host.FocusTree(index);
}
