#include "runtime/FileDateTime.h"

#include "runtime/NameCodec.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

QDateTime FileDateTime(const QString& path)
{
    const QString source = QStringLiteral("FileDateTime");
    QByteArray bytes;
    try {
        bytes = encodeName(path);
    } catch (const VbError&) {
        raiseError(kBadFileName, source);
    }
    struct stat info {};
    // A link reports its target; a dangling link still has a time of its own.
    if (bytes.isEmpty() || (rt::sys::stat(bytes.constData(), &info) != 0 &&
                            rt::sys::lstat(bytes.constData(), &info) != 0))
        raiseError(kFileNotFound, source);
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(info.st_mtim.tv_sec), Qt::LocalTime);
}

void pinLocalTimeZone()
{
    const char* zone = std::getenv("TZ");
    if (zone == nullptr && ::access("/etc/localtime", R_OK) == 0) {
        ::setenv("TZ", ":/etc/localtime", 1);
        ::tzset();
    }
}

}  // namespace rt
