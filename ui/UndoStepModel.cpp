#include "ui/UndoStepModel.h"

#include "journal/JournalUndo.h"
#include "runtime/VbError.h"

void UndoStepModel::setOutcome(RunOutcome outcome, bool done)
{
    beginResetModel();
    m_Outcome = std::move(outcome);
    m_Done = done;
    endResetModel();
}

int UndoStepModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_Outcome.steps.size());
}

int UndoStepModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant UndoStepModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const RenameStep step = m_Outcome.steps[index.row()];
    switch (index.column()) {
    case 0: return role == Qt::ToolTipRole ? step.from() : step.fromName;
    case 1: return role == Qt::ToolTipRole ? step.to() : step.toName;
    default: return statusText(step, m_Done);
    }
}

QVariant UndoStepModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return QStringLiteral("今の名前");
    case 1: return QStringLiteral("元の名前");
    default: return QStringLiteral("どうなるか");
    }
}

QString UndoStepModel::statusText(const RenameStep& step, bool done)
{
    if (step.error == kChangedSince && step.systemError == 0)
        return QStringLiteral("そのまま：その後、ほかのファイルかフォルダーがこの名前になりました");
    switch (step.error) {
    case 0: return done ? QStringLiteral("元に戻しました") : QStringLiteral("元に戻します");
    case rt::kFileNotFound:
        return QStringLiteral("そのまま：今の名前のものがありません（変更されなかったか、"
                              "その後に移されたか消されました）");
    case rt::kFileAlreadyExists:
        return QStringLiteral("そのまま：元の名前はほかのものが使っています");
    case rt::kPathNotFound: return QStringLiteral("そのまま：フォルダーが見つかりません");
    default: return QStringLiteral("そのまま：") + rt::errorDescription(step.error);
    }
}
