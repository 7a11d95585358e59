#include "forms/PathText.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <climits>
#include <unistd.h>

namespace forms::pathtext {

QString currentFolder()
{
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer))
        return rt::decodeName(QByteArray(buffer));
    return rt::kPathSeparatorText;
}

QString normalized(const QString& path)
{
    if (path.isEmpty())
        return path;
    const QString absolute =
        path.startsWith(rt::kPathSeparator) ? path : join(currentFolder(), path);
    QStringList parts;
    for (const QString& part : absolute.split(rt::kPathSeparator, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return rt::kPathSeparatorText + parts.join(rt::kPathSeparator);
}

QStringList chain(const QString& absolutePath)
{
    QStringList paths{rt::kPathSeparatorText};
    QString current;
    for (const QString& part : absolutePath.split(rt::kPathSeparator, Qt::SkipEmptyParts)) {
        current += rt::kPathSeparator;
        current += part;
        paths.append(current);
    }
    return paths;
}

QString join(const QString& folder, const QString& name)
{
    if (folder.endsWith(rt::kPathSeparator))
        return folder + name;
    return folder + rt::kPathSeparator + name;
}

QString lastName(const QString& absolutePath)
{
    if (absolutePath == rt::kPathSeparatorText)
        return absolutePath;
    return absolutePath.mid(absolutePath.lastIndexOf(rt::kPathSeparator) + 1);
}

}  // namespace forms::pathtext
