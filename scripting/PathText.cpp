#include "scripting/PathText.h"

#include "runtime/PathSeparator.h"
#include "runtime/PathText.h"

namespace scripting::detail {

namespace {

bool isSeparator(QChar c)
{
    return c == rt::kPathSeparator;
}

}  // namespace

bool endsWithSeparator(const QString& path)
{
    return !path.isEmpty() && isSeparator(path.back());
}

QString withoutTrailingSeparators(const QString& path)
{
    qsizetype end = path.size();
    while (end > 0 && isSeparator(path[end - 1]))
        --end;
    if (end == 0 && !path.isEmpty())
        return rt::kPathSeparatorText;
    return path.left(end);
}

QString lastName(const QString& path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    if (trimmed == rt::kPathSeparatorText)
        return QString();
    return trimmed.mid(trimmed.lastIndexOf(rt::kPathSeparator) + 1);
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (endsWithSeparator(folder))
        return folder + name;
    return folder + rt::kPathSeparator + name;
}

QString parentFolderName(const QString& path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    const qsizetype cut = trimmed.lastIndexOf(rt::kPathSeparator);
    if (trimmed == rt::kPathSeparatorText || cut < 0)
        return QString();
    return withoutTrailingSeparators(trimmed.left(cut + 1));
}

QString absolutePath(const QString& path)
{
    return rt::absolutePath(path);
}

QString containingFolder(const QString& absolute)
{
    const QString parent = parentFolderName(absolute);
    return parent.isEmpty() ? rt::kPathSeparatorText : parent;
}

QString destinationPath(const QString& destination, const QString& absoluteSource)
{
    if (endsWithSeparator(destination))
        return absolutePath(destination + lastName(absoluteSource));
    return absolutePath(destination);
}

}  // namespace scripting::detail
