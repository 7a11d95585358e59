#include "engine/Cls_RenameDiskReal.h"

#include "engine/DiskPosix.h"
#include "runtime/NameCodec.h"
#include "runtime/RenameAt.h"
#include "runtime/Sys.h"

using namespace engine_detail;

Cls_RenameDisk::Handle Cls_RenameDiskReal::openStart(const QString& path, int& error)
{
    const int fd = openFolderPath(path, error);
    return fd < 0 ? kNoFolder : fd;
}

Cls_RenameDisk::Handle Cls_RenameDiskReal::openSub(Handle parent, const QByteArray& name,
                                                   int& error)
{
    const int fd =
        rt::sys::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return fd < 0 ? kNoFolder : fd;
}

void Cls_RenameDiskReal::close(Handle folder)
{
    if (folder >= 0)
        ::close(folder);
}

int Cls_RenameDiskReal::list(Handle folder, QStringList* files, QStringList* folders)
{
    return readFolder(folder, false,
                      [&](const char* name, std::size_t length, EntryKind kind, bool) {
                          QStringList* into = kind == EntryKind::File     ? files
                                              : kind == EntryKind::Folder ? folders
                                                                          : nullptr;
                          if (into)
                              into->append(rt::decodeName(name, length));
                      });
}

bool Cls_RenameDiskReal::modified(Handle folder, const QByteArray& name, std::int64_t& seconds)
{
    return modifiedAt(folder, name.constData(), seconds);
}

bool Cls_RenameDiskReal::identity(Handle folder, const QByteArray& name, std::uint64_t& number)
{
    struct stat info {};
    if (!statEntry(folder, name.constData(), info))
        return false;
    number = info.st_ino;
    return true;
}

bool Cls_RenameDiskReal::exists(Handle folder, const QByteArray& name)
{
    struct stat info {};
    return rt::sys::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

int Cls_RenameDiskReal::rename(Handle folder, const QByteArray& from, const QByteArray& to,
                               bool /*isFolder*/)
{
    return rt::renameNoReplaceAt(folder, from, folder, to);
}
