// The file, folder and drive objects.
#include "scripting/Attributes.h"
#include "scripting/FileSystemObject.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"

#include "runtime/NameCodec.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>

namespace scripting {

using namespace detail;

File::File(QString path) : m_path(absolutePath(path)) {}

QString File::Name() const
{
    return lastName(m_path);
}

std::int32_t File::Attributes() const
{
    return attributesOf(m_path, rt::kFileNotFound, QStringLiteral("File.Attributes"));
}

void File::setAttributes(std::int32_t value) const
{
    applyReadOnly(m_path, value, rt::kFileNotFound, QStringLiteral("File.Attributes"));
}

std::int64_t File::Size() const
{
    struct stat status {};
    if (!statPath(rt::encodeName(m_path), status))
        raiseFileErrno(errno, QStringLiteral("File.Size"));
    return status.st_size;
}

Folder::Folder(QString path) : m_path(absolutePath(path)) {}

QString Folder::Name() const
{
    return lastName(m_path);
}

std::int32_t Folder::Attributes() const
{
    return attributesOf(m_path, rt::kPathNotFound, QStringLiteral("Folder.Attributes"));
}

void Folder::setAttributes(std::int32_t value) const
{
    applyReadOnly(m_path, value, rt::kPathNotFound, QStringLiteral("Folder.Attributes"));
}

void Folder::SubFolders(const std::function<void(const Folder&)>& visit) const
{
    const QString source = QStringLiteral("Folder.SubFolders");
    const Fd folder = openFolder(rt::encodeName(m_path), source);
    forEachEntry(folder.get(), source, [&](const RawEntry& entry) {
        if (entry.kind == Kind::Folder)
            visit(Folder(joinPath(m_path, rt::decodeName(entry.name))));
    });
}

QList<Folder> Folder::SubFolders() const
{
    QList<Folder> result;
    SubFolders([&result](const Folder& sub) { result.append(sub); });
    return result;
}

void Folder::Files(const std::function<void(const File&)>& visit) const
{
    const QString source = QStringLiteral("Folder.Files");
    const Fd folder = openFolder(rt::encodeName(m_path), source);
    forEachEntry(folder.get(), source, [&](const RawEntry& entry) {
        bool isFile = entry.kind == Kind::File;
        if (entry.kind == Kind::Link) {
            // A link counts as a file when it leads to a regular file.
            struct stat target {};
            isFile = rt::sys::fstatat(folder.get(), entry.name.constData(), &target, 0) == 0 &&
                     S_ISREG(target.st_mode);
        }
        if (isFile)
            visit(File(joinPath(m_path, rt::decodeName(entry.name))));
    });
}

QList<File> Folder::Files() const
{
    QList<File> result;
    Files([&result](const File& file) { result.append(file); });
    return result;
}

namespace {

std::int64_t treeSize(int folderFd, const Volume& walk, const QString& source)
{
    std::int64_t total = 0;
    for (const RawEntry& entry : readEntries(folderFd, source)) {
        if (entry.kind == Kind::Folder) {
            const Fd sub = openFolderAt(folderFd, entry.name, source);
            requireVolume(volumeOf(sub.get(), source), walk, source);
            total += treeSize(sub.get(), walk, source);
        } else if (entry.kind == Kind::File) {
            struct statx status {};
            if (rt::sys::statx(folderFd, entry.name.constData(), AT_SYMLINK_NOFOLLOW,
                               STATX_TYPE | STATX_SIZE | STATX_MNT_ID, &status) != 0) {
                if (errno == ENOENT)
                    continue;
                rt::raiseErrno(errno, source);
            }
            requireVolume(volumeFrom(status), walk, source);  // a file mounted over
            if (S_ISREG(status.stx_mode))
                total += static_cast<std::int64_t>(status.stx_size);
        }
    }
    return total;
}

}  // namespace

std::int64_t Folder::Size() const
{
    const QString source = QStringLiteral("Folder.Size");
    const Fd folder = openFolder(rt::encodeName(m_path), source);
    return treeSize(folder.get(), volumeOf(folder.get(), source), source);
}

Drive::Drive(QString mountPoint) : m_mountPoint(std::move(mountPoint)) {}

bool Drive::IsReady() const
{
    struct statvfs status {};
    return ::statvfs(rt::encodeName(m_mountPoint).constData(), &status) == 0;
}

std::int64_t Drive::AvailableSpace() const
{
    struct statvfs status {};
    if (::statvfs(rt::encodeName(m_mountPoint).constData(), &status) != 0)
        rt::raiseErrno(errno, QStringLiteral("Drive.AvailableSpace"));
    return static_cast<std::int64_t>(status.f_bavail) * static_cast<std::int64_t>(status.f_frsize);
}

}  // namespace scripting
