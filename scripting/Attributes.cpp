#include "scripting/Attributes.h"

#include "runtime/NameCodec.h"
#include "runtime/Sys.h"
#include "scripting/FileSystemObject.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"

#include <cerrno>
#include <sys/stat.h>

namespace scripting::detail {

std::int32_t attributesOf(const QString& path, int missingError, const QString& source)
{
    const QByteArray bytes = rt::encodeName(path);
    struct stat own {};
    if (!lstatPath(bytes, own))
        raiseMissingErrno(errno, missingError, source);

    std::int32_t value = 0;
    mode_t kindMode = own.st_mode;
    if (S_ISLNK(own.st_mode)) {
        value |= kAlias;
        struct stat target {};
        kindMode = statPath(bytes, target) ? target.st_mode : own.st_mode;
    } else if ((own.st_mode & S_IWUSR) == 0) {
        value |= kReadOnly;
    }
    if (S_ISREG(kindMode))
        value |= kArchive;
    else if (S_ISDIR(kindMode))
        value |= kDirectory;
    else
        value |= kSystem;
    if (lastName(path).startsWith(QLatin1Char('.')))
        value |= kHidden;
    return value;
}

void applyReadOnly(const QString& path, std::int32_t value, int missingError, const QString& source)
{
    const QByteArray bytes = rt::encodeName(path);
    struct stat own {};
    if (!lstatPath(bytes, own))
        raiseMissingErrno(errno, missingError, source);
    if (S_ISLNK(own.st_mode))
        return;
    const mode_t permissions = own.st_mode & 07777;
    const mode_t wanted = (value & kReadOnly) != 0
                              ? (permissions & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH))
                              : (permissions | S_IWUSR);
    if (wanted != permissions && rt::sys::chmod(bytes.constData(), wanted) != 0)
        raiseMissingErrno(errno, missingError, source);
}

}  // namespace scripting::detail
