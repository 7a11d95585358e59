#include "forms/ListBoxes.h"

#include "forms/EventCodes.h"
#include "forms/FileListModel.h"
#include "forms/FolderScan.h"
#include "forms/PathText.h"
#include "runtime/Dir.h"
#include "runtime/VbError.h"

#include <QMouseEvent>

#include <algorithm>

namespace forms {
namespace {

const QString kSource = QStringLiteral("FileListBox");

// The normal files of a folder through the runtime's listing, sorted by name
// in code-unit order. Throws VbError 76 for a folder that does not exist
// (the listing itself cannot tell it from an empty one).
QStringList sortedFiles(const QString& folder)
{
    if (folder.isEmpty() || !folderscan::isFolder(folder))
        rt::raiseError(rt::kPathNotFound, kSource);
    QStringList names;
    for (QString name = rt::Dir(pathtext::join(folder, QStringLiteral("*")), rt::kDirNormal);
         !name.isEmpty(); name = rt::Dir())
        names.append(std::move(name));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

FileListBox::FileListBox(QWidget* parent)
    : QListView(parent),
      FileDropTarget(this, viewport(), OtherDrags::Refuse,
                     [this](const QStringList& files) { emit OLEDragDrop(files); }),
      m_model(new FileListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);  // lays out 100,000 rows without measuring each
}

FileListBox::~FileListBox() = default;

QString FileListBox::Path() const
{
    return m_path;
}

void FileListBox::setPath(const QString& path)
{
    const QString folder = pathtext::normalized(path);
    QStringList names = sortedFiles(folder);  // throws before any change
    m_path = folder;
    m_model->setNames(std::move(names));
}

int FileListBox::ListCount() const
{
    return m_model->rowCount();
}

QString FileListBox::List(int index) const
{
    return index >= 0 && index < m_model->names().size() ? m_model->names().at(index) : QString();
}

int FileListBox::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FileListBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        rt::raiseError(380, kSource);  // invalid property value
    if (index < 0) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex modelIndex = m_model->index(index);
    setCurrentIndex(modelIndex);
    scrollTo(modelIndex);
}

void FileListBox::Refresh()
{
    if (m_path.isEmpty())
        return;
    const QString selected = List(ListIndex());
    // A folder that can no longer be read shows empty rather than failing:
    // the folder list moves away from it on its own refresh.
    QStringList names;
    try {
        names = sortedFiles(m_path);
    } catch (const rt::VbError&) {
    }
    m_model->setNames(std::move(names));
    if (!selected.isEmpty()) {
        const auto& list = m_model->names();
        const auto it = std::lower_bound(list.begin(), list.end(), selected);
        if (it != list.end() && *it == selected)
            setListIndex(static_cast<int>(it - list.begin()));
    }
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    setCurrentIndex(index);  // the handler reads the double-clicked entry
    emit DblClick();
}

}  // namespace forms
