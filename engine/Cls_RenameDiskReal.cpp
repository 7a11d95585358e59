#include "engine/Cls_RenameDiskReal.h"

#include "engine/DiskPosix.h"
#include "runtime/NameCodec.h"
#include "runtime/RenameAt.h"
#include "runtime/Sys.h"

using namespace engine_detail;

// Each folder's volume is learned as it is opened, so a rename asks a
// table, not the system.
Cls_RenameDisk::Handle Cls_RenameDiskReal::opened(int fd)
{
    if (fd < 0)
        return kNoFolder;
    const auto at = static_cast<std::size_t>(fd);
    if (at >= m_VolumeOf.size())
        m_VolumeOf.resize(at + 1, nullptr);
    m_VolumeOf[at] = m_Volumes.at(fd);
    return fd;
}

Cls_RenameDisk::Handle Cls_RenameDiskReal::openStart(const QString& path, int& error)
{
    return opened(openFolderPath(path, error));
}

Cls_RenameDisk::Handle Cls_RenameDiskReal::openSub(Handle parent, const QByteArray& name,
                                                   int& error)
{
    const int fd =
        rt::sys::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return opened(fd);
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
    number = entryIdentity(info, volumeOf(folder));
    return true;
}

bool Cls_RenameDiskReal::exists(Handle folder, const QByteArray& name)
{
    struct stat info {};
    return rt::sys::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool Cls_RenameDiskReal::refusesName(Handle folder, const QByteArray& name)
{
    const KnownVolume* volume = volumeOf(folder);
    return volume && rt::refusesName(volume->rules, name);
}

int Cls_RenameDiskReal::rename(Handle folder, const QByteArray& from, const QByteArray& to,
                               bool isFolder)
{
    KnownVolume* volume = volumeOf(folder);
    if (!volume)
        return rt::renameNoReplaceAt(folder, from, folder, to, m_Listener);
    if (isFolder && volume->rules.emptyFolderRenamesOnly &&
        !folderIsEmpty(folder, from.constData()))
        return EOPNOTSUPP;
    const bool caseOnly = rt::differInCaseOnly(from, to);
    int error = 0;
    if (caseOnly && volume->rules.foldsCase) {
        error = rt::renameThroughTemporaryAt(folder, from, to, m_Listener);
        // Both steps were seen done; that the volume keeps the spelling it
        // was given is seen in a listing, once per volume.
        if (error == 0 && !volume->spellingConfirmed) {
            if (!rt::listsExactly(folder, to))
                return EIO;
            volume->spellingConfirmed = true;
        }
        return error;
    }
    error = rt::renameNoReplaceAt(folder, from, folder, to, m_Listener);
    if (error != 0 || !volume->rules.checkRenames)
        return error;
    // Some drivers answer success and change nothing.
    return exists(folder, to) && (caseOnly || !exists(folder, from)) ? 0 : EIO;
}
