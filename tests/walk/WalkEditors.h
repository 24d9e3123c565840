#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include "rework/RecordEditorEntry.h"

class WalkValues;

// The record editor windows as a supervisor uses them: the real window (offscreen), its grid edited cell by
// cell, its buttons clicked. What is done in it is chosen at random while generating and written as a list of
// steps ("edit:ROW:VALUE", "add:VALUE", "del:ROW", "refresh"; the window is closed at the end), or taken from a
// replay. After every step the grid must show what the supervisor did, and once the window is closed the
// database must hold what the grid showed.
class WalkEditors : public RecordEditors {
public:
    explicit WalkEditors(WalkValues& values) : values_(values) {}

    // Before an editor opens: the steps of a replay (null: chosen at random).
    void Prepare(const QStringList* steps);
    // The steps done in the last window.
    const QStringList& Steps() const { return steps_; }
    // What went wrong in the last window; empty when it did what it showed.
    const QStringList& Findings() const { return findings_; }
    // Production codes the editors wrote on purpose (they may repeat a code of another device).
    const QSet<QString>& WrittenProdCodes() const { return writtenProdCodes_; }

    void ShowEditor(RecordKind kind, qint32 devId) override;

private:
    QStringList ChooseSteps(int rows, bool prodCodes);

    WalkValues& values_;
    const QStringList* replay_ = nullptr;
    QStringList steps_;
    QStringList findings_;
    QSet<QString> writtenProdCodes_;
};
