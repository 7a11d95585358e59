#include "engine/Cls_FileRename.h"

#include "common/mdl_ErrorFunction.h"
#include "runtime/MsgBox.h"
#include "runtime/VbError.h"

Cls_FileRename::Cls_FileRename()
{
    m_FileSystem = std::make_unique<Cls_FileSystem>();
    m_ExtensionList = std::make_unique<rt::KeyedStringList>();
    m_FolderList = std::make_unique<rt::KeyedStringList>();
    Sub_ClearReport();
}

Cls_FileRename::~Cls_FileRename()
{
    // Released in this order: the service first, then the two lists.
    m_FileSystem.reset();
    m_ExtensionList.reset();
    m_FolderList.reset();
}

void Cls_FileRename::setProp_PathFrom(const QString& value)
{
    m_PathFrom = value;
}

void Cls_FileRename::setProp_PathTo(const QString& value)
{
    m_PathTo = value;
}

void Cls_FileRename::setProp_FileName(const QString& value)
{
    m_FileName = value;
}

void Cls_FileRename::MsgDisplayFlg_Prop(bool value)
{
    m_MsgDisplayFlg = value;
}

bool Cls_FileRename::MsgDisplayFlg_Prop() const
{
    return m_MsgDisplayFlg;
}

void Cls_FileRename::setFilter_IsNewDate(bool value)
{
    m_IsNewDate = value;
}

void Cls_FileRename::setIsNoAnderTheWorld(bool value)
{
    m_IsNoAnderTheWorld = value;
}

void Cls_FileRename::setIsNoPath(bool value)
{
    m_IsNoPath = value;
}

void Cls_FileRename::setString_Rename(const QString& value)
{
    m_StringRename = value;
}

void Cls_FileRename::setString_FileName(const QString& value)
{
    m_StringFileName = value;
}

void Cls_FileRename::setRenameKubunIsTop(bool value)
{
    m_RenameKubunIsTop = value;
}

void Cls_FileRename::setIsNarrow(bool value)
{
    m_IsNarrow = value;
}

void Cls_FileRename::setIs全置換(bool value)
{
    m_Is全置換 = value;
}

bool Cls_FileRename::PFncBln_FirstInit()
{
    try {
        m_IsFirstInit = true;
        return true;
    } catch (...) {
        Sub_DisplayVbError();
        return false;
    }
}

bool Cls_FileRename::PFncBln_FileRename()
{
    try {
        // An empty start folder would make every joined path a bare name, and
        // one of blanks only a relative one, both resolved against the
        // process's current folder: refuse them.
        if (m_PathFrom.trimmed().isEmpty())
            rt::raiseError(rt::kPathNotFound, QStringLiteral("Cls_FileRename.PFncBln_FileRename"));
        if (!(m_Journal ? FncBln_RenameJournaled(false) : FncBln_RenameFiles(m_PathFrom)))
            return false;
        m_IsDirectoryRename = false;
        return true;
    } catch (...) {
        Sub_DisplayVbError();
        return false;
    }
}

bool Cls_FileRename::PFncBln_DirectoryRename()
{
    try {
        if (m_PathFrom.trimmed().isEmpty())
            rt::raiseError(rt::kPathNotFound,
                           QStringLiteral("Cls_FileRename.PFncBln_DirectoryRename"));
        if (!(m_Journal ? FncBln_RenameJournaled(true) : FncBln_RenameDirectories(m_PathFrom)))
            return false;
        m_IsDirectoryRename = true;
        return true;
    } catch (...) {
        Sub_DisplayVbError();
        return false;
    }
}

void Cls_FileRename::Sub_DisplayMessage(std::int32_t style, const QString& prompt,
                                        const QString& title) const
{
    if (MsgDisplayFlg_Prop())
        FncInt_ShowMessage(style, prompt, title);
}

void Cls_FileRename::Sub_DisplayVbError() const
{
    if (MsgDisplayFlg_Prop())
        Sub_ShowVbError();
}

bool Cls_FileRename::FncBln_CheckFirstInit() const
{
    if (m_IsFirstInit)
        return true;
    const QString prompt =
        QStringLiteral("初期設定が行われておりません。") + QStringLiteral("\r\n") +
        QStringLiteral("以下のメソッドをまず実行してください") + QStringLiteral("\r\n") +
        QStringLiteral("*----------------------------------------*") + QStringLiteral("\r\n") +
        QStringLiteral("Name : [ PFncBln_FirstInit ]");
    Sub_DisplayMessage(rt::kVbCritical, prompt, QStringLiteral("設定ミス"));
    return false;
}
