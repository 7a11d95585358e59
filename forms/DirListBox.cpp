#include "forms/ListBoxes.h"

#include "forms/DirListModel.h"
#include "forms/EventCodes.h"
#include "forms/FolderScan.h"
#include "forms/PathText.h"
#include "forms/Twips.h"
#include "runtime/MsgBox.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace forms {
namespace {

const QString kSource = QStringLiteral("DirListBox");
constexpr int kIndentPixels = 12;

// Shifts each row right by its level, so the chain reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.adjust(indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index)
    {
        return kIndentPixels * index.data(DirListModel::kLevelRole).toInt();
    }
};

// Subfolders in code-unit order: the same order as the file list, fast, and
// independent of the locale the program runs under.
QStringList sortedSubfolders(const QString& folder)
{
    QStringList names = folderscan::subfolders(folder);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

DirListBox::DirListBox(DriveFolders* folders, QWidget* parent)
    : QListView(parent),
      FileDropTarget(this, viewport(), OtherDrags::Refuse,
                     [this](const QStringList& files) { emit OLEDragDrop(files); }),
      m_ownFolders(folders ? nullptr : std::make_unique<DriveFolders>()),
      m_folders(folders ? folders : m_ownFolders.get()), m_model(new DirListModel(this))
{
    setModel(m_model);
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    // Opens the current folder, or the root when that cannot be read.
    for (const QString& start : {pathtext::currentFolder(), rt::kPathSeparatorText}) {
        try {
            open(start, false);
            break;
        } catch (const rt::VbError&) {
        }
    }
}

DirListBox::~DirListBox() = default;

QString DirListBox::Path() const
{
    return m_model->openFolder();
}

void DirListBox::setPath(const QString& path)
{
    if (DriveListBox::isDriveText(path)) {
        const QString mountPoint = DriveListBox::mountPointOfDriveText(path);
        const QString remembered = m_folders->folderOf(mountPoint);
        try {
            open(remembered, true);
        } catch (const rt::VbError&) {
            if (remembered == mountPoint)
                throw;
            open(mountPoint, true);
        }
        return;
    }
    const QString folder = pathtext::normalized(path);
    if (folder.isEmpty())
        rt::raiseError(rt::kPathNotFound, kSource);
    open(folder, true);
}

void DirListBox::open(const QString& folder, bool notify)
{
    const QStringList subfolders = sortedSubfolders(folder);  // throws before any change
    const bool changed = folder != m_model->openFolder();
    m_model->setTree(folder, subfolders);
    selectListIndex(-1);
    m_folders->remember(folder);
    if (changed && notify)
        emit Change();
}

void DirListBox::selectListIndex(int index)
{
    const QModelIndex modelIndex = m_model->index(m_model->rowOfListIndex(index));
    setCurrentIndex(modelIndex);
    scrollTo(modelIndex);
}

int DirListBox::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_model->listIndexOfRow(selected.first().row());
}

void DirListBox::setListIndex(int index)
{
    if (index < -m_model->chainLength() || index >= m_model->subfolderCount())
        rt::raiseError(380, kSource);  // invalid property value
    selectListIndex(index);
}

QString DirListBox::List(int index) const
{
    return m_model->pathAt(index);
}

int DirListBox::ListCount() const
{
    return m_model->subfolderCount();
}

void DirListBox::Refresh()
{
    const QString selected = m_model->pathAt(ListIndex());
    // The open folder may be gone: fall back to its nearest ancestor that
    // can still be read (the root at worst).
    QStringList candidates = pathtext::chain(m_model->openFolder());
    std::reverse(candidates.begin(), candidates.end());
    for (const QString& folder : candidates) {
        try {
            open(folder, true);
            break;
        } catch (const rt::VbError&) {
        }
    }
    for (int index = -m_model->chainLength(); index < m_model->subfolderCount(); ++index) {
        if (m_model->pathAt(index) == selected) {
            selectListIndex(index);
            break;
        }
    }
}

void DirListBox::openEntry(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const QString folder = m_model->pathAt(m_model->listIndexOfRow(index.row()));
    try {
        open(folder, true);
    } catch (const rt::VbError&) {
        rt::MsgBox(QStringLiteral("フォルダを開けませんでした。\r\n") + folder, rt::kVbExclamation);
    }
}

void DirListBox::mousePressEvent(QMouseEvent* event)
{
    // Only the left button selects; a right click leaves the selection for
    // the MouseDown handler to read.
    if (event->button() == Qt::LeftButton)
        QListView::mousePressEvent(event);
    else
        event->accept();
    const QPoint at = event->position().toPoint();
    emit MouseDown(mouseButtonCode(event->button()), shiftCode(event->modifiers()),
                   twipsFromPixels(at.x()), twipsFromPixels(at.y()));
}

void DirListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
    openEntry(indexAt(event->position().toPoint()));
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QModelIndexList selected = selectionModel()->selectedRows();
        openEntry(selected.isEmpty() ? QModelIndex() : selected.first());
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace forms
