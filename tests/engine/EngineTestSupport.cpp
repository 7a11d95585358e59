#include "EngineTestSupport.h"

#include <QTest>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace enginetest {

QByteArray raw(const QString& path)
{
    return rt::encodeName(path);
}

QString text(const QByteArray& path)
{
    return rt::decodeName(path);
}

void makeFile(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        qFatal("cannot create %s", path.constData());
    if (!content.isEmpty() && ::write(fd, content.constData(), content.size()) != content.size())
        qFatal("cannot write %s", path.constData());
    ::close(fd);
}

void makeFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0755) != 0)
        qFatal("cannot create folder %s", path.constData());
}

void makeLink(const QByteArray& target, const QByteArray& link)
{
    if (::symlink(target.constData(), link.constData()) != 0)
        qFatal("cannot create link %s", link.constData());
}

QByteArray readFile(const QByteArray& path)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return QByteArray("<missing>");
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    return content;
}

bool exists(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

QByteArrayList names(const QByteArray& folder)
{
    QByteArrayList result;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return result;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            result.append(name);
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end());
    return result;
}

void setStamp(const QByteArray& path, const QDateTime& stamp)
{
    timespec times[2];
    times[0].tv_sec = static_cast<time_t>(stamp.toSecsSinceEpoch());
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        qFatal("cannot set the time of %s", path.constData());
}

QDateTime local(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

void configure(Cls_FileRename& job, const QString& folder, bool head, const QString& part,
               const QString& replacement)
{
    job.setProp_PathFrom(folder);
    job.setRenameKubunIsTop(head);
    job.setString_FileName(part);
    job.setString_Rename(replacement);
    job.MsgDisplayFlg_Prop(false);
}

}  // namespace enginetest
