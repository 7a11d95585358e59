#include "engine/Cls_FileRename.h"

#include "common/mdl_All.h"
#include "runtime/FileRename.h"
#include "runtime/PathSeparator.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"

namespace {

QString concat(QStringView head, QStringView tail)
{
    QString joined;
    joined.reserve(head.size() + tail.size());
    joined.append(head);
    joined.append(tail);
    return joined;
}

}  // namespace

bool Cls_FileRename::FncBln_RenameFiles(const QString& path)
{
    return FncBln_RenamePass(path, false);
}

bool Cls_FileRename::FncBln_RenameDirectories(const QString& path)
{
    return FncBln_RenamePass(path, true);
}

// One folder of a pass, then (on request) each subfolder, depth first. Every
// error of one step is dropped and the pass goes on with the next step.
bool Cls_FileRename::FncBln_RenamePass(const QString& path, bool folders)
{
    try {
        if (!FncBln_IsFolderNotListed(path))
            return true;
    } catch (...) {
    }
    const qsizetype length = m_StringFileName.size();

    // The list is complete before the first rename, so renames during the
    // walk neither add nor remove entries.
    QStringList entries;
    try {
        entries =
            folders
                ? FncCol_EnumSubFolders(path)
                : m_FileSystem->PFncCol_EnumFileList(FncStr_JoinPath(path, QStringLiteral("*")));
    } catch (...) {
    }
    for (const QString& entry : std::as_const(entries)) {
        try {
            const QString name = folders ? FncStr_GetLastPathName(entry) : entry;
            if (FncBln_IsTargetFile(path, name))
                Sub_ApplyNewName(path, name, length, folders);
        } catch (...) {
        }
        try {
            Sub_AddCount(m_AllFileCount);
        } catch (...) {
        }
    }
    entries = QStringList();

    if (!m_IsNoAnderTheWorld) {
        // Listed after the renames above, so a renamed folder is entered
        // under its new name. The listing never yields links, so the descent
        // stays inside the tree.
        QStringList subFolders;
        try {
            subFolders = FncCol_EnumSubFolders(path);
        } catch (...) {
        }
        for (const QString& sub : std::as_const(subFolders)) {
            if (sub < path)
                continue;
            if (!FncBln_RenamePass(sub, folders))
                return false;
        }
    }
    return true;
}

// The new name of one entry, from the part to change and the replacement,
// matched at the head or the tail; in head mode optionally followed by the
// half-width step, whatever the first rename did.
void Cls_FileRename::Sub_ApplyNewName(const QString& folder, const QString& name, qsizetype length,
                                      bool isFolder)
{
    const QStringView view(name);
    QString newName;
    if (m_RenameKubunIsTop) {
        if (view.left(length) == m_StringFileName) {
            newName = m_Is全置換 ? m_StringRename : concat(m_StringRename, view.mid(length));
            FncBln_RenameEntry(folder, name, newName, isFolder);
        }
        if (m_IsNarrow) {
            if (newName.isEmpty())
                newName = name;
            FncBln_RenameEntry(folder, newName, rt::StrConvNarrow(newName), isFolder);
        }
    } else if (view.right(length) == m_StringFileName) {
        newName =
            m_Is全置換 ? m_StringRename : concat(view.left(name.size() - length), m_StringRename);
        FncBln_RenameEntry(folder, name, newName, isFolder);
    }
}

bool Cls_FileRename::FncBln_RenameFile(const QString& folder, const QString& oldName,
                                       const QString& newName)
{
    return FncBln_RenameEntry(folder, oldName, newName, false);
}

bool Cls_FileRename::FncBln_RenameFolder(const QString& folder, const QString& oldName,
                                         const QString& newName)
{
    return FncBln_RenameEntry(folder, oldName, newName, true);
}

// Renames one entry inside its folder; never replaces anything. Counted and
// recorded (with its old path) only when the rename succeeded.
bool Cls_FileRename::FncBln_RenameEntry(const QString& folder, const QString& oldName,
                                        const QString& newName, bool isFolder)
{
    try {
        // A computed name holding a separator would move the entry into
        // another folder; refuse anything that is not one path component.
        Sub_CheckBareName(oldName);
        Sub_CheckBareName(newName);
        const QString oldPath = FncStr_JoinPath(folder, oldName);
        const QString newPath = FncStr_JoinPath(folder, newName);
        if (isFolder) {
            if (!m_FileSystem->FSO)
                rt::raiseError(rt::kInternalError,
                               QStringLiteral("Cls_FileRename.FncBln_RenameFolder"));
            m_FileSystem->FSO->MoveFolder(oldPath, newPath);
        } else {
            rt::Name(oldPath, newPath);
        }
        Sub_AddCount(m_RenameCount);
        Sub_AddReportLine(oldPath);
        return true;
    } catch (...) {
        Sub_DisplayVbError();
        return false;
    }
}

void Cls_FileRename::Sub_CheckBareName(const QString& name)
{
    bool bare = !name.isEmpty() && name != u"." && name != u"..";
    for (const QChar c : name) {
        if (c == rt::kPathSeparator || c.isNull())
            bare = false;
    }
    if (!bare)
        rt::raiseError(rt::kBadFileName, QStringLiteral("Cls_FileRename.Sub_CheckBareName"));
}

bool Cls_FileRename::FncBln_IsFolderNotListed(const QString& path) const
{
    if (m_FolderList->Count() == 0)
        return true;
    return !m_FolderList->Contains(FncStr_GetLastPathName(path));
}

// The text after the last separator, by the shared token walk: the whole path
// when it holds none, empty when it ends in one.
QString Cls_FileRename::FncStr_GetLastPathName(const QString& path)
{
    QString token;
    std::int32_t position = 1;
    do {
        position = FncLng_GetToken(path, rt::kPathSeparatorText, position, token);
    } while (position > 1);
    return token;
}
