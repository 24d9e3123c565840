#pragma once

#include <QtGlobal>

class DeviceDisplay;
class WorkstationHost;

// The click on CB_SwapDevice(index): prepares the pane's tree (the order's structure, or an empty tree
// without order), shows the device whose code the worker scans, and, in the working pane when no node
// was clicked, puts the cursor on the next node to scan.
void CB_SwapDevice_Click(WorkstationHost& host, DeviceDisplay& display, qint16 index);
