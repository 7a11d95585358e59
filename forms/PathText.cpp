#include "forms/PathText.h"

#include "runtime/PathSeparator.h"
#include "runtime/PathText.h"
#include "runtime/VbError.h"

namespace forms::pathtext {

QString currentFolder()
{
    try {
        return rt::currentFolder();
    } catch (const rt::VbError&) {
        return rt::kPathSeparatorText;
    }
}

QString normalized(const QString& path)
{
    return path.isEmpty() ? path : rt::absolutePath(path);
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
