#pragma once

#include "engine/Cls_FileRename.h"
#include "runtime/NameCodec.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>

// Reaches the job's private fields and procedures for the engine tests.
struct Cls_FileRenameTestAccess {
    explicit Cls_FileRenameTestAccess(Cls_FileRename& job) : j(job) {}
    Cls_FileRename& j;

    std::int32_t renameCount() const { return j.m_RenameCount; }
    std::int32_t allFileCount() const { return j.m_AllFileCount; }
    std::int32_t rejectedCount() const { return j.m_RejectedCount; }
    void setRenameCount(std::int32_t value) { j.m_RenameCount = value; }
    void setRejectedCount(std::int32_t value) { j.m_RejectedCount = value; }
    QString reportList() const { return j.m_ReportList; }
    bool isDirectoryRename() const { return j.m_IsDirectoryRename; }
    bool isHeadMode() const { return j.m_RenameKubunIsTop; }
    bool staysInStartFolder() const { return j.m_IsNoAnderTheWorld; }
    bool isNarrow() const { return j.m_IsNarrow; }
    QStringList extensions() const { return j.m_ExtensionList->Items(); }
    QStringList folders() const { return j.m_FolderList->Items(); }
    bool newerOn() const { return j.m_IsDateNewerThan; }
    bool equalsOn() const { return j.m_IsDateEquals; }
    bool olderOn() const { return j.m_IsDateOlderThan; }
    QString newerText() const { return j.m_DateNewerThan; }
    QString equalsText() const { return j.m_DateEquals; }
    QString olderText() const { return j.m_DateOlderThan; }

    bool checkFirstInit() const { return j.FncBln_CheckFirstInit(); }
    void addReportLine(const QString& text) { j.Sub_AddReportLine(text); }
    bool isDateMatch(const QString& path) const { return j.FncBln_IsDateMatch(path); }
    bool isExtensionNotListed(const QString& path) const
    {
        return j.FncBln_IsExtensionNotListed(path);
    }
    bool isTargetFile(const QString& folder, const QString& name) const
    {
        return j.FncBln_IsTargetFile(folder, name);
    }
    static QString formatDateTime(const QString& text)
    {
        return Cls_FileRename::FncStr_FormatDateTime(text);
    }
    static QString formatStamp(const QDateTime& stamp)
    {
        return Cls_FileRename::FncStr_FormatDateTime(stamp);
    }
    static QString layDigits(const QString& text, const QString& pattern)
    {
        return Cls_FileRename::FncStr_LayDigits(text, pattern);
    }
    static QString joinPath(const QString& folder, const QString& name)
    {
        return Cls_FileRename::FncStr_JoinPath(folder, name);
    }
    static QString lastPathName(const QString& path)
    {
        return Cls_FileRename::FncStr_GetLastPathName(path);
    }
    bool isFolderNotListed(const QString& path) const { return j.FncBln_IsFolderNotListed(path); }
    QStringList enumSubFolders(const QString& folder) const
    {
        return j.FncCol_EnumSubFolders(folder);
    }
    bool renameFile(const QString& folder, const QString& oldName, const QString& newName)
    {
        return j.FncBln_RenameFile(folder, oldName, newName);
    }
    QString copyDestPath(const QString& path) const { return j.FncStr_GetCopyDestPath(path); }
    void prepareCopyFolder(const QString& folder) const { j.Sub_PrepareCopyFolder(folder); }
    bool isCopyNeeded(const QString& source, const QString& destination) const
    {
        return j.FncBln_IsCopyNeeded(source, destination);
    }
    void copyFileIfNewer(const QString& source, const QString& destination, const QString& shown)
    {
        j.Sub_CopyFileIfNewer(source, destination, shown);
    }
};

// Disk helpers over POSIX calls, so names are exactly the bytes given.
namespace enginetest {

QByteArray raw(const QString& path);
QString text(const QByteArray& path);
void makeFile(const QByteArray& path, const QByteArray& content = QByteArray());
void makeFolder(const QByteArray& path);
void makeLink(const QByteArray& target, const QByteArray& link);
QByteArray readFile(const QByteArray& path);
bool exists(const QByteArray& path);
// Bare names in a folder (without "." and ".."), sorted bytewise.
QByteArrayList names(const QByteArray& folder);
// Sets the modification time (local time, whole seconds).
void setStamp(const QByteArray& path, const QDateTime& stamp);
QDateTime local(int year, int month, int day, int hour, int minute, int second);

// A job over `folder` with the display flag off.
void configure(Cls_FileRename& job, const QString& folder, bool head, const QString& part,
               const QString& replacement);

}  // namespace enginetest
