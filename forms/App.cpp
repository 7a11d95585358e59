#include "forms/App.h"

#include "forms/InstanceLock.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <QCoreApplication>

#include <climits>
#include <memory>
#include <optional>
#include <unistd.h>

namespace forms::App {

bool PrevInstance()
{
    // The lock is taken once and held until the process ends.
    static std::unique_ptr<InstanceLock> lock;
    static std::optional<bool> answer;
    if (!answer) {
        lock = std::make_unique<InstanceLock>(instanceLockFileName());
        answer = lock->heldByAnother();
    }
    return *answer;
}

QString Path()
{
    // The executable's own bytes, so that a folder whose name is not UTF-8
    // survives; applicationDirPath() only as a fallback.
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        const QByteArray bytes(buffer, length);
        const qsizetype slash = bytes.lastIndexOf(static_cast<char>(rt::kPathSeparator));
        if (slash == 0)
            return rt::kPathSeparatorText;
        if (slash > 0)
            return rt::decodeName(bytes.left(slash));
    }
    return QCoreApplication::applicationDirPath();
}

int Major()
{
    return PROJECT_VERSION_MAJOR;
}
int Minor()
{
    return PROJECT_VERSION_MINOR;
}
int Revision()
{
    return PROJECT_VERSION_PATCH;
}

QString Title()
{
    return QStringLiteral("Nemirou");
}

}  // namespace forms::App
