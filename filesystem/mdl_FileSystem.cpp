#include "filesystem/mdl_FileSystem.h"

#include "filesystem/DirProbe.h"
#include "runtime/Dir.h"
#include "scripting/FileSystemObject.h"

#include <exception>

// Each helper uses a component of its own that ends with the call.

bool FncBln_CreateFolderTree(const QString& path)
{
    try {
        const scripting::FileSystemObject fso;
        if (fso.FolderExists(path))
            return true;
        const QString parent = FncStr_ParentFolder(path);
        // A parent that is not shorter would recurse without end.
        if (!parent.isEmpty() && parent.size() < path.size() && !FncBln_CreateFolderTree(parent))
            return false;
        fso.CreateFolder(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool FncBln_FolderExists(const QString& path)
{
    try {
        const scripting::FileSystemObject fso;
        if (fso.FolderExists(path))
            return true;
    } catch (const std::exception&) {
        // The listing below decides.
    }
    return fs_detail::anyMatch(path, rt::kDirDirectory);
}

bool FncBln_FileExists(const QString& path)
{
    return fs_detail::anyMatch(path, rt::kDirNormal);
}

QString FncStr_ParentFolder(const QString& path)
{
    try {
        const scripting::FileSystemObject fso;
        return fso.GetParentFolderName(path);
    } catch (const std::exception&) {
        return QString();
    }
}
