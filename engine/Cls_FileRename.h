#pragma once

#include "engine/Cls_RenameDisk.h"
#include "engine/Cls_RenameDiskReal.h"
#include "engine/Cls_RenameJournal.h"
#include "engine/Cls_RenameStep.h"
#include "filesystem/Cls_FileSystem.h"
#include "runtime/KeyedStringList.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// The rename job: every setting of one bulk rename, the run, and the counters
// and trail from which the report is made. The window creates one per press.
class Cls_FileRename {
public:
    Cls_FileRename();
    ~Cls_FileRename();
    Cls_FileRename(const Cls_FileRename&) = delete;
    Cls_FileRename& operator=(const Cls_FileRename&) = delete;

    // Public interface, in its fixed order.
    void setProp_PathFrom(const QString& value);
    void setProp_PathTo(const QString& value);
    void setProp_FileName(const QString& value);
    void MsgDisplayFlg_Prop(bool value);
    bool MsgDisplayFlg_Prop() const;
    void setFilter_IsNewDate(bool value);
    void setFilter_SetDateIsNewerThanFileDate(const QString& date);
    void setFilter_SetDateIsNewerThanFileDateTime(const QString& date, const QString& time);
    void setFilter_SetDateEqualsFileDate(const QString& date);
    void setFilter_SetDateEqualsFileDateTime(const QString& date, const QString& time);
    void setFilter_SetDateIsOlderThanFileDate(const QString& date);
    void setFilter_SetDateIsOlderThanFileDateTime(const QString& date, const QString& time);
    void setIsNoAnderTheWorld(bool value);
    void setIsNoPath(bool value);
    void setString_Rename(const QString& value);
    void setString_FileName(const QString& value);
    void setRenameKubunIsTop(bool value);
    void setIsNarrow(bool value);
    void setIs全置換(bool value);
    void setFilter_AddExtension(const QString& value);
    void setFilter_AddFolder(const QString& value);
    QString getReport_FileList() const;
    bool PFncBln_FirstInit();
    bool PFncBln_FileRename();
    bool PFncBln_DirectoryRename();
    QString GetStr_Report() const;
    QString GetStr_Reportリスト作成() const;  // throws rt::VbError 6 when the total overflows

    // The command-line companion's hooks; the window uses neither. The disk
    // the passes work on (not owned; null is the real disk, the default),
    // and a sink told of every rename step as the run takes it.
    void setDisk(Cls_RenameDisk* disk);
    void setStepSink(Cls_RenameStepSink* sink);
    // A journal (not owned; null: none, the default): the entry points then
    // run the journaled rename. The run is previewed against a model of the
    // disk, its plan recorded before the first rename, and the plan's steps
    // carried out and marked done one by one; counts, trail and step sink
    // tell what was done, as in a run without a journal.
    void setJournal(Cls_RenameJournal* journal) { m_Journal = journal; }
    std::int32_t examinedCount() const { return m_AllFileCount; }
    // False: the report trail is not kept (a step sink tells the steps).
    void setKeepReport(bool keep) { m_KeepReport = keep; }
    // True when a computed name is one valid path component: a step that
    // failed with 52 on such a name was refused by its volume.
    static bool isSingleName(const QString& name)
    {
        QByteArray bytes;
        return FncBln_EncodeBareName(name, bytes);
    }

private:
    // Tests reach the private procedures through this friend.
    friend struct Cls_FileRenameTestAccess;

    // Passes (Cls_FileRename_Passes.cpp). A pass works inside one open
    // folder of the disk: PassFolder holds it, its path and, while a descent
    // follows, the subfolders to enter under the names the renames gave them.
    struct PassFolder;
    bool FncBln_RenameFiles(const QString& path);
    bool FncBln_RenameDirectories(const QString& path);
    bool FncBln_RenamePass(const QString& path, Cls_RenameDisk::Handle parent, const QString& name,
                           bool folders);
    // The run of an entry point, journaled (Cls_FileRename_Journaled.cpp).
    bool FncBln_RenameJournaled(bool folders);
    void Sub_ApplyNewName(PassFolder& folder, const QString& name, const QByteArray& bytes,
                          qsizetype length, bool isFolder);
    // Bare names inside the pass's folder: a new (or old) name that is no
    // single valid path component is refused with error 52 before anything
    // moves.
    // oldBytes, when given, is oldName as the listing had it on disk.
    bool FncBln_RenameFile(PassFolder& folder, const QString& oldName, const QString& newName,
                           const QByteArray* oldBytes);
    bool FncBln_RenameFolder(PassFolder& folder, const QString& oldName, const QString& newName,
                             const QByteArray* oldBytes);
    bool FncBln_RenameEntry(PassFolder& folder, const QString& oldName, const QString& newName,
                            bool isFolder, const QByteArray* oldBytes);
    static bool FncBln_EncodeBareName(const QString& name, QByteArray& bytes);
    bool FncBln_IsTargetFile(const PassFolder& folder, const QString& name,
                             QByteArray& bytes) const;
    void Sub_DisplayError(int number, const QString& source) const;
    bool FncBln_IsFolderNotListed(const QString& path) const;
    static QString FncStr_GetLastPathName(const QString& path);

    // Candidate selection, filters and copy (Cls_FileRename_Filters.cpp,
    // Cls_FileRename_Copy.cpp).
    static void Sub_SetDateFilter(const QString& date, const QString& time, QString& text,
                                  bool& flag);
    static QString FncStr_LayDigits(const QString& text, const QString& pattern);
    static void Sub_AddFilterItem(const QString& text, rt::KeyedStringList& list);
    bool FncBln_IsDateMatch(std::int64_t seconds) const;
    static QString FncStr_FormatDateTime(const QString& text);     // throws rt::VbError 13
    static QString FncStr_FormatDateTime(const QDateTime& stamp);  // throws rt::VbError 13
    bool FncBln_IsExtensionNotListed(const QString& path) const;
    static QString FncStr_JoinPath(const QString& folder, const QString& name);
    friend struct RenameStep;  // its paths are joined the way the passes join them
    QString FncStr_GetCopyDestPath(const QString& path) const;
    void Sub_PrepareCopyFolder(const QString& folder) const;
    bool FncBln_IsCopyNeeded(const QString& source, const QString& destination) const;
    void Sub_CopyFileIfNewer(const QString& source, const QString& destination,
                             const QString& shown);

    // Boxes, initialisation and trail (Cls_FileRename.cpp, Cls_FileRename_Report.cpp).
    void Sub_DisplayMessage(std::int32_t style, const QString& prompt, const QString& title) const;
    void Sub_DisplayVbError() const;  // inside a catch block only
    bool FncBln_CheckFirstInit() const;
    void Sub_ClearReport();
    void Sub_AddReportLine(const QString& text);
    static void Sub_AddCount(std::int32_t& counter);  // throws rt::VbError 6 past INT32_MAX

    std::unique_ptr<Cls_FileSystem> m_FileSystem;
    bool m_IsFirstInit = false;
    bool m_IsDirectoryRename = false;
    QString m_FileName;
    QString m_PathFrom;
    QString m_PathTo;
    QString m_StringRename;
    QString m_StringFileName;
    std::int32_t m_RenameCount = 0;
    std::int32_t m_AllFileCount = 0;
    std::int32_t m_RejectedCount = 0;
    QString m_ReportList;
    std::unique_ptr<rt::KeyedStringList> m_ExtensionList;
    std::unique_ptr<rt::KeyedStringList> m_FolderList;
    bool m_IsNewDate = false;
    bool m_IsNarrow = false;
    bool m_IsDateNewerThan = false;
    bool m_IsDateEquals = false;
    bool m_IsDateOlderThan = false;
    QString m_DateNewerThan;
    QString m_DateEquals;
    QString m_DateOlderThan;
    bool m_IsNoAnderTheWorld = true;
    bool m_RenameKubunIsTop = true;
    bool m_IsNoPath = false;
    bool m_Is全置換 = false;
    bool m_MsgDisplayFlg = false;
    Cls_RenameDiskReal m_RealDisk;
    Cls_RenameDisk* m_Disk = &m_RealDisk;
    Cls_RenameStepSink* m_StepSink = nullptr;
    Cls_RenameJournal* m_Journal = nullptr;
    bool m_KeepReport = true;
};
