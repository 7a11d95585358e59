// CopyFile and CopyFolder.
#include "scripting/Copying.h"
#include "scripting/FileSystemObject.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace scripting {

using namespace detail;

namespace {

// Where an absolute path would lie with every link and ".." resolved, also
// when its last entry does not exist yet.
QByteArray canonicalTarget(const QString& absolute)
{
    QByteArray resolved = canonicalPath(rt::encodeName(absolute));
    if (!resolved.isEmpty())
        return resolved;
    const QByteArray folder = canonicalPath(rt::encodeName(containingFolder(absolute)));
    if (folder.isEmpty())
        return QByteArray();
    const char separator = static_cast<char>(rt::kPathSeparator);
    return (folder.endsWith(separator) ? folder : folder + separator) +
           rt::encodeName(lastName(absolute));
}

}  // namespace

void FileSystemObject::CopyFile(const QString& source, const QString& destination,
                                bool overwrite) const
{
    const QString where = QStringLiteral("FileSystemObject.CopyFile");
    if (endsWithSeparator(source))
        rt::raiseError(rt::kFileNotFound, where);
    const QString from = absolutePath(source);
    const QString to = destinationPath(destination, from);

    // Links are followed here: a link to a file stands for the file.
    const QByteArray fromBytes = rt::encodeName(from);
    struct stat status {};
    if (!statPath(fromBytes, status) || !S_ISREG(status.st_mode))
        rt::raiseError(rt::kFileNotFound, where);
    const Fd input(rt::sys::open(fromBytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (input.get() < 0)
        raiseFileErrno(errno, where);
    if (rt::sys::fstat(input.get(), &status) != 0 || !S_ISREG(status.st_mode))
        rt::raiseError(rt::kFileNotFound, where);

    const Fd folder = openFolderBase(rt::encodeName(containingFolder(to)), where);
    copyFileAt(input.get(), status, folder.get(), rt::encodeName(lastName(to)), overwrite, where);
}

void FileSystemObject::CopyFolder(const QString& source, const QString& destination,
                                  bool overwrite) const
{
    const QString where = QStringLiteral("FileSystemObject.CopyFolder");
    const QString from = absolutePath(source);
    const QString to = destinationPath(destination, from);
    const QByteArray fromBytes = rt::encodeName(from);
    const QByteArray toBytes = rt::encodeName(to);

    struct stat status {};
    if (!statPath(fromBytes, status) || !S_ISDIR(status.st_mode))
        rt::raiseError(rt::kPathNotFound, where);
    if (!FolderExists(containingFolder(to)))
        rt::raiseError(rt::kPathNotFound, where);
    // Copying a folder into itself would feed the copy with its own output.
    const QByteArray canonicalTo = canonicalTarget(to);
    if (canonicalTo.isEmpty())
        rt::raiseError(rt::kPathFileAccessError, where);
    if (isWithin(canonicalTo, canonicalPath(fromBytes)))
        rt::raiseError(rt::kInvalidCall, where);

    const Fd input = openFolder(fromBytes, where);
    bool created = false;
    struct stat existing {};
    if (statPath(toBytes, existing)) {
        if (!S_ISDIR(existing.st_mode))
            rt::raiseError(rt::kFileAlreadyExists, where);
    } else {
        if (rt::sys::mkdir(toBytes.constData(), S_IRWXU) != 0)
            rt::raiseErrno(errno, where);
        created = true;
    }
    Fd output;
    try {
        output = openFolder(toBytes, where);
    } catch (...) {
        if (created)  // still empty, and without its source's permissions
            rt::sys::unlinkat(AT_FDCWD, toBytes.constData(), AT_REMOVEDIR);
        throw;
    }
    fillFolder(
        output.get(), created ? &status : nullptr,
        [&] { copyFolderContent(input.get(), output.get(), overwrite, where); }, where);
}

}  // namespace scripting
