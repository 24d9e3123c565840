#pragma once

#include "workstation/CompletionPrompts.h"
#include "workstation/ComponentCapture.h"
#include "workstation/DeviceDisplay.h"
#include "workstation/NewAssembly.h"
#include "workstation/OrderEntry.h"
#include "workstation/ScanEntry.h"

// The scanning workflow of the main window, one object per concern; the window forwards its events here.
struct ScanWorkflow {
    explicit ScanWorkflow(WorkstationHost& host)
        : order(host),
          prompts(host),
          display(host),
          newAss(host, display),
          capture(host, prompts, display, newAss),
          entry(host, capture) {}

    OrderEntry order;
    CompletionPrompts prompts;
    DeviceDisplay display;
    NewAssembly newAss;
    ComponentCapture capture;
    ScanEntry entry;
};
