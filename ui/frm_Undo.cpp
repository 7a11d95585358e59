#include "ui/frm_Undo.h"

#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameDiskReal.h"
#include "journal/JournalUndo.h"
#include "journal/RunLock.h"
#include "ui/UndoStepModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

frm_Undo::frm_Undo(QWidget* parent)
    : QDialog(parent), Lbl_What(new QLabel(this)), Lst_Steps(new QTableView(this)),
      Lbl_Count(new QLabel(this)), Cmd_Undo(new QPushButton(QStringLiteral("元に戻す"), this)),
      Cmd_Cancel(new QPushButton(QStringLiteral("キャンセル"), this)),
      m_Model(new UndoStepModel(this))
{
    setWindowTitle(QStringLiteral("最後の変更を元に戻す"));
    resize(760, 440);
    Lbl_What->setWordWrap(true);
    Lbl_What->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Lst_Steps->setModel(m_Model);
    Lst_Steps->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lst_Steps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lst_Steps->setWordWrap(false);
    Lst_Steps->verticalHeader()->hide();
    // Rows of one height are laid out without measuring each of them.
    Lst_Steps->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Lst_Steps->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Lst_Steps->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Lst_Steps->horizontalHeader()->setStretchLastSection(true);
    Lst_Steps->setColumnWidth(0, 220);
    Lst_Steps->setColumnWidth(1, 220);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Lbl_Count, 1);
    buttons->addWidget(Cmd_Undo);
    buttons->addWidget(Cmd_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lbl_What);
    layout->addWidget(Lst_Steps, 1);
    layout->addLayout(buttons);

    Cmd_Undo->setDefault(true);
    setTabOrder(Lst_Steps, Cmd_Undo);
    setTabOrder(Cmd_Undo, Cmd_Cancel);
    connect(Cmd_Undo, &QPushButton::clicked, this, &frm_Undo::Cmd_Undo_Click);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

frm_Undo::~frm_Undo() = default;

bool frm_Undo::load(const QString& journalPath)
{
    const QString path = journalPath.isEmpty() ? newestJournal() : journalPath;
    QString error;
    if (path.isEmpty() || !readJournal(path, m_Journal, error) || m_Journal.undone) {
        Lbl_What->setText(QStringLiteral("元に戻せる変更はありません。"));
        Lst_Steps->hide();
        Cmd_Undo->hide();
        Cmd_Cancel->setText(QStringLiteral("閉じる"));
        Cmd_Cancel->setDefault(true);
        Cmd_Cancel->setFocus();
        return false;
    }
    const QString when = journalTime(path).toLocalTime().toString(u"yyyy年M月d日 H:mm"_qs);
    Lbl_What->setText(
        QStringLiteral("%1 に%2で行った名前の変更を、フォルダー「%3」で元に戻します。")
            .arg(when,
                 m_Journal.madeBy == u"window" ? QStringLiteral("ウィンドウ")
                                               : QStringLiteral("コマンドライン"),
                 m_Journal.folder));
    Cls_RenameDiskModel disk;
    RunOutcome preview = undoJournal(m_Journal, disk);
    showCounts(preview.renamed, preview.skipped, false);
    Cmd_Undo->setEnabled(preview.renamed > 0);
    m_Model->setOutcome(std::move(preview), false);
    Lst_Steps->setFocus();
    return true;
}

void frm_Undo::showCounts(qint64 restored, qint64 leftAlone, bool done)
{
    Lbl_Count->setText(done ? QStringLiteral("元に戻しました：%1 件　そのまま：%2 件")
                                  .arg(restored)
                                  .arg(leftAlone)
                            : QStringLiteral("元に戻す：%1 件　そのまま：%2 件")
                                  .arg(restored)
                                  .arg(leftAlone));
}

void frm_Undo::Cmd_Undo_Click()
{
    // An undo never runs beside a run of the same folder.
    RunLock lock(m_Journal.folder);
    if (!lock.tryLock()) {
        Lbl_Count->setText(QStringLiteral(
            "このフォルダーの名前の変更が実行中です。終わってからもう一度押してください。"));
        return;
    }
    Cls_RenameDiskReal disk;
    bool complete = false;
    RunOutcome done = undoJournal(m_Journal, disk, &complete);
    if (complete)
        markJournalUndone(m_Journal.path);
    showCounts(done.renamed, done.skipped, true);
    m_Model->setOutcome(std::move(done), true);
    Cmd_Undo->hide();
    Cmd_Cancel->setText(QStringLiteral("閉じる"));
    Cmd_Cancel->setDefault(true);
    Cmd_Cancel->setFocus();
}
