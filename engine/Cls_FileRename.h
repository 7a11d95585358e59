#pragma once

#include "filesystem/Cls_FileSystem.h"
#include "runtime/KeyedStringList.h"

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

private:
    // Private members are the implementer's (engine/); tests reach the private
    // procedures through this friend.
    friend struct Cls_FileRenameTestAccess;
};
