#include "runtime/FileRename.h"

#include "runtime/NameCodec.h"
#include "runtime/RenameAt.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>

namespace rt {
namespace {

const QString kSource = QStringLiteral("Name");

[[noreturn]] void raiseRenameErrno(int error, const QByteArray& oldBytes)
{
    if (error == ENOENT || error == ENOTDIR) {
        // Missing source and missing target folder look alike to rename(2).
        struct stat info {};
        raiseError(sys::lstat(oldBytes.constData(), &info) == 0 ? kPathNotFound : kFileNotFound,
                   kSource);
    }
    raiseErrno(error, kSource);
}

}  // namespace

void Name(const QString& oldPath, const QString& newPath)
{
    QByteArray oldBytes, newBytes;
    try {
        oldBytes = encodeName(oldPath);
        newBytes = encodeName(newPath);
    } catch (const VbError&) {
        raiseError(kBadFileName, kSource);
    }
    if (const int error = renameNoReplaceAt(AT_FDCWD, oldBytes, AT_FDCWD, newBytes))
        raiseRenameErrno(error, oldBytes);
}

}  // namespace rt
