#pragma once

#include "engine/Cls_RenameDisk.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The folder's components below root, or false when it lies outside it.
bool componentsWithin(const QString& root, const QString& folder, QStringList& components);

// Opens the folders of one tree for steps given by full paths: from the
// tree's top down, one component at a time and never through a link, so a
// path component swapped for a link cannot redirect a step; a folder outside
// the tree is never opened. Opened folders are kept until the walk ends.
class FolderWalk {
public:
    FolderWalk(Cls_RenameDisk& disk, const QString& root);
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // The open folder at that path; kNoFolder when it is outside the tree or
    // cannot be opened.
    Cls_RenameDisk::Handle at(const QString& folder);
    // A folder was renamed: what was opened under either path, or below it,
    // no longer answers to that path.
    void forget(const QString& path);

private:
    Cls_RenameDisk& m_Disk;
    QString m_Root;
    Cls_RenameDisk::Handle m_Top = Cls_RenameDisk::kNoFolder;
    QHash<QString, Cls_RenameDisk::Handle> m_Open;
    QString m_LastPath;  // steps come folder by folder: one lookup is saved
    Cls_RenameDisk::Handle m_Last = Cls_RenameDisk::kNoFolder;
};
