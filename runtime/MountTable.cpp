#include "runtime/MountTable.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <cstdio>
#include <sys/sysmacros.h>

namespace rt {
namespace {

// mountinfo escapes blank, tab, newline and backslash as \ooo octal.
QByteArray unescapeOctal(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], d = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && d >= '0' && d <= '7') {
                out.append(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (d - '0')));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool parseLine(const QByteArray& line, MountPoint& mount)
{
    const QList<QByteArray> fields = line.split(' ');
    // id, parent, major:minor, root, mount point, options, optional fields...,
    // "-", fs type, source, super options.
    if (fields.size() < 7)
        return false;
    qsizetype separator = -1;
    for (qsizetype i = 6; i < fields.size(); ++i) {
        if (fields[i] == "-") {
            separator = i;
            break;
        }
    }
    if (separator < 0 || separator + 1 >= fields.size())
        return false;
    mount.path = decodeName(unescapeOctal(fields[4]));
    mount.fsType = decodeName(unescapeOctal(fields[separator + 1]));
    if (separator + 2 < fields.size())
        mount.source = decodeName(unescapeOctal(fields[separator + 2]));
    const QList<QByteArray> numbers = fields[2].split(':');
    if (numbers.size() == 2)
        mount.device = makedev(numbers[0].toUInt(), numbers[1].toUInt());
    return !mount.path.isEmpty();
}

}  // namespace

QList<MountPoint> parseMountInfo(const QByteArray& text)
{
    QList<MountPoint> mounts;
    for (const QByteArray& line : text.split('\n')) {
        MountPoint mount;
        if (parseLine(line, mount))
            mounts.append(mount);
    }
    return mounts;
}

QList<MountPoint> mountPoints()
{
    QByteArray text;
    // /proc files report size 0, so read until the end rather than by size.
    if (std::FILE* file = std::fopen("/proc/self/mountinfo", "re")) {
        char buffer[8192];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, static_cast<qsizetype>(got));
        std::fclose(file);
    }
    QList<MountPoint> mounts = parseMountInfo(text);
    if (mounts.isEmpty())
        mounts.append(MountPoint{kPathSeparatorText, QString()});
    return mounts;
}

QString mountPointOf(const QString& absolutePath)
{
    return mountPointOf(absolutePath, mountPoints());
}

QString mountPointOf(const QString& absolutePath, const QList<MountPoint>& mounts)
{
    if (!absolutePath.startsWith(kPathSeparator))
        return QString();
    QString best;
    for (const MountPoint& mount : mounts) {
        const QString& point = mount.path;
        if (point.size() <= best.size())
            continue;
        const bool holds =
            point == kPathSeparatorText || absolutePath == point ||
            (absolutePath.startsWith(point) && absolutePath.at(point.size()) == kPathSeparator);
        if (holds)
            best = point;
    }
    return best.isEmpty() ? kPathSeparatorText : best;
}

}  // namespace rt
