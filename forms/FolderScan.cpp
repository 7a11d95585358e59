#include "forms/FolderScan.h"

#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace forms::folderscan {
namespace {

const QString kSource = QStringLiteral("DirListBox");

// Closes the stream whatever way the listing ends.
struct DirCloser {
    DIR* dir;
    ~DirCloser() { ::closedir(dir); }
};

bool isRealFolder(DIR* dir, const dirent* entry)
{
    if (entry->d_type == DT_DIR)
        return true;
    if (entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

}  // namespace

QStringList subfolders(const QString& folder)
{
    DIR* dir = ::opendir(rt::encodeName(folder).constData());
    if (!dir)
        rt::raiseError(rt::kPathNotFound, kSource);
    const DirCloser closer{dir};
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        if (entry->d_name[0] == '.')  // hidden, and the "." and ".." entries
            continue;
        if (isRealFolder(dir, entry))
            names.append(rt::decodeName(entry->d_name, std::strlen(entry->d_name)));
    }
    if (errno != 0)
        rt::raiseError(rt::kPathNotFound, kSource);
    return names;
}

bool isFolder(const QString& path)
{
    struct stat info {};
    return ::stat(rt::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace forms::folderscan
