#include "engine/DiskPosix.h"

#include "runtime/NameCodec.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <QString>

namespace engine_detail {

int openFolderPath(const QString& path, int& error)
{
    QByteArray bytes;
    try {
        bytes = rt::encodeName(path);
    } catch (const rt::VbError&) {
        error = EINVAL;
        return -1;
    }
    const int fd = rt::sys::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return fd;
}

}  // namespace engine_detail
