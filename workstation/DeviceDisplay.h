#pragma once

#include <QString>

class TreeNode;
class WorkstationHost;

// Shows a recorded device in the tree of a pane: against the production order of the pane where the
// device's hierarchy fits it, otherwise (after the worker agreed) built from the device's root without
// an order. Writes nothing to the database.
class DeviceDisplay {
public:
    explicit DeviceDisplay(WorkstationHost& host);

    // Shows the device that carries code (production code or serial number) in pane index; an empty
    // code is asked for.
    void SwapDevice(QString code, qint16 index);

private:
    void ShowAssemblyFromRoot(const QString& code);
    void ShowAssemblyFromRootSteps(const QString& code);
    // Puts the device into the node with its recorded components and counters, and brings the cursor back
    // to the node clicked last.
    void InsertDeviceWithComponents(TreeNode* node, qint32 devId);
    // Asks whether to show the device built from its root instead; on Yes the pane loses its order and
    // the root-based view is shown. True when the worker said Yes.
    bool OfferRootView(const QString& question, const QString& code);
    // Status "Bereit" and the keyboard on the pane's tree.
    void End();

    WorkstationHost& host_;
    qint16 index_ = 0;
};
