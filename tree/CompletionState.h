#pragma once

#include "tree/NodeText.h"

// The completion state of a recorded device, as its node in the tree shows it and as its OK flag records it:
// what is recorded on the device (production codes also below it) against what the bill of materials of its
// article expects.
enum class CompletionState {
    Empty,       // nothing recorded on the device itself (image "HasDev"), whatever its article expects
    Complete,    // every expected count reached (image "Set"); more than expected counts as reached
    Incomplete,  // otherwise (image "Unknown")
};

// ownProdCodes: the production codes recorded on the device itself; progress: the counts of its node, whose
// acquired production codes include those of the devices built in below it.
CompletionState CompletionStateOf(int ownProdCodes, const NodeProgress& progress);
