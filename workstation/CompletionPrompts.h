#pragma once

class AssemblyDbClass;
class TreeNode;
class WorkstationHost;

// Completes a device that the capture has placed into a node: asks, one input box after the other, for
// the production codes it still lacks, and once for a missing serial number or external serial number.
// What they record belongs to the transaction the caller holds open. A node without a device asks
// nothing and writes nothing.
class CompletionPrompts {
public:
    explicit CompletionPrompts(WorkstationHost& host);

    // True when the device ended complete (flagged OK); false when the worker stopped or a check refused.
    bool PromptRemainingProdCodes(TreeNode*& node);
    // True when the device ends with the serial numbers its article needs (recorded now or before).
    bool InsertSerIfNeeded(TreeNode*& node);

private:
    bool AskForMissingSerNr(qint32 devId, bool external);

    WorkstationHost& host_;
};
