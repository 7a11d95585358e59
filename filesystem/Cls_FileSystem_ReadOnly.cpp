#include "filesystem/Cls_FileSystem.h"

#include "runtime/VbError.h"

#include <exception>

bool Cls_FileSystem::ChangeBln_ReadOnlyAttr(const QString& Astr_Path, bool Abln_ReadOnly)
{
    Sub_ClearError();
    try {
        if (FSO->FolderExists(Astr_Path))
            Sub_ChangeReadOnlyTree(FSO->GetFolder(Astr_Path), Abln_ReadOnly);
        if (FSO->FileExists(Astr_Path)) {
            const scripting::File file = FSO->GetFile(Astr_Path);
            file.setAttributes(FncLng_ReadOnlyAttr(file.Attributes(), Abln_ReadOnly));
        }
        return true;
    } catch (const std::exception&) {
        Sub_RecordError();
        return false;
    }
}

// The folder first, then its files, then its subfolders depth first. A
// failure ends this level only; the caller carries on with its next item.
// The walk stays on the volume it started on: an entry that is a mount point
// is a failure of its level, and nothing on it is changed. Entries listed
// before a listing fails part-way are still worked on.
void Cls_FileSystem::Sub_ChangeReadOnlyTree(const scripting::Folder& folder, bool readOnly)
{
    const auto refuseMountPoint = [this](const QString& path) {
        if (FSO->IsMountPoint(path))
            rt::raiseError(rt::kPermissionDenied, QStringLiteral("Cls_FileSystem"));
    };
    try {
        folder.setAttributes(FncLng_ReadOnlyAttr(folder.Attributes(), readOnly));
        folder.Files([&](const scripting::File& file) {
            refuseMountPoint(file.Path());
            file.setAttributes(FncLng_ReadOnlyAttr(file.Attributes(), readOnly));
        });
        folder.SubFolders([&](const scripting::Folder& sub) {
            refuseMountPoint(sub.Path());
            Sub_ChangeReadOnlyTree(sub, readOnly);
        });
    } catch (const std::exception&) {
        // Swallowed on purpose: the walk goes on at the level above.
    }
}

// Drops the folder, alias and compressed bits and the four highest bits,
// which the component does not accept back, then sets or clears read-only.
std::int32_t Cls_FileSystem::FncLng_ReadOnlyAttr(std::int32_t value, bool readOnly)
{
    constexpr std::int32_t kKeep = 0x0FFFF3EF;
    const std::int32_t kept = value & kKeep;
    return readOnly ? (kept | scripting::kReadOnly) : (kept & ~std::int32_t{scripting::kReadOnly});
}
