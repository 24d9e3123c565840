#pragma once

#include "rework/EditMenuState.h"

class QMenu;

// Gives the actions of the context menu (found by the entry names) the visibility and enabling of the state.
void ApplyEditMenuState(QMenu& menu, const EditMenuState& state);
