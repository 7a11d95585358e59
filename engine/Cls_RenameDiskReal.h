#pragma once

#include "engine/Cls_RenameDisk.h"
#include "engine/Volumes.h"
#include "runtime/RenameAt.h"

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
    int rename(Handle folder, const QByteArray& from, const QByteArray& to, bool isFolder) override;

    // Told the temporary name of a rename in two steps before it is taken
    // (a journal records it).
    void setTemporaryNameListener(rt::TemporaryNameListener listener)
    {
        m_Listener = std::move(listener);
    }

private:
    Handle opened(int fd);
    engine_detail::KnownVolume* volumeOf(Handle folder) const
    {
        return folder >= 0 && static_cast<std::size_t>(folder) < m_VolumeOf.size()
                   ? m_VolumeOf[static_cast<std::size_t>(folder)]
                   : nullptr;
    }

    engine_detail::VolumeCache m_Volumes;
    std::vector<engine_detail::KnownVolume*> m_VolumeOf;  // by descriptor; null: plain
    rt::TemporaryNameListener m_Listener;
};
