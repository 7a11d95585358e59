#pragma once

#include "engine/Cls_RenameDisk.h"
#include "engine/Volumes.h"

#include <memory>
#include <vector>

// A model of the disk for a preview: each folder is read from the real disk
// once, when the pass opens it, with the same listing routine the real disk
// uses; from then on renames are played through in memory and nothing on
// disk changes. A name taken by an earlier step is taken, a renamed folder
// opens under its new name, and hidden, linked and non-UTF-8 entries are
// there as on disk. On a card or a Windows drive it answers as the volume
// does: names fold as the volume folds them, and the names it refuses are
// refused.
class Cls_RenameDiskModel final : public Cls_RenameDisk {
public:
    // Whose times are read while a folder is listed, when the system has
    // each entry at hand (a later stat of 100,000 names costs much more): the
    // files' or the folders' for a pass over them, or none for a caller that
    // asks about a few entries only.
    enum class ReadTimes { OfFiles, OfFolders, WhenAsked };
    explicit Cls_RenameDiskModel(ReadTimes readTimes = ReadTimes::WhenAsked);
    ~Cls_RenameDiskModel() override;
    Cls_RenameDiskModel(const Cls_RenameDiskModel&) = delete;
    Cls_RenameDiskModel& operator=(const Cls_RenameDiskModel&) = delete;

    Handle openStart(const QString& path, int& error) override;
    Handle openSub(Handle parent, const QByteArray& name, int& error) override;
    void close(Handle folder) override;
    // The names listed are texts over the model's own memory: they stay
    // valid while the folder is open, and a caller that keeps one longer
    // (as a step list does) copies it.
    int list(Handle folder, QStringList* files, QStringList* folders) override;
    bool modified(Handle folder, const QByteArray& name, std::int64_t& seconds) override;
    bool identity(Handle folder, const QByteArray& name, std::uint64_t& number) override;
    bool exists(Handle folder, const QByteArray& name) override;
    bool refusesName(Handle folder, const QByteArray& name) override;
    int rename(Handle folder, const QByteArray& from, const QByteArray& to, bool isFolder) override;

    // The inode number of the entry the last successful rename() renamed, as
    // its time was read for the pass (0 when it was not read).
    std::uint64_t lastRenamedIdentity() const { return m_LastRenamed; }

private:
    struct Folder;
    Handle load(int realFd, int& error);
    Folder* folderOf(Handle handle) const;

    std::vector<std::unique_ptr<Folder>> m_Folders;  // indexed by handle
    engine_detail::VolumeCache m_Volumes;
    std::uint64_t m_LastRenamed = 0;
    ReadTimes m_ReadTimes;
};
