#pragma once

#include "engine/Cls_FileRename.h"
#include "runtime/NameCodec.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

// Reaches the job's private counters and procedures for the engine tests.
struct Cls_FileRenameTestAccess {
    Cls_FileRename& j;
    std::int32_t renameCount() const { return j.m_RenameCount; }
    std::int32_t allFileCount() const { return j.m_AllFileCount; }
    std::int32_t rejectedCount() const { return j.m_RejectedCount; }
    void setCounts(std::int32_t renamed, std::int32_t rejected)
    {
        j.m_RenameCount = renamed;
        j.m_RejectedCount = rejected;
    }
    bool checkFirstInit() const { return j.FncBln_CheckFirstInit(); }
    bool isDateMatch(const QString& path) const { return j.FncBln_IsDateMatch(path); }
    bool isExtensionNotListed(const QString& p) const { return j.FncBln_IsExtensionNotListed(p); }
    QString copyDestPath(const QString& path) const { return j.FncStr_GetCopyDestPath(path); }
    void prepareCopyFolder(const QString& folder) const { j.Sub_PrepareCopyFolder(folder); }
    void copyFileIfNewer(const QString& from, const QString& to, const QString& shown)
    {
        j.Sub_CopyFileIfNewer(from, to, shown);
    }
    static QString joinPath(const QString& folder, const QString& name)
    {
        return Cls_FileRename::FncStr_JoinPath(folder, name);
    }
};

// Disk helpers over POSIX calls, so that names are exactly the bytes given.
namespace enginetest {

inline QByteArray raw(const QString& path)
{
    return rt::encodeName(path);
}

inline void makeFile(const QByteArray& path, const QByteArray& content)
{
    std::ofstream(path.constData(), std::ios::binary) << content.toStdString();
}

inline QByteArray readFile(const QByteArray& path)
{
    std::ifstream in(path.constData(), std::ios::binary);
    return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
}

// Creates the entries under root in the order given: "name/" is a folder,
// "name>target" a symbolic link, anything else a file holding its own name.
inline void make(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QByteArray path = raw(root + u'/' + entry.section(u'>', 0, 0));
        if (entry.contains(u'>'))
            ::symlink(raw(entry.section(u'>', 1)).constData(), path.constData());
        else if (entry.endsWith(u'/'))
            ::mkdir(path.constData(), 0755);
        else
            makeFile(path, raw(entry));
    }
}

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// Every entry under root as a path relative to it, sorted, folders ending
// in "/"; links are listed, never followed.
inline QStringList tree(const QString& root, const QString& prefix = QString())
{
    QStringList result;
    DIR* dir = ::opendir(raw(root + u'/' + prefix).constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const QString name = prefix + rt::decodeName(entry->d_name);
        struct stat info {};
        if (name == prefix + "." || name == prefix + ".." ||
            ::lstat(raw(root + u'/' + name).constData(), &info) != 0)
            continue;
        result += S_ISDIR(info.st_mode) ? QStringList{name + u'/'} + tree(root, name + u'/')
                                        : QStringList{name};
    }
    if (dir)
        ::closedir(dir);
    return sorted(result);
}

inline QDateTime local(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

inline void setStamp(const QString& path, const QDateTime& stamp)
{
    const timespec time{static_cast<time_t>(stamp.toSecsSinceEpoch()), 0};
    const timespec times[2] = {time, time};
    ::utimensat(AT_FDCWD, raw(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

// A job over `folder` with the display flag off.
inline void configure(Cls_FileRename& job, const QString& folder, bool head, const QString& part,
                      const QString& replacement)
{
    job.setProp_PathFrom(folder);
    job.setRenameKubunIsTop(head);
    job.setString_FileName(part);
    job.setString_Rename(replacement);
    job.MsgDisplayFlg_Prop(false);
}

}  // namespace enginetest
