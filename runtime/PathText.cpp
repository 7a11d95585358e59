#include "runtime/PathText.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

#include <QStringList>

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace rt {

QString currentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            raiseErrno(errno, QStringLiteral("CurDir"));
        buffer.resize(buffer.size() * 2);
    }
    return decodeName(QByteArray(buffer.data()));
}

QString absolutePath(const QString& path)
{
    const bool absolute = !path.isEmpty() && path.front() == kPathSeparator;
    const QString full = absolute ? path : currentFolder() + kPathSeparator + path;
    QStringList parts;
    for (const QString& part : full.split(kPathSeparator, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return kPathSeparatorText + parts.join(kPathSeparator);
}

}  // namespace rt
