#include "workstation/OrderEntry.h"

#include "db/AssemblyDbClass.h"
#include "db/StorableValue.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "tree/NodeTree.h"
#include "workstation/WorkstationHost.h"

OrderEntry::OrderEntry(WorkstationHost& host) : host_(host) {}

bool OrderEntry::CheckProductionOrder(int pane) {
    const QString paNr = host_.PaNr(pane);
    if (paNr.isEmpty()) {
        return true;
    }
    if (!IsNumeric(paNr)) {
        Dialogs().MsgBox(QStringLiteral("Bitte einen numerischen Wert eingeben"));
        ForgetOrder(pane);
        return false;
    }
    // The number is recorded with the final product: one that cannot be recorded as it is is refused.
    const QString refusal = OrderNumberRefusal(paNr);
    if (!refusal.isEmpty()) {
        Dialogs().MsgBox(refusal);
        ForgetOrder(pane);
        return false;
    }
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    try {
        const QString artNr = db.GetArtNrFromPaNrKHK(paNr);
        if (artNr.isEmpty()) {
            Dialogs().MsgBox(QStringLiteral("Unbekannter Produktionsauftrag"));
            ForgetOrder(pane);
            return false;
        }
        host_.ShowOrder(pane, artNr, db.GetProdDescriptionFromArtNrKHK(artNr));
    } catch (const VelkorError&) {
        // The order could not be read: the caller reports the error, and nothing of a previous order stays to
        // scan into under a number that was not checked.
        ForgetOrder(pane);
        throw;
    }
    return true;
}

void OrderEntry::ForgetOrder(int pane) {
    // Nothing of the previous order stays on screen to scan into under a number that is not an order.
    host_.ShowOrder(pane, QString(), QString());
    host_.TreeViewCtr(pane).Clear();
}
