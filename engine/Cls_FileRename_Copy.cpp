#include "engine/Cls_FileRename.h"

#include "filesystem/mdl_FileSystem.h"
#include "runtime/FileDateTime.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

// The copy facility: a file under the start folder is copied to the matching
// place under the destination folder, optionally only when it is newer there.
// With m_IsNoAnderTheWorld true nothing is created or copied; the job only
// lists what it would copy.

QString Cls_FileRename::FncStr_GetCopyDestPath(const QString& path) const
{
    try {
        QString mapped = path;
        if (!m_PathFrom.isEmpty())
            mapped.replace(m_PathFrom, QString());
        mapped = FncStr_JoinPath(m_PathTo, mapped);
        const QString one = rt::kPathSeparatorText;
        const QString two = one + one;
        mapped.replace(two + one, two);
        mapped.replace(two, one);
        return mapped;
    } catch (...) {
        Sub_DisplayVbError();
        return QString();
    }
}

void Cls_FileRename::Sub_PrepareCopyFolder(const QString& folder) const
{
    try {
        if (!m_IsNoAnderTheWorld)
            FncBln_CreateFolderTree(folder);
    } catch (...) {
        Sub_DisplayVbError();
    }
}

bool Cls_FileRename::FncBln_IsCopyNeeded(const QString& source, const QString& destination) const
{
    try {
        if (!m_IsNewDate)
            return true;
        if (!FncBln_FileExists(destination))
            return true;
        return rt::FileDateTime(source) > rt::FileDateTime(destination);
    } catch (...) {
        return false;
    }
}

void Cls_FileRename::Sub_CopyFileIfNewer(const QString& source, const QString& destination,
                                         const QString& shown)
{
    try {
        if (!FncBln_IsCopyNeeded(source, destination)) {
            Sub_AddCount(m_RejectedCount);
            return;
        }
        if (!m_IsNoAnderTheWorld) {
            if (!m_FileSystem->FSO)
                rt::raiseError(rt::kInternalError,
                               QStringLiteral("Cls_FileRename.Sub_CopyFileIfNewer"));
            m_FileSystem->FSO->CopyFile(source, destination, true);
        }
        Sub_AddCount(m_RenameCount);
        Sub_AddReportLine(m_IsNoPath ? shown : source);
    } catch (...) {
        Sub_DisplayVbError();
    }
}
