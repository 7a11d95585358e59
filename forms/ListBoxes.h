#pragma once

#include "forms/DriveFolders.h"
#include "forms/FileDropTarget.h"

#include <QComboBox>
#include <QListView>
#include <QString>
#include <QStringList>

#include <memory>

// The drive list, the folder list and the file list of the forms runtime.
// All three list through the runtime layer (rt::Dir and the mount table), so
// names that are not valid UTF-8 show and round-trip. Listings are sorted by
// name in code-unit order (exact, case-sensitive, locale-independent). Methods that open a folder
// throw rt::VbError when it cannot be opened and then keep what they showed before.
namespace forms {

class DirListModel;
class FileListModel;

// The mounted volumes. Drive() is a drive text that the folder list's
// setPath() recognises (distinct from any folder path): it opens that drive's
// remembered current folder.
//
// Both lists of a window are given the same DriveFolders (owned by the
// caller, outliving them); a list given none keeps its own.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(DriveFolders* folders = nullptr, QWidget* parent = nullptr);
    ~DriveListBox() override;
    QString Drive() const;
    void setDrive(const QString& driveTextOrPath);  // selects the drive holding it
    static bool isDriveText(const QString& text);
    static QString mountPointOfDriveText(const QString& driveText);
    // The current folder remembered for the drive at mountPoint.
    QString rememberedFolder(const QString& mountPoint) const;
signals:
    void Change();  // the user picked another drive

protected:
    void showPopup() override;  // re-reads the mounted volumes first

private:
    void reloadVolumes();
    int m_lastIndex = -1;  // the drive shown before the user's pick
    std::unique_ptr<DriveFolders> m_ownFolders;
    DriveFolders* m_folders;
};

// Folder list: the open folder's ancestors, the open folder and its
// subfolders. ListIndex -1 is the open folder, lower values its ancestors
// (-2 the parent ...), 0 and up its subfolders. Single click selects, double
// click opens.
class DirListBox : public QListView, public FileDropTarget {
    Q_OBJECT
public:
    explicit DirListBox(DriveFolders* folders = nullptr, QWidget* parent = nullptr);
    ~DirListBox() override;
    QString Path() const;
    // Opens a folder (or a drive text's current folder); emits Change when
    // it differs from the open one. Throws rt::VbError when it cannot be opened.
    void setPath(const QString& path);
    int ListIndex() const;
    void setListIndex(int index);   // outside the list throws 380
    QString List(int index) const;  // full path of the entry at index; "" outside
    int ListCount() const;          // number of subfolders
    // Re-reads the tree; keeps the open folder, or when it has gone opens its
    // nearest ancestor that can be read (and emits Change). Never throws.
    void Refresh();
signals:
    void Change();
    // button: 1 left, 2 right, 4 middle; shift: 1 shift, 2 ctrl, 4 alt; x, y
    // in twips. Only the left button moves the selection.
    void MouseDown(int button, int shift, int x, int y);
    void OLEDragDrop(const QStringList& files);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(const QString& folder, bool notify);  // throws; no change then
    void selectListIndex(int index);
    void openEntry(const QModelIndex& index);  // a failure shows a box
    std::unique_ptr<DriveFolders> m_ownFolders;
    DriveFolders* m_folders;
    DirListModel* m_model;
};

// File list: the normal files of Path (as rt::Dir with attribute set 0),
// model-based so that 100,000 names fill at once.
class FileListBox : public QListView, public FileDropTarget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;
    QString Path() const;
    void setPath(const QString& path);  // throws rt::VbError; keeps the old listing then
    int ListCount() const;
    QString List(int index) const;  // bare name
    int ListIndex() const;          // -1 none
    void setListIndex(int index);   // -1 clears; outside the list throws 380
    // Re-reads the folder, keeping the selected name; a folder that can no
    // longer be read shows empty. Never throws.
    void Refresh();
signals:
    void DblClick();
    void OLEDragDrop(const QStringList& files);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    FileListModel* m_model;
    QString m_path;
};

}  // namespace forms
