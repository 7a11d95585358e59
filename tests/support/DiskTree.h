#pragma once

#include "runtime/NameCodec.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

// Scratch trees made and read over POSIX calls, so that names are exactly
// the bytes given and the code under test is not checked with itself; the
// test classes derive from this to call them unqualified.
struct DiskTree {
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
    // "name>target" a symbolic link, "name=other" a hard link to root/other,
    // "name|" a fifo, anything else a file holding its name.
    static void make(const QString& root, const QStringList& entries)
    {
        for (const QString& entry : entries) {
            const QString name = entry.section(u'>', 0, 0).section(u'=', 0, 0);
            const QByteArray path = raw(root + u'/' + name);
            if (entry.contains(u'>'))
                ::symlink(raw(entry.section(u'>', 1)).constData(), path.constData());
            else if (entry.contains(u'='))
                ::link(raw(root + u'/' + entry.section(u'=', 1)).constData(), path.constData());
            else if (entry.endsWith(u'/'))
                ::mkdir(path.constData(), 0755);
            else if (entry.endsWith(u'|'))
                ::mkfifo(path.chopped(1).constData(), 0644);
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

    // What each entry under root holds, keyed as tree() names it: its mode and
    // a link's target, or a file's time and, after a newline, its content.
    static QMap<QString, QByteArray> holdings(const QString& root)
    {
        QMap<QString, QByteArray> result;
        for (const QString& name : tree(root)) {
            const QByteArray path = raw(root + u'/' + name);
            struct stat info {};
            char target[4096] = {};
            ::lstat(path.constData(), &info);
            ::readlink(path.constData(), target, sizeof target - 1);  // fails but for a link
            QByteArray& held = result[name] = QByteArray::number(info.st_mode, 8) + ' ' + target;
            if (S_ISREG(info.st_mode))
                held += ' ' + QByteArray::number(qint64(info.st_mtime)) + '\n' + readFile(path);
        }
        return result;
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
};
