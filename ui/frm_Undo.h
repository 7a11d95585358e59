#pragma once

#include "journal/RenameJournal.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;
class UndoStepModel;

// The undo of the newest run, a window of its own (nemirou --undo, the
// menu entry's action): it lists what the undo would restore (new name to
// old name) and what it would leave alone, and why; 元に戻す carries it out
// and then shows what was restored, キャンセル closes it untouched.
class frm_Undo : public QDialog {
    Q_OBJECT
public:
    explicit frm_Undo(QWidget* parent = nullptr);
    ~frm_Undo() override;

    // Reads the journal (the newest not undone when empty) and previews its
    // undo; false when there is nothing to undo (the dialog says so).
    bool load(const QString& journalPath = QString());

    QLabel* Lbl_What;
    QTableView* Lst_Steps;
    QLabel* Lbl_Count;
    QPushButton* Cmd_Undo;
    QPushButton* Cmd_Cancel;
    UndoStepModel* model() const { return m_Model; }

private:
    void Cmd_Undo_Click();
    void showCounts(qint64 restored, qint64 leftAlone, bool done);

    UndoStepModel* m_Model;
    Journal m_Journal;
};
