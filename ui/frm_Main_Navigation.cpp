// The folder navigation panel: drive, folder and file lists, the path box,
// drops and the names they put into the part-to-change boxes.
//
// Opening a folder can fail (drive not ready, no permission); the lists then
// keep what they showed, the window says what happened and stays usable.
#include "common/mdl_All.h"
#include "common/mdl_ErrorFunction.h"
#include "filesystem/mdl_FileSystem.h"
#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"
#include "ui/frm_Main.h"

bool frm_Main::FncBln_CheckFolder(const QString& path)
{
    try {
        QString prompt;
        if (path.isEmpty()) {
            prompt = QStringLiteral("指定なしはいけません。") + QStringLiteral("\r\n") +
                     QStringLiteral("何かしら指定してください。");
        } else if (FncBln_FolderExists(path)) {
            return true;
        } else {
            prompt = QStringLiteral("指定されたディレクトリは存在しません。") +
                     QStringLiteral("\r\n") + QStringLiteral("選択しなおしてください。");
        }
        FncInt_ShowMessage(48, prompt, QStringLiteral("エラー"));
        return false;
    } catch (...) {
        Sub_ShowVbError();
        return false;
    }
}

void frm_Main::Sub_ShowOpenFolder()
{
    Txt_FullPath->setText(Dir_Box->Path());
}

void frm_Main::Drv_Box_Change()
{
    try {
        Dir_Box->setPath(Drv_Box->Drive());
    } catch (...) {
        Sub_ShowVbError();
        Drv_Box->setDrive(Dir_Box->Path());  // back to the drive still open
    }
    Sub_ShowOpenFolder();
}

void frm_Main::Dir_Box_Change()
{
    try {
        FileList_Box->setPath(Dir_Box->Path());
    } catch (...) {
        Sub_ShowVbError();
        // The file list still shows the folder before: go back to it, so the
        // rename works on the folder the user sees.
        const QString previous = FileList_Box->Path();
        if (!m_restoringFolder && !previous.isEmpty() && previous != Dir_Box->Path()) {
            m_restoringFolder = true;
            try {
                Dir_Box->setPath(previous);
            } catch (...) {
                Sub_ShowVbError();
            }
            m_restoringFolder = false;
        }
    }
    Drv_Box->setDrive(Dir_Box->Path());
    Sub_ShowOpenFolder();
}

void frm_Main::Dir_Box_MouseDown(int button, int, int, int)
{
    if (button != 2)
        return;
    try {
        const QString name = FncStr_GetLastFolderName(Dir_Box->List(Dir_Box->ListIndex()));
        Txt_From頭->setText(name);
        Txt_From->setText(name);
    } catch (...) {
        Sub_ShowVbError();
    }
}

QString frm_Main::FncStr_GetLastFolderName(const QString& path)
{
    std::int32_t start = 1;
    QString token;
    for (;;) {
        const std::int32_t next = FncLng_GetToken(path, rt::kPathSeparatorText, start, token);
        if (next < 2)
            break;
        start = next;
    }
    return token;
}

void frm_Main::FileList_Box_DblClick()
{
    // A name without a "." or no selection leaves both boxes as they are.
    try {
        const int index = FileList_Box->ListIndex();
        if (index < 0)
            return;
        const QString name = FileList_Box->List(index);
        const qsizetype p = name.indexOf(u'.') + 1;
        if (p == 0)
            return;
        Txt_From頭->setText(name.left(p));
        Txt_From->setText(name.mid(p - 1));
    } catch (...) {
    }
}

void frm_Main::Cmd_PathSet_Click()
{
    if (!FncBln_CheckFolder(Txt_FullPath->text()))
        return;
    try {
        Dir_Box->setPath(Txt_FullPath->text());
    } catch (...) {
        Sub_ShowVbError();
    }
}

void frm_Main::Txt_FullPath_KeyDown(int, int)
{
    Cmd_PathSet_Click();
}

void frm_Main::cmd_DirRefresh_Click()
{
    try {
        Dir_Box->Refresh();
        FileList_Box->Refresh();
    } catch (...) {
        Sub_ShowVbError();
    }
}

void frm_Main::Dir_Box_OLEDragDrop(const QStringList& files)
{
    FncBln_DropFile(files);
}

void frm_Main::FileList_Box_OLEDragDrop(const QStringList& files)
{
    FncBln_DropFile(files);
}

void frm_Main::Txt_FullPath_OLEDragDrop(const QStringList& files)
{
    FncBln_DropFile(files);
}

bool frm_Main::FncBln_DropFile(const QStringList& files)
{
    try {
        if (files.isEmpty())
            rt::raiseError(rt::kInvalidCall, QStringLiteral("FncBln_DropFile"));
        const QString path = files.first();
        const qsizetype a = path.lastIndexOf(rt::kPathSeparator) + 1;
        if (a == 0)
            rt::raiseError(rt::kPathNotFound, QStringLiteral("FncBln_DropFile"));
        // The folder without its trailing separator, except for the root.
        Dir_Box->setPath(path.left(a > 1 ? a - 1 : a));
        forms::DoEvents();
        Sub_SelectFileInList(path.mid(a));
        FileList_Box_DblClick();
        return true;
    } catch (...) {
        Sub_ShowVbError();
        return false;
    }
}

void frm_Main::Sub_SelectFileInList(const QString& name)
{
    try {
        const int count = FileList_Box->ListCount();
        for (int i = 0; i < count; ++i) {
            if (FileList_Box->List(i) == name) {
                FileList_Box->setListIndex(i);
                return;
            }
        }
    } catch (...) {
        Sub_ShowVbError();
    }
}
