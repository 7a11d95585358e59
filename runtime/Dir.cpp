#include "runtime/Dir.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace rt {
namespace {

const QString kSource = QStringLiteral("Dir");

enum class Kind { File, Folder, Other };

// The one listing of the process.
struct Listing {
    bool started = false;  // a listing was begun at some time
    DIR* dir = nullptr;    // open while the listing is in progress
    QString pattern;
    bool matchAll = false;
    int attributes = kDirNormal;

    void close()
    {
        if (dir)
            ::closedir(dir);
        dir = nullptr;
    }
};

Listing& listing()
{
    static Listing state;
    return state;
}

bool hasWildcard(const QString& text)
{
    return text.contains(u'*') || text.contains(u'?');
}

// `*` matches any run of code units, `?` exactly one; case-sensitive.
bool matches(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

Kind kindOfStat(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

// A link counts as a file when it leads to a regular file; a link to a
// folder, a dangling link and everything else are never listed.
Kind kindOfLink(int folderFd, const char* name)
{
    struct stat target {};
    if (rt::sys::fstatat(folderFd, name, &target, 0) != 0)
        return Kind::Other;
    return S_ISREG(target.st_mode) ? Kind::File : Kind::Other;
}

Kind kindOfEntry(int folderFd, const char* name)
{
    struct stat info {};
    if (rt::sys::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Other;
    if (S_ISLNK(info.st_mode))
        return kindOfLink(folderFd, name);
    return kindOfStat(info);
}

bool admitted(Kind kind, int attributes)
{
    return kind == Kind::File || (kind == Kind::Folder && (attributes & kDirDirectory) != 0);
}

QString nextMatch(Listing& state)
{
    const int folderFd = ::dirfd(state.dir);
    for (;;) {
        errno = 0;
        const dirent* entry = rt::sys::readdir(state.dir);
        if (!entry) {
            const int error = errno;
            state.close();
            if (error != 0)
                raiseErrno(error, kSource);
            return QString();
        }
        const char* rawName = entry->d_name;
        if (rawName[0] == '.')  // hidden, and "." and ".." themselves
            continue;
        QString name = decodeName(rawName, std::strlen(rawName));
        if (!state.matchAll && !matches(name, state.pattern))
            continue;
        Kind kind = Kind::Other;
        switch (entry->d_type) {
        case DT_REG: kind = Kind::File; break;
        case DT_DIR: kind = Kind::Folder; break;
        case DT_LNK: kind = kindOfLink(folderFd, rawName); break;
        case DT_UNKNOWN: kind = kindOfEntry(folderFd, rawName); break;
        default: break;
        }
        if (admitted(kind, state.attributes))
            return name;
    }
}

// A pattern without wildcards names one entry: look at it alone, so that an
// existence test never reads a whole folder.
QString singleEntry(const QByteArray& folder, const QByteArray& name, const QString& text,
                    int attributes)
{
    if (name.startsWith('.'))  // hidden, and "." and ".." themselves
        return QString();
    QByteArray path = folder;
    if (!path.endsWith(static_cast<char>(kPathSeparator)))
        path.append(static_cast<char>(kPathSeparator));
    path.append(name);
    struct stat info {};
    if (rt::sys::lstat(path.constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG)
            return QString();
        raiseErrno(error, kSource);
    }
    Kind kind = kindOfStat(info);
    if (S_ISLNK(info.st_mode))
        kind = kindOfLink(AT_FDCWD, path.constData());
    return admitted(kind, attributes) ? text : QString();
}

QByteArray encodeOrRaise(const QString& text)
{
    try {
        return encodeName(text);
    } catch (const VbError&) {
        raiseError(kBadFileName, kSource);
    }
}

}  // namespace

QString Dir(const QString& pattern, int attributes)
{
    Listing& state = listing();
    state.close();
    state.started = true;

    const qsizetype slash = pattern.lastIndexOf(kPathSeparator);
    QString folderText = slash < 0    ? QStringLiteral(".")
                         : slash == 0 ? kPathSeparatorText
                                      : pattern.left(slash);
    QString nameText = slash < 0 ? pattern : pattern.mid(slash + 1);
    if (nameText.isEmpty())
        nameText = QStringLiteral("*");
    const QByteArray folder = encodeOrRaise(folderText);

    if (!hasWildcard(nameText))
        return singleEntry(folder, encodeOrRaise(nameText), nameText, attributes);

    DIR* dir = rt::sys::opendir(folder.constData());
    if (!dir) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return QString();
        raiseErrno(error, kSource);
    }
    state.dir = dir;
    state.pattern = nameText;
    state.matchAll = nameText == QStringLiteral("*");
    state.attributes = attributes;
    return nextMatch(state);
}

QString Dir()
{
    Listing& state = listing();
    if (!state.started)
        raiseError(kInvalidCall, kSource);
    if (!state.dir)
        return QString();
    return nextMatch(state);
}

}  // namespace rt
