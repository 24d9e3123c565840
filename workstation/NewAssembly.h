#pragma once

#include <QString>

class DeviceDisplay;
class WorkstationHost;

// The beginning and the end of one assembly at the workstation: the new-assembly command, which lays out
// the expected structure of the order of pane 0 and puts the cursor on the first component to scan, and
// the follow-up action that the article's scan order names after its last component.
class NewAssembly {
public:
    NewAssembly(WorkstationHost& host, DeviceDisplay& display);

    // The click on CBNewAss(index).
    void CBNewAss_Click(qint16 index);
    // Lays out the structure of the order of pane 0 anew; writes nothing.
    void NewAss();
    // Carries out a scan-order keyword ("NewDevice", "NewDeviceWCommit", "SwapDevice", "SwapDeviceWCommit").
    // False when the worker did not confirm the finished assembly.
    bool FollowUp(const QString& keyword);

private:
    WorkstationHost& host_;
    DeviceDisplay& display_;
};
