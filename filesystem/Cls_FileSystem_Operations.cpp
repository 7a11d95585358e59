#include "filesystem/Cls_FileSystem.h"

#include "runtime/FileRename.h"
#include "runtime/VbError.h"

#include <exception>

namespace {

// Sizes are reported in KiB: a floating-point division, then the currency's
// own rounding to four decimal places.
rt::Currency kibibytes(std::int64_t bytes)
{
    return rt::Currency::fromDouble(static_cast<double>(bytes) / 1024.0);
}

}  // namespace

bool Cls_FileSystem::PFncBln_GetDriveFreeSpace(const QString& Astr_Path, rt::Currency& Acur_Space)
{
    Sub_ClearError();
    return FncBln_Recorded([&] {
        const QString absolute = FSO->GetAbsolutePathName(Astr_Path);
        const scripting::Drive drive = FSO->GetDrive(FSO->GetDriveName(absolute));
        const rt::Currency space = kibibytes(drive.AvailableSpace());
        Acur_Space = space;  // written only once everything has succeeded
    });
}

bool Cls_FileSystem::PFncBln_CopyFolder(const QString& Astr_Source, const QString& Astr_Distination,
                                        bool Abln_Overwrite)
{
    Sub_ClearError();
    return FncBln_Recorded([&] { FSO->CopyFolder(Astr_Source, Astr_Distination, Abln_Overwrite); });
}

bool Cls_FileSystem::PFncBln_CreateFolder(const QString& Astr_Path)
{
    Sub_ClearError();
    try {
        if (FSO->FolderExists(Astr_Path))
            return true;
        const QString parent = GetStr_ParentFolderPath(Astr_Path);
        // The inner call records its own failure; a parent that is not
        // shorter would recurse without end, so it is not descended into.
        if (!parent.isEmpty() && parent.size() < Astr_Path.size() && !PFncBln_CreateFolder(parent))
            return false;
        FSO->CreateFolder(Astr_Path);
        return true;
    } catch (const std::exception&) {
        Sub_RecordError();
        return false;
    }
}

bool Cls_FileSystem::PFncBln_DeleteFolder(const QString& Astr_Path, bool Abln_Force)
{
    Sub_ClearError();
    try {
        FSO->DeleteFolder(Astr_Path, Abln_Force);
        return true;
    } catch (const rt::VbError& error) {
        if (error.number() == rt::kPathNotFound)
            return true;  // nothing there to delete
        Sub_RecordError();
        return false;
    } catch (const std::exception&) {
        Sub_RecordError();
        return false;
    }
}

bool Cls_FileSystem::PFncBln_CopyFile(const QString& Astr_Source, const QString& Astr_Distination,
                                      bool Abln_Overwrite)
{
    Sub_ClearError();
    return FncBln_Recorded([&] { FSO->CopyFile(Astr_Source, Astr_Distination, Abln_Overwrite); });
}

bool Cls_FileSystem::PFncBln_DeleteFile(const QString& Astr_Path, bool Abln_Force)
{
    Sub_ClearError();
    try {
        FSO->DeleteFile(Astr_Path, Abln_Force);
        return true;
    } catch (const rt::VbError& error) {
        if (error.number() == rt::kFileNotFound)
            return true;  // nothing there to delete
        Sub_RecordError();
        return false;
    } catch (const std::exception&) {
        Sub_RecordError();
        return false;
    }
}

QString Cls_FileSystem::PFncStr_GetDriveName(const QString& Astr_Path)
{
    // No error model here: a failure reaches the caller.
    return FSO->GetDriveName(Astr_Path);
}

rt::Currency Cls_FileSystem::PFncCur_GetFolderSize(const QString& Astr_Path)
{
    Sub_ClearError();
    try {
        const scripting::Folder folder = FSO->GetFolder(FSO->GetAbsolutePathName(Astr_Path));
        return kibibytes(folder.Size());
    } catch (const std::exception&) {
        Sub_RecordError();
        return rt::Currency{};
    }
}

bool Cls_FileSystem::PFncBln_ChangeFileName(const QString& Astr_OldPath,
                                            const QString& Astr_NewPath)
{
    Sub_ClearError();
    return FncBln_Recorded([&] { rt::Name(Astr_OldPath, Astr_NewPath); });
}

// The two moves keep an earlier recorded error when they succeed.

bool Cls_FileSystem::PFncBln_MoveDirectory(const QString& Astr_BasePath,
                                           const QString& Astr_MovePath)
{
    return FncBln_Recorded([&] { FSO->MoveFolder(Astr_BasePath, Astr_MovePath); });
}

bool Cls_FileSystem::PFncBln_MoveFile(const QString& Astr_BasePath, const QString& Astr_MovePath)
{
    return FncBln_Recorded([&] { FSO->MoveFile(Astr_BasePath, Astr_MovePath); });
}
