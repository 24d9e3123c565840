#pragma once

#include <QString>
#include <QVariant>

#include "tree/TreeHost.h"

class TreeView;

// What the scanning workflow and the rework need of the main window: the fields of both panes, the
// status line, the keyboard focus and the window's tree object. The main window implements it; the
// workflow tests use a plain object without widgets.
class WorkstationHost : public TreeHost {
public:
    // Status line: "Bereit" enables the window, any other text ("Aktiv") disables it. The text is
    // shown at once.
    virtual void SetStatus(const QString& text) = 0;
    virtual QString Status() const = 0;

    // TBPaNr(pane): the production order number of a pane.
    virtual QString PaNr(int pane) const = 0;
    virtual void SetPaNr(int pane, const QString& paNr) = 0;

    // TB_ArtNr(pane) and TB_Name(pane): the article and description of the entered order (empty texts clear them).
    virtual void ShowOrder(int pane, const QString& artNr, const QString& description) = 0;

    // TB_ProdCodeS(0) and TB_ArtNrS(0): the value looked up or captured last and its device's article.
    virtual void ShowScannedValue(const QString& value) = 0;
    virtual void ShowScannedArticle(const QString& artNr) = 0;

    // Gives the keyboard focus to the tree of a pane, so the next scan reaches the keystroke capture.
    virtual void FocusTree(int pane) = 0;
    // Repaints the tree of a pane at once.
    virtual void RepaintTree(int pane) = 0;
    // Lets the window events that are waiting run once.
    virtual void ProcessPendingEvents() = 0;

    // Rebuilds the expected structure of the production order of pane 0.
    virtual void RefreshTreeView() = 0;

    // The index of the tree node last clicked, or an invalid variant.
    virtual QVariant SelectedNodeIndex() const = 0;
    virtual void SetSelectedNodeIndex(const QVariant& index) = 0;
    // Mouse button of the last mouse-down on a tree: 1 left, 2 right, 4 middle.
    virtual qint16 LastMouseButton() const = 0;

    // The tree object of the window.
    virtual TreeView& Tree() = 0;

    // The status texts.
    static QString Ready() { return QStringLiteral("Bereit"); }
    static QString Busy() { return QStringLiteral("Aktiv"); }
};
