#include "tree/CompletionState.h"

CompletionState CompletionStateOf(int ownProdCodes, const NodeProgress& progress) {
    if (ownProdCodes == 0 && progress.serNrs == 0 && progress.extSerNrs == 0) {
        return CompletionState::Empty;
    }
    if (progress.acquiredProdCodes >= progress.expectedProdCodes && progress.serNrs >= progress.expectedSerNrs &&
        progress.extSerNrs >= progress.expectedExtSerNrs) {
        return CompletionState::Complete;
    }
    return CompletionState::Incomplete;
}
