#pragma once

#include "engine/Cls_FileRename.h"
#include "runtime/NameCodec.h"

#include <QDateTime>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

// Reaches the job's private counters and procedures for the engine tests.
struct Cls_FileRenameTestAccess {
    using S = const QString&;
    Cls_FileRename& j;
    std::int32_t renameCount() const { return j.m_RenameCount; }
    std::int32_t allFileCount() const { return j.m_AllFileCount; }
    std::int32_t rejectedCount() const { return j.m_RejectedCount; }
    void setRenameCount(std::int32_t value) { j.m_RenameCount = value; }
    void setRejectedCount(std::int32_t value) { j.m_RejectedCount = value; }
    bool checkFirstInit() const { return j.FncBln_CheckFirstInit(); }
    bool isDateMatch(S path) const { return j.FncBln_IsDateMatch(path); }
    bool isExtensionNotListed(S path) const { return j.FncBln_IsExtensionNotListed(path); }
    static QString joinPath(S folder, S name)
    {
        return Cls_FileRename::FncStr_JoinPath(folder, name);
    }
    QString copyDestPath(S path) const { return j.FncStr_GetCopyDestPath(path); }
    void prepareCopyFolder(S folder) const { j.Sub_PrepareCopyFolder(folder); }
    void copy(S from, S to, S shown) { j.Sub_CopyFileIfNewer(from, to, shown); }
};

// Disk helpers over POSIX calls, so that names are exactly the bytes given;
// the test classes derive from this to call them unqualified.
struct EngineTest {
    static QByteArray raw(const QString& path) { return rt::encodeName(path); }
    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
    static void makeFile(const QByteArray& path, const QByteArray& content)
    {
        std::ofstream(path.constData(), std::ios::binary) << content.toStdString();
    }
    static QByteArray readFile(const QByteArray& path)
    {
        std::ifstream in(path.constData(), std::ios::binary);
        return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
    }

    // Creates the entries under root in the order given: "name/" is a folder,
    // "name>target" a symbolic link, anything else a file holding its name.
    static void make(const QString& root, const QStringList& entries)
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

    // Every entry under root as a path relative to it, sorted, folders ending
    // in "/"; links are listed, never followed.
    static QStringList tree(const QString& root, const QString& prefix = QString())
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

    // Removes a scratch tree by its bytes (Qt cannot name every entry).
    static void removeTree(const QString& root)
    {
        ::nftw(
            raw(root).constData(),
            [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }

    static QDateTime local(int year, int month, int day, int hour, int minute, int second)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
    }
    static void setStamp(const QString& path, const QDateTime& stamp)
    {
        const timespec time{static_cast<time_t>(stamp.toSecsSinceEpoch()), 0};
        const timespec times[2] = {time, time};
        ::utimensat(AT_FDCWD, raw(path).constData(), times, AT_SYMLINK_NOFOLLOW);
    }

    // A job over `folder` with the display flag off.
    static void configure(Cls_FileRename& job, const QString& folder, bool head,
                          const QString& part, const QString& replacement)
    {
        job.setProp_PathFrom(folder);
        job.setRenameKubunIsTop(head);
        job.setString_FileName(part);
        job.setString_Rename(replacement);
        job.MsgDisplayFlg_Prop(false);
    }
};
