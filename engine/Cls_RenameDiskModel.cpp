#include "engine/Cls_RenameDiskModel.h"

#include "engine/DiskPosix.h"
#include "engine/ModelNameIndex.h"
#include "runtime/NameCodec.h"

#include <cstring>
#include <deque>
#include <sys/statvfs.h>

using namespace engine_detail;

struct Cls_RenameDiskModel::Folder {
    struct Entry {
        QByteArray name;             // as the run has left it
        QByteArray origin;           // as it is on disk
        std::uint64_t hash = 0;      // of name
        std::uint64_t identity = 0;  // its inode number, once its time was read
        EntryKind kind = EntryKind::Other;
        bool listed = true;  // false for the first of a name listed twice
    };
    int realFd = -1;
    // In the order the folder yielded them; a deque grows without moving
    // what it holds, so a large folder is never held twice while it is read.
    std::deque<Entry> entries;
    // The listed names, NUL-terminated, in blocks that never move: the
    // entries' names point into them rather than each holding a copy.
    std::vector<std::unique_ptr<char[]>> nameBlocks;
    std::size_t blockFree = 0;
    ModelNameIndex index;
    // The pass asks about the entries in the order it was given them, and
    // about one entry several times (its time, then its rename), so the last
    // entry found and the few after it are tried before the index.
    mutable std::size_t last = 0;
    int listError = 0;
    bool readOnlyVolume = false;
    bool searchable = true;
    bool writable = true;

    ~Folder()
    {
        if (realFd >= 0)
            ::close(realFd);
    }
    // A name that lives as long as the folder, stored without an allocation
    // of its own.
    QByteArray keep(const char* name, std::size_t length)
    {
        constexpr std::size_t kBlock = 64 * 1024;  // far above the longest name
        if (length + 1 > blockFree) {
            nameBlocks.push_back(std::make_unique<char[]>(kBlock));
            blockFree = kBlock;
        }
        char* at = nameBlocks.back().get() + (kBlock - blockFree);
        std::memcpy(at, name, length);
        at[length] = '\0';
        blockFree -= length + 1;
        return QByteArray::fromRawData(at, static_cast<qsizetype>(length));
    }

    std::uint64_t hashOf(std::uint32_t i) const { return entries[i].hash; }
    const QByteArray& nameOf(std::uint32_t i) const { return entries[i].name; }
    std::size_t entryCount() const { return entries.size(); }
    bool listed(std::uint32_t i) const { return entries[i].listed; }

    std::uint32_t lookup(const QByteArray& name) const
    {
        for (std::size_t i = last; i < entries.size() && i < last + 4; ++i) {
            if (entries[i].listed && entries[i].name == name) {
                last = i;
                return static_cast<std::uint32_t>(i);
            }
        }
        const std::uint32_t found = index.find(name, ModelNameIndex::hashOf(name), *this);
        if (found != ModelNameIndex::kNone)
            last = found;
        return found;
    }
    const Entry* find(const QByteArray& name) const
    {
        const std::uint32_t i = lookup(name);
        return i == ModelNameIndex::kNone ? nullptr : &entries[i];
    }
    void add(Entry entry)
    {
        entry.hash = ModelNameIndex::hashOf(entry.name);
        const auto at = static_cast<std::uint32_t>(entries.size());
        const std::uint32_t twin = index.find(entry.name, entry.hash, *this);
        entries.push_back(std::move(entry));
        if (twin == ModelNameIndex::kNone) {
            index.insert(at, *this);
        } else {
            // A folder changing while it is read can yield a name twice:
            // the later one stands.
            entries[twin].listed = false;
            index.replace(twin, at, *this);
        }
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
            entry.name = folder->keep(name, length);
            entry.origin = entry.name;
            entry.kind = kind;
            folder->add(std::move(entry));
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
        if (!entry.listed || entry.name.startsWith('.'))
            continue;
        QStringList* into = entry.kind == EntryKind::File     ? files
                            : entry.kind == EntryKind::Folder ? folders
                                                              : nullptr;
        if (into)
            into->append(rt::decodeName(entry.name));
    }
    return folder->listError;
}

// The one stat the pass asks for also gives the entry's identity, kept for
// the journal of an applied run.
bool Cls_RenameDiskModel::modified(Handle handle, const QByteArray& name, std::int64_t& seconds)
{
    Folder* folder = folderOf(handle);
    const std::uint32_t at = folder ? folder->lookup(name) : ModelNameIndex::kNone;
    struct stat info {};
    if (at == ModelNameIndex::kNone ||
        !statEntry(folder->realFd, folder->entries[at].origin.constData(), info))
        return false;
    seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    folder->entries[at].identity = info.st_ino;
    return true;
}

bool Cls_RenameDiskModel::identity(Handle handle, const QByteArray& name, std::uint64_t& number)
{
    const Folder* folder = folderOf(handle);
    const Folder::Entry* entry = folder ? folder->find(name) : nullptr;
    struct stat info {};
    if (!entry || !statEntry(folder->realFd, entry->origin.constData(), info))
        return false;
    number = info.st_ino;
    return true;
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
    const std::uint32_t source = folder->lookup(from);
    if (source == ModelNameIndex::kNone)
        return ENOENT;
    const std::uint64_t hash = ModelNameIndex::hashOf(to);
    if (folder->index.find(to, hash, *folder) != ModelNameIndex::kNone)
        return EEXIST;
    if (!folder->writable)
        return EACCES;
    m_LastRenamed = folder->entries[source].identity;
    folder->entries[source].name = to;
    folder->entries[source].hash = hash;
    folder->index.insert(source, *folder);
    return 0;
}
