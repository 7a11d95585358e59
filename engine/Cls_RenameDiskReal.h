#pragma once

#include "engine/Cls_RenameDisk.h"
#include "engine/Volumes.h"
#include "runtime/RenameAt.h"

#include <QHash>

#include <unordered_map>
#include <vector>

// The disk itself, through folder descriptors: a handle is the descriptor.
// On a plain local volume a rename is the one system call; on a card or a
// Windows drive its new name is checked against the volume's rules first,
// a case-only change goes through a temporary name, and every rename is
// confirmed on disk before it counts.
class Cls_RenameDiskReal final : public Cls_RenameDisk {
public:
    Handle openStart(const QString& path, int& error) override;
    Handle openSub(Handle parent, const QByteArray& name, int& error) override;
    void close(Handle folder) override;
    int list(Handle folder, QStringList* files, QStringList* folders) override;
    bool modified(Handle folder, const QByteArray& name, std::int64_t& seconds) override;
    bool identity(Handle folder, const QByteArray& name, std::uint64_t& number) override;
    bool exists(Handle folder, const QByteArray& name) override;
    bool refusesName(Handle folder, const QByteArray& name) override;
    QByteArray entrySpelling(Handle folder, const QByteArray& name) override;
    int rename(Handle folder, const QByteArray& from, const QByteArray& to, bool isFolder) override;

    // Told the temporary name of a rename in two steps before it is taken
    // (a journal records it).
    void setTemporaryNameListener(rt::TemporaryNameListener listener)
    {
        m_Listener = std::move(listener);
    }

private:
    // The names of one open folder on a volume that folds case, by their
    // folded form: the spelling a name given in another case resolves to.
    // Read once, when the folder is listed or first renamed in, and kept as
    // renames go; existence there is answered from them, since a FUSE
    // driver's cached lookups of another spelling can outlive a rename.
    using Spellings = QHash<QByteArray, QByteArray>;
    Spellings& spellingsOf(Handle folder);
    void renamed(Handle folder, const QByteArray& from, const QByteArray& to);

    bool folds(Handle folder) const
    {
        const engine_detail::KnownVolume* volume = volumeOf(folder);
        return volume && volume->rules.foldsCase;
    }
    Handle opened(int fd);
    engine_detail::KnownVolume* volumeOf(Handle folder) const
    {
        return folder >= 0 && static_cast<std::size_t>(folder) < m_VolumeOf.size()
                   ? m_VolumeOf[static_cast<std::size_t>(folder)]
                   : nullptr;
    }

    engine_detail::VolumeCache m_Volumes;
    std::vector<engine_detail::KnownVolume*> m_VolumeOf;  // by descriptor; null: plain
    std::unordered_map<Handle, Spellings> m_Spellings;
    rt::TemporaryNameListener m_Listener;
};
