#include "rework/widgets/NodeTooltipPresenter.h"

#include "rework/widgets/CTooltip.h"

NodeTooltipPresenter::NodeTooltipPresenter(const std::array<QWidget*, 2>& trees) : trees_{trees[0], trees[1]} {}

NodeTooltipPresenter::~NodeTooltipPresenter() = default;

void NodeTooltipPresenter::ShowNodeTooltip(int pane, const QString& text) {
    nodeTooltip_.reset();  // the previous tooltip goes with its window
    nodeTooltip_ = std::make_unique<CTooltip>();
    nodeTooltip_->SetHwndParentControl(pane == 0 || pane == 1 ? trees_[pane].data() : nullptr);
    nodeTooltip_->SetText(text);
    nodeTooltip_->SetStyle(0);
    nodeTooltip_->SetCentered(false);
    nodeTooltip_->SetTitle(QStringLiteral("Produktionscode"));
    nodeTooltip_->Create();
}
