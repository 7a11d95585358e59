#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

// The rows of the folder list: the open folder's chain (root first, the open
// folder last), then its subfolders. A row's list index is the row minus the
// length of the chain, so the open folder is -1, its ancestors lower, its
// subfolders 0 and up.
namespace forms {

class DirListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kLevelRole = Qt::UserRole + 1;  // indentation steps
    static constexpr int kPathRole = Qt::UserRole + 2;   // full path

    explicit DirListModel(QObject* parent = nullptr);

    // subfolders: bare names, shown in the order given.
    void setTree(const QString& openFolder, const QStringList& subfolders);

    const QString& openFolder() const { return m_openFolder; }
    int chainLength() const { return static_cast<int>(m_chain.size()); }
    int subfolderCount() const { return static_cast<int>(m_subfolders.size()); }
    // The full path at a list index; "" outside the list.
    QString pathAt(int listIndex) const;
    int rowOfListIndex(int listIndex) const { return listIndex + chainLength(); }
    int listIndexOfRow(int row) const { return row - chainLength(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QString m_openFolder;
    QStringList m_chain;       // full paths, root first, the open folder last
    QStringList m_subfolders;  // bare names
    QIcon m_openIcon;
    QIcon m_closedIcon;
};

}  // namespace forms
