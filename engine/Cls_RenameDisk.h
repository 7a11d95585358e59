#pragma once

#include "runtime/VbError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstdint>

// What the rename passes ask of the disk. Every question is put relative to
// a folder the pass opened, never through a full path, so a path component
// swapped for a link while a run goes on cannot redirect a rename.
//
// Two implementations answer alike: the real disk (descriptors, used by the
// window and by an applied command-line run) and the model (a snapshot that
// plays the renames through without touching anything, used for the
// preview). The passes themselves are the only copy of the rules.
//
// Names are the bytes of one path component. Errors are errno values; 0 is
// success.
class Cls_RenameDisk {
public:
    using Handle = int;  // an open folder; negative is none
    static constexpr Handle kNoFolder = -1;

    virtual ~Cls_RenameDisk() = default;

    // The start folder, as the user named it (a link there is the user's
    // choice and is followed). Returns kNoFolder and sets error on failure.
    virtual Handle openStart(const QString& path, int& error) = 0;
    // A subfolder of an open folder, opened under its present name and never
    // through a link.
    virtual Handle openSub(Handle parent, const QByteArray& name, int& error) = 0;
    virtual void close(Handle folder) = 0;

    // One listing, in the order the folder yields it: the normal files
    // (regular files and links to regular files) and the folders (never a
    // link), hidden names left out. Either list may be null. Returns 0, or
    // the error that ended the listing part-way (the lists then hold what was
    // gathered before it).
    virtual int list(Handle folder, QStringList* files, QStringList* folders) = 0;

    // The entry's last-modification time in seconds since the epoch (a link
    // reports its target, a dangling one itself); false when unreadable.
    virtual bool modified(Handle folder, const QByteArray& name, std::int64_t& seconds) = 0;

    // The entry's inode number, read as modified() reads the time (a link
    // reports its target, a dangling one itself); false when unreadable.
    virtual bool identity(Handle folder, const QByteArray& name, std::uint64_t& number) = 0;

    // True when the folder holds an entry of that name (of any kind); on a
    // volume that folds case, under any spelling.
    virtual bool exists(Handle folder, const QByteArray& name) = 0;

    // True when the folder's volume cannot hold a name of these bytes (a
    // card or a Windows drive refuses some characters): the pass refuses
    // it before anything moves, so no driver ever sees it.
    virtual bool refusesName(Handle folder, const QByteArray& name) = 0;

    // Renames one entry inside its folder; never replaces, never copies. A
    // change of letter case only is carried out on a volume that folds
    // case too, where both spellings are one name. A folder that holds
    // entries is not renamed on a volume whose driver would lose them
    // (EOPNOTSUPP).
    virtual int rename(Handle folder, const QByteArray& from, const QByteArray& to,
                       bool isFolder) = 0;

    // The runtime's error number for a rename of from that failed with
    // systemError (not 0): a source that is gone (53) is told from a folder
    // that is gone (76) by asking the folder again.
    int renameErrorNumber(Handle folder, const QByteArray& from, int systemError)
    {
        if (systemError == ENOENT || systemError == ENOTDIR)
            return exists(folder, from) ? rt::kPathNotFound : rt::kFileNotFound;
        return rt::errorNumberFromErrno(systemError);
    }
};
