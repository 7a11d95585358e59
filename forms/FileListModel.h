#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The names of the file list, one row each.
namespace forms {

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(QStringList names);
    const QStringList& names() const { return m_names; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList m_names;
};

}  // namespace forms
