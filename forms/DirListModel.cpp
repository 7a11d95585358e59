#include "forms/DirListModel.h"

#include "forms/PathText.h"

#include <QApplication>
#include <QFont>
#include <QStyle>

namespace forms {

DirListModel::DirListModel(QObject* parent) : QAbstractListModel(parent)
{
    m_openIcon = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
    m_closedIcon = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
}

void DirListModel::setTree(const QString& openFolder, const QStringList& subfolders)
{
    beginResetModel();
    m_openFolder = openFolder;
    m_chain = pathtext::chain(openFolder);
    m_subfolders = subfolders;
    endResetModel();
}

QString DirListModel::pathAt(int listIndex) const
{
    const int row = rowOfListIndex(listIndex);
    if (row < 0 || row >= rowCount())
        return QString();
    if (row < chainLength())
        return m_chain.at(row);
    return pathtext::join(m_openFolder, m_subfolders.at(row - chainLength()));
}

int DirListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : chainLength() + subfolderCount();
}

QVariant DirListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const bool inChain = row < chainLength();
    switch (role) {
    case Qt::DisplayRole:
        return inChain ? pathtext::lastName(m_chain.at(row)) : m_subfolders.at(row - chainLength());
    case Qt::DecorationRole: return inChain ? m_openIcon : m_closedIcon;
    case Qt::FontRole:
        if (row == chainLength() - 1) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case kLevelRole: return inChain ? row : chainLength();
    case kPathRole: return pathAt(listIndexOfRow(row));
    default: return {};
    }
}

}  // namespace forms
