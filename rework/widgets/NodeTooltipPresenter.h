#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

#include "rework/NodeDetails.h"

class CTooltip;

// Shows the node details in a tooltip titled "Produktionscode" over the tree of a pane. Holds at most one
// tooltip; each new text replaces it.
class NodeTooltipPresenter : public NodeTooltipSink {
public:
    // The windows the tooltips cover, by pane (the viewports of the tree controls).
    explicit NodeTooltipPresenter(const std::array<QWidget*, 2>& trees);
    ~NodeTooltipPresenter() override;

    void ShowNodeTooltip(int pane, const QString& text) override;

    // The tooltip currently built; null before the first one.
    const CTooltip* NodeTooltip() const { return nodeTooltip_.get(); }

private:
    std::array<QPointer<QWidget>, 2> trees_;
    std::unique_ptr<CTooltip> nodeTooltip_;
};
