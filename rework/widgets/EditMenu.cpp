#include "rework/widgets/EditMenu.h"

#include <QAction>
#include <QMenu>

void ApplyEditMenuState(QMenu& menu, const EditMenuState& state) {
    for (int i = 0; i < kMnuEntryCount; ++i) {
        const auto entry = static_cast<MnuEntry>(i);
        for (QAction* action : menu.actions()) {
            if (action->objectName() == EditMenuState::Name(entry)) {
                action->setVisible(state.Visible(entry));
                action->setEnabled(state.Enabled(entry));
            }
        }
    }
}
