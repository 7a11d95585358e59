#include "filesystem/Cls_FileSystem.h"

#include "common/mdl_ErrorFunction.h"
#include "filesystem/DirProbe.h"
#include "runtime/Dir.h"
#include "runtime/VbError.h"

#include <exception>

Cls_FileSystem::Cls_FileSystem() : FSO(std::make_shared<scripting::FileSystemObject>()) {}

Cls_FileSystem::~Cls_FileSystem()
{
    FSO.reset();
}

QString Cls_FileSystem::GetStr_ErrorDetail() const
{
    return m_ErrorDetail;
}

std::int32_t Cls_FileSystem::GetLng_ErrorNo() const
{
    return m_ErrorNo;
}

void Cls_FileSystem::Sub_ClearError()
{
    m_ErrorNo = 0;
    m_ErrorDetail.clear();
}

void Cls_FileSystem::Sub_RecordError()
{
    // Called inside a catch block: any exception counts as a platform error.
    const rt::VbError error = rt::currentError();
    m_ErrorNo = error.number();
    m_ErrorDetail = error.description();
}

QStringList Cls_FileSystem::PFncCol_EnumFileList(const QString& Astr_Path)
{
    return fs_detail::collectNames(Astr_Path, rt::kDirNormal);
}

QStringList Cls_FileSystem::GetCol_EnumFileList(const QString& Astr_Path)
{
    return fs_detail::collectNames(Astr_Path, rt::kDirNormal);
}

QStringList Cls_FileSystem::GetCol_EnumSubDirList(const QString& Astr_Path)
{
    QStringList names;
    try {
        const scripting::Folder folder = FSO->GetFolder(Astr_Path);
        for (const scripting::Folder& sub : folder.SubFolders())
            names.append(sub.Name());
    } catch (const std::exception&) {
        // The one listing that tells the user; the partial list still returns.
        Sub_ShowVbError();
    }
    return names;
}

bool Cls_FileSystem::PFncBln_CheckFolderExists(const QString& Astr_Path)
{
    try {
        if (FSO->FolderExists(Astr_Path))
            return true;
    } catch (const std::exception&) {
        // Falls through to the listing, which decides on its own.
    }
    // Attribute set 16 admits normal files too: a file path or a pattern that
    // matches anything listable counts as present.
    return fs_detail::anyMatch(Astr_Path, rt::kDirDirectory);
}

bool Cls_FileSystem::PFncBln_CheckFileExists(const QString& Astr_Path)
{
    return fs_detail::anyMatch(Astr_Path, rt::kDirNormal);
}

bool Cls_FileSystem::PFncBln_CheckDriveExists(const QString& Astr_Path)
{
    try {
        return FSO->DriveExists(FSO->GetDriveName(Astr_Path));
    } catch (const std::exception&) {
        return false;
    }
}

QString Cls_FileSystem::GetStr_ParentFolderPath(const QString& Astr_Path)
{
    try {
        return FSO->GetParentFolderName(Astr_Path);
    } catch (const std::exception&) {
        return QString();
    }
}
