#pragma once

#include <QString>
#include <array>

class TreeNode;

// The entries of the tree context menu MnuEdit, in menu order.
enum class MnuEntry {
    MnuMainDelete,      // "Gerät" (heading)
    MnuDeleteAssembly,  // "- Zuweisung aufheben"
    MnuSerNrEdit,       // separator
    MnuMainSerNr,       // "Seriennummern" (heading)
    MnuEditSer,         // "- bearbeiten": serial number editor
    MnuProdCodeEdit,    // separator
    MnuMainProdCode,    // "Produktionscodes" (heading)
    MnuDelete,          // "- bearbeiten": production code editor
};
constexpr int kMnuEntryCount = 8;

// Which entries of MnuEdit are visible and enabled. The state carries over from one right click to the next:
// a right click changes only the entries its node concerns.
class EditMenuState {
public:
    bool Visible(MnuEntry entry) const { return visible_[Index(entry)]; }
    bool Enabled(MnuEntry entry) const { return enabled_[Index(entry)]; }
    // The object name of the entry's menu action.
    static QString Name(MnuEntry entry);

    // A right click on the node of a tree whose root node is root: a device node offers removal and both
    // editors (removal not for a node that reads like the root), any other node none of them.
    void UpdateForNode(const TreeNode& node, const TreeNode& root);

private:
    static int Index(MnuEntry entry) { return static_cast<int>(entry); }
    void Show(MnuEntry entry) { visible_[Index(entry)] = true; }
    void Enable(MnuEntry entry, bool enabled) { enabled_[Index(entry)] = enabled; }

    std::array<bool, kMnuEntryCount> visible_{true, true, true, true, true, true, true, true};
    std::array<bool, kMnuEntryCount> enabled_{true, true, true, true, true, true, true, true};
};
