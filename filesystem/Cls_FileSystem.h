#pragma once

#include "runtime/Currency.h"
#include "scripting/FileSystemObject.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <memory>

// The file-system service: one object through which folders and files are
// listed, tested, created, copied, moved, renamed and deleted. It never shows
// a box (one exception: GetCol_EnumSubDirList reports through the runtime-error
// box) and never throws: failures are recorded and read back through
// GetLng_ErrorNo / GetStr_ErrorDetail.
class Cls_FileSystem {
public:
    Cls_FileSystem();   // creates the component in FSO
    ~Cls_FileSystem();  // releases it

    Cls_FileSystem(const Cls_FileSystem&) = delete;
    Cls_FileSystem& operator=(const Cls_FileSystem&) = delete;

    // Public: other parts of the system call the component through it.
    std::shared_ptr<scripting::FileSystemObject> FSO;

    QString GetStr_ErrorDetail() const;
    std::int32_t GetLng_ErrorNo() const;
    bool PFncBln_GetDriveFreeSpace(const QString& Astr_Path, rt::Currency& Acur_Space);
    bool PFncBln_CopyFolder(const QString& Astr_Source, const QString& Astr_Distination,
                            bool Abln_Overwrite);
    bool PFncBln_CreateFolder(const QString& Astr_Path);
    bool PFncBln_DeleteFolder(const QString& Astr_Path, bool Abln_Force);
    bool PFncBln_CopyFile(const QString& Astr_Source, const QString& Astr_Distination,
                          bool Abln_Overwrite);
    bool PFncBln_DeleteFile(const QString& Astr_Path, bool Abln_Force);
    bool PFncBln_CheckDriveExists(const QString& Astr_Path);
    bool PFncBln_CheckFolderExists(const QString& Astr_Path);
    bool PFncBln_CheckFileExists(const QString& Astr_Path);
    QString PFncStr_GetDriveName(const QString& Astr_Path);  // lets rt::VbError through
    rt::Currency PFncCur_GetFolderSize(const QString& Astr_Path);
    bool ChangeBln_ReadOnlyAttr(const QString& Astr_Path, bool Abln_ReadOnly);
    QStringList GetCol_EnumSubDirList(const QString& Astr_Path);
    QStringList GetCol_EnumFileList(const QString& Astr_Path);
    QString GetStr_ParentFolderPath(const QString& Astr_Path);
    bool ChkBln_IsDriveValid(const QString& Astr_Path);
    bool ChkBln_IsFolderNameValid(const QString& Astr_Path);
    bool PFncBln_ChangeFileName(const QString& Astr_OldPath, const QString& Astr_NewPath);
    bool PFncBln_MoveDirectory(const QString& Astr_BasePath, const QString& Astr_MovePath);
    bool PFncBln_MoveFile(const QString& Astr_BasePath, const QString& Astr_MovePath);
    // Bare names of the normal files matching a path or wildcard pattern, in
    // listing order; never throws, empty when nothing matches.
    QStringList PFncCol_EnumFileList(const QString& Astr_Path);

private:
    friend class FileSystemTest;  // checks the attribute arithmetic directly

    void Sub_ChangeReadOnlyTree(const scripting::Folder& folder, bool readOnly);
    static std::int32_t FncLng_ReadOnlyAttr(std::int32_t value, bool readOnly);
    // The error model: cleared at entry, set from the error being handled.
    void Sub_ClearError();
    void Sub_RecordError();
    // Runs the platform calls of one operation: true when they complete,
    // false with the error recorded when one of them fails.
    template <class Calls> bool FncBln_Recorded(Calls&& calls)
    {
        try {
            calls();
            return true;
        } catch (const std::exception&) {
            Sub_RecordError();
            return false;
        }
    }

    std::int32_t m_ErrorNo = 0;
    QString m_ErrorDetail;
};
