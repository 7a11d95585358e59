#pragma once

#include "engine/RunOutcome.h"

#include <QAbstractTableModel>

// The steps of an undo as a table: the name each entry has now, the name it
// gets back, and what happens to it (or happened), with the reason where it
// is left alone. A model over the outcome's own list, so that a run of
// 100,000 steps is shown at once.
class UndoStepModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit UndoStepModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // done: the steps were carried out (their words say so).
    void setOutcome(RunOutcome outcome, bool done);
    const RunOutcome& outcome() const { return m_Outcome; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The word for a step: what is (or was) done, or why it is left alone.
    static QString statusText(const RenameStep& step, bool done);

private:
    RunOutcome m_Outcome;
    bool m_Done = false;
};
