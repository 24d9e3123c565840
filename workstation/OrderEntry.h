#pragma once

class WorkstationHost;

// The production order number in the order field of a pane, checked when the worker ends it with Enter or
// leaves the field: a known order shows its article and description; a number that is no number, cannot be
// recorded or names no order is refused, and the pane then shows nothing of the previous order to scan into.
class OrderEntry {
public:
    explicit OrderEntry(WorkstationHost& host);

    // False (after the message, with the pane emptied) when the number is refused or unknown; an empty field
    // checks nothing and is true.
    bool CheckProductionOrder(int pane);

private:
    void ForgetOrder(int pane);

    WorkstationHost& host_;
};
