#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

// The scripting file-system object over POSIX: the members the system calls,
// with the behaviour it relies on. Every failure throws rt::VbError.
//
// Paths are QString through the lossless name codec (runtime/NameCodec.h).
// Links: a link is an entry of its own. A link to a regular file counts as a
// file; a link to a folder or a dangling link is neither a file nor a
// subfolder. Nothing descends into a folder through a link: Size, SubFolders,
// Files, CopyFolder and DeleteFolder never follow one.
namespace scripting {

enum Attribute : std::int32_t {
    kReadOnly = 1,  // the owner has no write permission
    kHidden = 2,    // the name begins with "."
    kSystem = 4,    // neither a regular file nor a folder
    kVolume = 8,
    kDirectory = 16,
    kArchive = 32,  // set for regular files
    kAlias = 1024,  // a symbolic link
    kCompressed = 2048,
};

class File {
public:
    explicit File(QString path);
    const QString& Path() const { return m_path; }
    QString Name() const;
    std::int32_t Attributes() const;
    // Applies only the read-only bit: set removes every write bit, clear gives
    // the owner write permission back. A no-op on a link (never its target).
    void setAttributes(std::int32_t value) const;
    std::int64_t Size() const;

private:
    QString m_path;
};

class Folder {
public:
    explicit Folder(QString path);
    const QString& Path() const { return m_path; }
    QString Name() const;
    std::int32_t Attributes() const;
    void setAttributes(std::int32_t value) const;  // as File::setAttributes
    // Direct subfolders (real folders, not links), in readdir order.
    QList<Folder> SubFolders() const;
    // Files directly inside (regular files and links to them), readdir order.
    QList<File> Files() const;
    // The same, handed to visit one by one as the folder is read. A folder
    // that fails part-way through its listing raises after the entries
    // already visited, so a caller keeps what was gathered before it.
    void SubFolders(const std::function<void(const Folder&)>& visit) const;
    void Files(const std::function<void(const File&)>& visit) const;
    // Bytes of all regular files in the tree, links not followed. A mount
    // point below the folder is not entered: 70.
    std::int64_t Size() const;

private:
    QString m_path;  // absolute, no trailing separator except for "/"
};

class Drive {
public:
    explicit Drive(QString mountPoint);
    const QString& Path() const { return m_mountPoint; }
    bool IsReady() const;                 // statvfs succeeds
    std::int64_t AvailableSpace() const;  // bytes available to the user (f_bavail)

private:
    QString m_mountPoint;
};

class FileSystemObject {
public:
    // A folder (following links in the path, as any path lookup does).
    bool FolderExists(const QString& path) const;
    // A regular file or a link to one (hidden files count).
    bool FileExists(const QString& path) const;
    // A mount point.
    bool DriveExists(const QString& driveName) const;
    // The entry at path itself (a link is not followed) lies on another
    // mounted volume than the folder holding it: a mount point, a bind mount
    // included. "/" is one. 53 when nothing is at the path, 76 when its
    // folder is missing.
    bool IsMountPoint(const QString& path) const;
    // The mount point holding an absolute path; "" for a relative path.
    QString GetDriveName(const QString& path) const;
    // The path without its last component and the separator before it
    // ("/a" -> "/", "/a/b/" -> "/a", "/" -> "", "a" -> "").
    QString GetParentFolderName(const QString& path) const;
    // Absolute, with "." and ".." and repeated separators resolved textually,
    // no trailing separator except for "/".
    QString GetAbsolutePathName(const QString& path) const;

    Folder CreateFolder(const QString& path) const;  // parent must exist; 58 when it exists
    Folder GetFolder(const QString& path) const;     // 76 when no folder is there
    File GetFile(const QString& path) const;         // 53 when no file is there
    Drive GetDrive(const QString& driveName) const;  // 68 when it is no mount point

    // destination receives source's content (created when missing, merged
    // when present); an existing file there is replaced only when overwrite.
    // A destination ending in the separator means "into that folder". Links
    // are copied as links. Copying a folder into itself or below it: 5. A
    // mount point below the source or the destination is not entered: 70.
    void CopyFolder(const QString& source, const QString& destination, bool overwrite = true) const;
    // A destination ending in the separator means "into that folder". A
    // replaced file is written beside the destination and renamed over it;
    // a read-only destination or the source itself is refused (70).
    void CopyFile(const QString& source, const QString& destination, bool overwrite = true) const;
    // 76 for a missing folder; read-only content only with force. The root
    // and mount points are refused (70); a link is removed, never followed.
    // A mount point below the folder stops the deletion with 70 and keeps
    // everything on it.
    void DeleteFolder(const QString& path, bool force = false) const;
    // 53 for a missing file; a read-only file only with force.
    void DeleteFile(const QString& path, bool force = false) const;
    // Never replace an existing entry (58). Same volume: a rename; across
    // volumes: copy, then delete the source once the whole copy succeeded.
    // A folder that is a mount point or holds one is not moved across
    // volumes (70), and nothing changes. A destination ending in the
    // separator means "into that folder". A folder into its own subtree: 5.
    void MoveFolder(const QString& source, const QString& destination) const;
    void MoveFile(const QString& source, const QString& destination) const;
};

}  // namespace scripting
