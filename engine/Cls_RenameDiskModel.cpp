#include "engine/Cls_RenameDiskModel.h"

#include "engine/DiskPosix.h"
#include "runtime/NameCodec.h"

#include <sys/statvfs.h>

using namespace engine_detail;

struct Cls_RenameDiskModel::Folder {
    struct Entry {
        QByteArray name;    // as the run has left it
        QByteArray origin;  // as it is on disk
        EntryKind kind = EntryKind::Other;
    };
    int realFd = -1;
    std::vector<Entry> entries;  // in the order the folder yielded them
    QHash<QByteArray, std::size_t> byName;
    int listError = 0;
    bool readOnlyVolume = false;
    bool searchable = true;
    bool writable = true;

    ~Folder()
    {
        if (realFd >= 0)
            ::close(realFd);
    }
    const Entry* find(const QByteArray& name) const
    {
        const auto it = byName.constFind(name);
        return it == byName.cend() ? nullptr : &entries[*it];
    }
};

Cls_RenameDiskModel::Cls_RenameDiskModel() = default;
Cls_RenameDiskModel::~Cls_RenameDiskModel() = default;

Cls_RenameDisk::Handle Cls_RenameDiskModel::load(int realFd, int& error)
{
    auto folder = std::make_unique<Folder>();
    folder->realFd = realFd;
    folder->listError =
        readFolder(realFd, true, [&](const char* name, std::size_t length, EntryKind kind, bool) {
            Folder::Entry entry;
            entry.name = QByteArray(name, static_cast<qsizetype>(length));
            entry.origin = entry.name;
            entry.kind = kind;
            folder->byName.insert(entry.name, folder->entries.size());
            folder->entries.push_back(std::move(entry));
        });
    struct statvfs volume {};
    folder->readOnlyVolume = ::fstatvfs(realFd, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
    folder->searchable = ::faccessat(realFd, ".", X_OK, AT_EACCESS) == 0;
    folder->writable = ::faccessat(realFd, ".", W_OK | X_OK, AT_EACCESS) == 0;
    error = 0;
    for (std::size_t i = 0; i < m_Folders.size(); ++i) {
        if (!m_Folders[i]) {
            m_Folders[i] = std::move(folder);
            return static_cast<Handle>(i);
        }
    }
    m_Folders.push_back(std::move(folder));
    return static_cast<Handle>(m_Folders.size() - 1);
}

Cls_RenameDiskModel::Folder* Cls_RenameDiskModel::folderOf(Handle handle) const
{
    if (handle < 0 || static_cast<std::size_t>(handle) >= m_Folders.size())
        return nullptr;
    return m_Folders[static_cast<std::size_t>(handle)].get();
}

Cls_RenameDisk::Handle Cls_RenameDiskModel::openStart(const QString& path, int& error)
{
    const int fd = engine_detail::openFolderPath(path, error);
    return fd < 0 ? kNoFolder : load(fd, error);
}

// The entry that holds the name now is opened on disk under the name it has
// there, so the descriptor answers as the real disk would for it.
Cls_RenameDisk::Handle Cls_RenameDiskModel::openSub(Handle parent, const QByteArray& name,
                                                    int& error)
{
    const Folder* folder = folderOf(parent);
    const Folder::Entry* entry = folder ? folder->find(name) : nullptr;
    if (!entry) {
        error = folder && !folder->searchable ? EACCES : ENOENT;
        return kNoFolder;
    }
    const int fd = ::openat(folder->realFd, entry->origin.constData(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return kNoFolder;
    }
    return load(fd, error);
}

void Cls_RenameDiskModel::close(Handle folder)
{
    if (folderOf(folder))
        m_Folders[static_cast<std::size_t>(folder)].reset();
}

int Cls_RenameDiskModel::list(Handle handle, QStringList* files, QStringList* folders)
{
    const Folder* folder = folderOf(handle);
    if (!folder)
        return EBADF;
    for (const Folder::Entry& entry : folder->entries) {
        if (entry.name.startsWith('.') || folder->find(entry.name) != &entry)
            continue;
        QStringList* into = entry.kind == EntryKind::File     ? files
                            : entry.kind == EntryKind::Folder ? folders
                                                              : nullptr;
        if (into)
            into->append(rt::decodeName(entry.name));
    }
    return folder->listError;
}

bool Cls_RenameDiskModel::modified(Handle handle, const QByteArray& name, std::int64_t& seconds)
{
    const Folder* folder = folderOf(handle);
    const Folder::Entry* entry = folder ? folder->find(name) : nullptr;
    return entry && modifiedAt(folder->realFd, entry->origin.constData(), seconds);
}

bool Cls_RenameDiskModel::exists(Handle handle, const QByteArray& name)
{
    const Folder* folder = folderOf(handle);
    return folder && folder->find(name);
}

// Checked in the order the kernel checks a rename: the volume, the search
// permission, the source, the target, then the write permission.
int Cls_RenameDiskModel::rename(Handle handle, const QByteArray& from, const QByteArray& to,
                                bool /*isFolder*/)
{
    Folder* folder = folderOf(handle);
    if (!folder)
        return EBADF;
    if (folder->readOnlyVolume)
        return EROFS;
    if (!folder->searchable)
        return EACCES;
    const auto source = folder->byName.constFind(from);
    if (source == folder->byName.cend())
        return ENOENT;
    if (folder->byName.contains(to))
        return EEXIST;
    if (!folder->writable)
        return EACCES;
    const std::size_t index = *source;
    folder->byName.erase(source);
    folder->entries[index].name = to;
    folder->byName.insert(to, index);
    return 0;
}
