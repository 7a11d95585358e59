#include "engine/Cls_RenameDiskModel.h"

#include "engine/Blocks.h"
#include "engine/DiskPosix.h"
#include "engine/ModelNameIndex.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <sys/statvfs.h>

using namespace engine_detail;

struct Cls_RenameDiskModel::Folder {
    struct Entry {
        const char* name = nullptr;    // as the run has left it, NUL-terminated
        const char* origin = nullptr;  // as it is on disk, NUL-terminated
        std::uint64_t hash = 0;        // of name
        std::uint64_t identity = 0;    // its inode number, once its time was read
        std::int64_t seconds = 0;      // its time, when timeRead
        std::uint32_t length = 0;      // of name
        EntryKind kind = EntryKind::Other;
        bool listed = true;  // false for the first of a name listed twice
        bool timeRead = false;

        std::string_view view() const { return {name, length}; }
    };
    int realFd = -1;
    // In the order the folder yielded them.
    Chunks<Entry> entries;
    // Every name the folder has held (NUL-terminated bytes) and the listed
    // names as text, in blocks that never move: entries and listings point
    // into them rather than each name holding an allocation of its own.
    Blocks<char> bytes;
    Blocks<char16_t> texts;
    ModelNameIndex index;
    // On a volume that folds case the index holds each name folded, so
    // that "a.jpg" finds "A.JPG"; keys[i] is entry i's folded name.
    const KnownVolume* volume = nullptr;
    bool folds = false;
    std::vector<std::string_view> keys;
    // The pass asks about the entries in the order it was given them, and
    // about one entry several times (its time, then its rename), so the last
    // entry found and the few after it are tried before the index.
    mutable std::size_t last = 0;
    std::size_t fileCount = 0;  // as read, so that a listing is taken at once
    std::size_t folderCount = 0;
    int listError = 0;
    bool readOnlyVolume = false;
    bool searchable = true;
    bool writable = true;

    ~Folder()
    {
        if (realFd >= 0)
            ::close(realFd);
    }
    Entry& at(std::size_t i) const { return entries[i]; }

    const char* keep(std::string_view name)
    {
        char* to = bytes.take(name.size() + 1);
        std::memcpy(to, name.data(), name.size());
        to[name.size()] = '\0';
        return to;
    }

    std::uint64_t hashOf(std::uint32_t i) const { return at(i).hash; }
    std::string_view nameOf(std::uint32_t i) const { return folds ? keys[i] : at(i).view(); }
    std::size_t entryCount() const { return entries.size(); }
    bool listed(std::uint32_t i) const { return at(i).listed; }

    // The index's key of a name: the name itself, or folded.
    std::string_view keyOf(std::string_view name, QByteArray& folded) const
    {
        if (!folds)
            return name;
        folded = foldedName(name);
        return {folded.constData(), static_cast<std::size_t>(folded.size())};
    }
    static QByteArray foldedName(std::string_view name)
    {
        QByteArray folded(name.data(), static_cast<qsizetype>(name.size()));
        bool ascii = true;
        for (char& c : folded) {
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        if (ascii)
            return folded;
        try {
            return rt::encodeName(rt::decodeName(name.data(), name.size()).toCaseFolded());
        } catch (const rt::VbError&) {
            return folded;
        }
    }
    // Sets entry i's key (and hash) from its present name.
    void setKey(std::uint32_t i)
    {
        Entry& entry = at(i);
        if (!folds) {
            entry.hash = ModelNameIndex::hashOf(entry.view());
            return;
        }
        const QByteArray folded = foldedName(entry.view());
        const char* kept = keep({folded.constData(), static_cast<std::size_t>(folded.size())});
        if (keys.size() <= i)
            keys.resize(i + 1);
        keys[i] = {kept, static_cast<std::size_t>(folded.size())};
        entry.hash = ModelNameIndex::hashOf(keys[i]);
    }

    std::uint32_t lookup(std::string_view name) const
    {
        for (std::size_t i = last; i < entries.size() && i < last + 4; ++i) {
            if (at(i).listed && at(i).view() == name) {
                last = i;
                return static_cast<std::uint32_t>(i);
            }
        }
        QByteArray folded;
        const std::string_view key = keyOf(name, folded);
        const std::uint32_t found = index.find(key, ModelNameIndex::hashOf(key), *this);
        if (found != ModelNameIndex::kNone)
            last = found;
        return found;
    }
    Entry* find(std::string_view name) const
    {
        const std::uint32_t i = lookup(name);
        return i == ModelNameIndex::kNone ? nullptr : &at(i);
    }
    void add(const Entry& entry)
    {
        entries.append() = entry;
        setKey(static_cast<std::uint32_t>(entries.size() - 1));
        fileCount += entry.kind == EntryKind::File;
        folderCount += entry.kind == EntryKind::Folder;
    }
    // Once the folder is read: the index is built at its final size.
    void indexAll()
    {
        index.build(*this, [this](std::uint32_t twin) { at(twin).listed = false; });
    }
};

namespace {

std::string_view viewOf(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

Cls_RenameDiskModel::Cls_RenameDiskModel(ReadTimes readTimes) : m_ReadTimes(readTimes) {}
Cls_RenameDiskModel::~Cls_RenameDiskModel() = default;

Cls_RenameDisk::Handle Cls_RenameDiskModel::load(int realFd, int& error)
{
    auto folder = std::make_unique<Folder>();
    folder->realFd = realFd;
    folder->volume = m_Volumes.at(realFd);
    folder->folds = folder->volume && folder->volume->rules.foldsCase;
    const EntryKind timed = m_ReadTimes == ReadTimes::OfFiles     ? EntryKind::File
                            : m_ReadTimes == ReadTimes::OfFolders ? EntryKind::Folder
                                                                  : EntryKind::Other;
    folder->listError = readFolder(
        realFd, true, [&](const char* name, std::size_t length, EntryKind kind, bool hidden) {
            Folder::Entry entry;
            entry.name = folder->keep({name, length});
            entry.origin = entry.name;
            entry.length = static_cast<std::uint32_t>(length);
            entry.kind = kind;
            struct stat info {};
            if (kind == timed && timed != EntryKind::Other && !hidden &&
                statEntry(realFd, entry.origin, info)) {
                entry.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
                entry.identity = entryIdentity(info, folder->volume);
                entry.timeRead = true;
            }
            folder->add(entry);
        });
    folder->indexAll();
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
    const Folder::Entry* entry = folder ? folder->find(viewOf(name)) : nullptr;
    if (!entry) {
        error = folder && !folder->searchable ? EACCES : ENOENT;
        return kNoFolder;
    }
    const int fd =
        ::openat(folder->realFd, entry->origin, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
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

// The texts point into the folder's blocks: they are valid while the
// folder is open, and a caller that keeps one longer copies it.
int Cls_RenameDiskModel::list(Handle handle, QStringList* files, QStringList* folders)
{
    Folder* folder = folderOf(handle);
    if (!folder)
        return EBADF;
    if (files)
        files->reserve(files->size() + static_cast<qsizetype>(folder->fileCount));
    if (folders)
        folders->reserve(folders->size() + static_cast<qsizetype>(folder->folderCount));
    for (std::size_t i = 0; i < folder->entries.size(); ++i) {
        const Folder::Entry& entry = folder->at(i);
        if (!entry.listed || entry.name[0] == '.')
            continue;
        QStringList* into = entry.kind == EntryKind::File     ? files
                            : entry.kind == EntryKind::Folder ? folders
                                                              : nullptr;
        if (!into)
            continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(entry.name);
        std::uint32_t ascii = 0;
        while (ascii < entry.length && bytes[ascii] < 0x80)
            ++ascii;
        char16_t* text = nullptr;
        qsizetype size = entry.length;
        if (ascii == entry.length) {
            text = folder->texts.take(entry.length);
            std::copy(bytes, bytes + entry.length, text);
        } else {
            const QString decoded = rt::decodeName(entry.name, entry.length);
            size = decoded.size();
            text = folder->texts.take(static_cast<std::size_t>(size));
            std::copy_n(reinterpret_cast<const char16_t*>(decoded.constData()), size, text);
        }
        into->append(QString::fromRawData(reinterpret_cast<const QChar*>(text), size));
    }
    return folder->listError;
}

// The one stat the pass asks for (made while listing, or now for an entry
// whose time was not read then) also gives the entry's identity, kept for
// the journal of an applied run.
bool Cls_RenameDiskModel::modified(Handle handle, const QByteArray& name, std::int64_t& seconds)
{
    Folder* folder = folderOf(handle);
    Folder::Entry* found = folder ? folder->find(viewOf(name)) : nullptr;
    if (!found)
        return false;
    Folder::Entry& entry = *found;
    struct stat info {};
    if (!entry.timeRead) {
        if (!statEntry(folder->realFd, entry.origin, info))
            return false;
        entry.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
        entry.identity = entryIdentity(info, folder->volume);
        entry.timeRead = true;
    }
    seconds = entry.seconds;
    return true;
}

bool Cls_RenameDiskModel::identity(Handle handle, const QByteArray& name, std::uint64_t& number)
{
    const Folder* folder = folderOf(handle);
    const Folder::Entry* entry = folder ? folder->find(viewOf(name)) : nullptr;
    struct stat info {};
    if (!entry || !statEntry(folder->realFd, entry->origin, info))
        return false;
    number = entryIdentity(info, folder->volume);
    return true;
}

bool Cls_RenameDiskModel::exists(Handle handle, const QByteArray& name)
{
    const Folder* folder = folderOf(handle);
    return folder && folder->find(viewOf(name));
}

bool Cls_RenameDiskModel::refusesName(Handle handle, const QByteArray& name)
{
    const Folder* folder = folderOf(handle);
    return folder && folder->volume && rt::refusesName(folder->volume->rules, name);
}

// Checked in the order the kernel checks a rename: the volume, the search
// permission, the source, the target, then the write permission.
int Cls_RenameDiskModel::rename(Handle handle, const QByteArray& from, const QByteArray& to,
                                bool isFolder)
{
    Folder* folder = folderOf(handle);
    if (!folder)
        return EBADF;
    if (folder->readOnlyVolume)
        return EROFS;
    if (!folder->searchable)
        return EACCES;
    const std::uint32_t source = folder->lookup(viewOf(from));
    if (source == ModelNameIndex::kNone)
        return ENOENT;
    const std::string_view target = viewOf(to);
    QByteArray folded;
    const std::string_view key = folder->keyOf(target, folded);
    // On a folding volume the entry's own other spelling is no collision.
    const std::uint32_t taken = folder->index.find(key, ModelNameIndex::hashOf(key), *folder);
    if (taken != ModelNameIndex::kNone && (taken != source || folder->at(source).view() == target))
        return EEXIST;
    if (!folder->writable)
        return EACCES;
    if (isFolder && folder->volume && folder->volume->rules.emptyFolderRenamesOnly &&
        !folderIsEmpty(folder->realFd, folder->at(source).origin))
        return EOPNOTSUPP;
    Folder::Entry& entry = folder->at(source);
    folder->index.erase(source, entry.hash, *folder);
    m_LastRenamed = entry.identity;
    entry.name = folder->keep(target);
    entry.length = static_cast<std::uint32_t>(target.size());
    folder->setKey(source);
    folder->index.insert(source, *folder);
    return 0;
}
