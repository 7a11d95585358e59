#include "engine/Cls_FileRename.h"

#include "common/mdl_All.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"

#include <QHash>

#include <cerrno>

namespace {

QString concat(QStringView head, QStringView tail)
{
    QString joined;
    joined.reserve(head.size() + tail.size());
    joined.append(head);
    joined.append(tail);
    return joined;
}

constexpr qsizetype kNameMax = 255;  // bytes of one path component

// Closes the pass's folder however the pass leaves it.
struct FolderGuard {
    Cls_RenameDisk& disk;
    Cls_RenameDisk::Handle handle;
    ~FolderGuard() { disk.close(handle); }
};

}  // namespace

struct Cls_FileRename::PassFolder {
    Cls_RenameDisk::Handle handle;
    const QString& path;
    QStringList* subFolders = nullptr;  // the descent list, kept under current names
    QHash<QString, qsizetype>* subIndex = nullptr;
};

void Cls_FileRename::setDisk(Cls_RenameDisk* disk)
{
    m_Disk = disk ? disk : &m_RealDisk;
}

void Cls_FileRename::setStepSink(Cls_RenameStepSink* sink)
{
    m_StepSink = sink;
}

bool Cls_FileRename::FncBln_RenameFiles(const QString& path)
{
    return FncBln_RenamePass(path, Cls_RenameDisk::kNoFolder, QString(), false);
}

bool Cls_FileRename::FncBln_RenameDirectories(const QString& path)
{
    return FncBln_RenamePass(path, Cls_RenameDisk::kNoFolder, QString(), true);
}

// One folder of a pass, then (on request) each subfolder, depth first. The
// folder is opened once (the start folder by its path, a subfolder relative
// to its parent and never through a link) and listed once; every rename goes
// through that open folder. Every error of one step is dropped and the pass
// goes on with the next step.
bool Cls_FileRename::FncBln_RenamePass(const QString& path, Cls_RenameDisk::Handle parent,
                                       const QString& name, bool folders)
{
    try {
        if (!FncBln_IsFolderNotListed(path))
            return true;
    } catch (...) {
    }
    const bool descend = !m_IsNoAnderTheWorld;
    const QString listingSource = QStringLiteral("Cls_FileRename.FncCol_EnumSubFolders");
    int error = 0;
    Cls_RenameDisk::Handle handle = Cls_RenameDisk::kNoFolder;
    try {
        handle = parent == Cls_RenameDisk::kNoFolder
                     ? m_Disk->openStart(path, error)
                     : m_Disk->openSub(parent, rt::encodeName(name), error);
    } catch (...) {
        error = EINVAL;
    }
    if (handle == Cls_RenameDisk::kNoFolder) {
        // A missing or unreadable folder yields empty lists; only the
        // subfolder listing tells the user (and the step sink its caller).
        if (m_StepSink)
            m_StepSink->folderFailed(path, error);
        if (folders || descend)
            Sub_DisplayError(error == ENOENT || error == ENOTDIR ? rt::kPathNotFound
                                                                 : rt::errorNumberFromErrno(error),
                             listingSource);
        return true;
    }
    const FolderGuard guard{*m_Disk, handle};
    const qsizetype length = m_StringFileName.size();

    // The list is complete before the first rename, so renames during the
    // walk neither add nor remove entries. Files and subfolders come from the
    // same listing; a folder failing part-way keeps what was gathered.
    QStringList files;
    QStringList subFolders;
    try {
        error = m_Disk->list(handle, folders ? nullptr : &files,
                             folders || descend ? &subFolders : nullptr);
        if (error != 0 && m_StepSink)
            m_StepSink->folderFailed(path, error);
        if (error != 0 && (folders || descend))
            Sub_DisplayError(rt::errorNumberFromErrno(error), listingSource);
    } catch (...) {
    }
    const QStringList entries = folders ? subFolders : files;
    files = QStringList();
    PassFolder here{handle, path};
    QHash<QString, qsizetype> index;
    if (descend && !subFolders.isEmpty()) {
        // A renamed subfolder is entered under its new name.
        index.reserve(subFolders.size());
        for (qsizetype i = 0; i < subFolders.size(); ++i)
            index.insert(subFolders[i], i);
        here.subFolders = &subFolders;
        here.subIndex = &index;
    }
    QByteArray bytes;
    for (const QString& entry : entries) {
        try {
            if (FncBln_IsTargetFile(here, entry, bytes))
                Sub_ApplyNewName(here, entry, bytes, length, folders);
        } catch (...) {
        }
        try {
            Sub_AddCount(m_AllFileCount);
        } catch (...) {
        }
    }

    if (descend) {
        for (const QString& sub : std::as_const(subFolders)) {
            // A folder renamed to a hidden name is no longer listed.
            if (sub.startsWith(u'.'))
                continue;
            const QString subPath = FncStr_JoinPath(path, sub);
            if (subPath < path)
                continue;
            if (!FncBln_RenamePass(subPath, handle, sub, folders))
                return false;
        }
    }
    return true;
}

// The new name of one entry, from the part to change and the replacement,
// matched at the head or the tail; in head mode optionally followed by the
// half-width step, whatever the first rename did.
void Cls_FileRename::Sub_ApplyNewName(PassFolder& folder, const QString& name,
                                      const QByteArray& bytes, qsizetype length, bool isFolder)
{
    const QStringView view(name);
    QString newName;
    const auto rename = [&](const QString& from, const QString& to, const QByteArray* fromBytes) {
        return isFolder ? FncBln_RenameFolder(folder, from, to, fromBytes)
                        : FncBln_RenameFile(folder, from, to, fromBytes);
    };
    // A new name equal to the old one leaves nothing to do; the rename,
    // which can only fail, is issued only where its box is to be shown.
    if (m_RenameKubunIsTop) {
        if (view.left(length) == m_StringFileName) {
            newName = m_Is全置換 ? m_StringRename : concat(m_StringRename, view.mid(length));
            if (newName != name || m_MsgDisplayFlg)
                rename(name, newName, &bytes);
        }
        if (m_IsNarrow) {
            const bool listed = newName.isEmpty();
            if (listed)
                newName = name;
            const QString narrow = rt::StrConvNarrow(newName);
            if (narrow != newName || m_MsgDisplayFlg)
                rename(newName, narrow, listed ? &bytes : nullptr);
        }
    } else if (view.right(length) == m_StringFileName) {
        newName =
            m_Is全置換 ? m_StringRename : concat(view.left(name.size() - length), m_StringRename);
        if (newName != name || m_MsgDisplayFlg)
            rename(name, newName, &bytes);
    }
}

bool Cls_FileRename::FncBln_RenameFile(PassFolder& folder, const QString& oldName,
                                       const QString& newName, const QByteArray* oldBytes)
{
    return FncBln_RenameEntry(folder, oldName, newName, false, oldBytes);
}

bool Cls_FileRename::FncBln_RenameFolder(PassFolder& folder, const QString& oldName,
                                         const QString& newName, const QByteArray* oldBytes)
{
    return FncBln_RenameEntry(folder, oldName, newName, true, oldBytes);
}

// Renames one entry inside its folder; never replaces anything and never
// copies (a rename the volume answers with EXDEV fails with 74). Counted and
// recorded (with its old path) only when the rename succeeded.
bool Cls_FileRename::FncBln_RenameEntry(PassFolder& folder, const QString& oldName,
                                        const QString& newName, bool isFolder,
                                        const QByteArray* oldBytes)
{
    int number = 0;
    int systemError = 0;
    QByteArray from;
    QByteArray to;
    // A computed name holding a separator would move the entry into another
    // folder; anything that is not one path component is refused.
    if (oldBytes)
        from = *oldBytes;
    // So is a name the folder's volume cannot hold: no driver ever sees it.
    const bool bare = (oldBytes || FncBln_EncodeBareName(oldName, from)) &&
                      FncBln_EncodeBareName(newName, to) && !m_Disk->refusesName(folder.handle, to);
    // On a volume that folds case the old name may reach an entry spelled
    // otherwise: the step and the trail tell the name it really had.
    QString spelled = oldName;
    if (!bare) {
        number = rt::kBadFileName;
    } else {
        const QByteArray listed = m_Disk->entrySpelling(folder.handle, from);
        if (listed != from)
            spelled = rt::decodeName(listed);
        systemError = m_Disk->rename(folder.handle, from, to, isFolder);
        if (systemError != 0)
            number = m_Disk->renameErrorNumber(folder.handle, from, systemError);
    }
    if (m_StepSink)
        m_StepSink->step({folder.path, spelled, newName, number, systemError, isFolder, {}, 0});
    if (number != 0) {
        Sub_DisplayError(number, !bare      ? QStringLiteral("Cls_FileRename.FncBln_RenameEntry")
                                 : isFolder ? QStringLiteral("FileSystemObject.MoveFolder")
                                            : QStringLiteral("Name"));
        return false;
    }
    if (folder.subIndex) {
        const auto it = folder.subIndex->constFind(oldName);
        if (it != folder.subIndex->cend()) {
            const qsizetype at = *it;
            folder.subIndex->erase(it);
            (*folder.subFolders)[at] = newName;
            folder.subIndex->insert(newName, at);
        }
    }
    try {
        Sub_AddCount(m_RenameCount);
        if (m_KeepReport)
            Sub_AddReportLine(FncStr_JoinPath(folder.path, spelled));
        return true;
    } catch (...) {
        Sub_DisplayVbError();
        return false;
    }
}

// One valid path component: not empty, not "." or "..", no separator, no
// NUL, encodable, at most 255 bytes.
bool Cls_FileRename::FncBln_EncodeBareName(const QString& name, QByteArray& bytes)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name) {
        if (c == rt::kPathSeparator || c.isNull())
            return false;
    }
    try {
        bytes = rt::encodeName(name);
    } catch (...) {
        return false;
    }
    return bytes.size() <= kNameMax;
}

// The candidate filter of the passes: the date test on the time the open
// folder reports for the entry, then the extension test.
bool Cls_FileRename::FncBln_IsTargetFile(const PassFolder& folder, const QString& name,
                                         QByteArray& bytes) const
{
    std::int64_t seconds = 0;
    bytes = rt::encodeName(name);
    if (!m_Disk->modified(folder.handle, bytes, seconds) || !FncBln_IsDateMatch(seconds))
        return false;
    return m_ExtensionList->Count() == 0 ||
           FncBln_IsExtensionNotListed(FncStr_JoinPath(folder.path, name));
}

// The error box for a failed step, raised only where it is to be shown.
void Cls_FileRename::Sub_DisplayError(int number, const QString& source) const
{
    if (!MsgDisplayFlg_Prop())
        return;
    try {
        rt::raiseError(number, source);
    } catch (...) {
        Sub_DisplayVbError();
    }
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
