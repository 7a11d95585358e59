// The two rename commands and the copy of the renamed names.
#include "common/mdl_ErrorFunction.h"
#include "engine/Cls_FileRename.h"
#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"
#include "journal/RenameJournal.h"
#include "runtime/MsgBox.h"
#include "ui/frm_Main.h"
#include "ui/mdl_AllUi.h"

#include <memory>

namespace {
constexpr std::int32_t kKindTop = 1;
constexpr std::int32_t kKindTail = 2;
}  // namespace

void frm_Main::Cmd_Go_Click()
{
    Sub_RenameFromTail();
    cmd_DirRefresh_Click();
}

void frm_Main::Cmd_Go頭_Click()
{
    Sub_RenameFromTop();
    cmd_DirRefresh_Click();
}

void frm_Main::Cmd_Report_Click()
{
    Sub_CopyToClipboard(Cmd_Report->Tag);
}

void frm_Main::Sub_RenameFromTail()
{
    Sub_RenameFrom(kKindTail, Txt_From, Text_To);
}

void frm_Main::Sub_RenameFromTop()
{
    Sub_RenameFrom(kKindTop, Txt_From頭, Text_To頭);
}

void frm_Main::Sub_RenameFrom(std::int32_t kind, forms::TextBox* from, forms::TextBox* to)
{
    try {
        // The file list shows the selected folder-list entry during the press.
        FileList_Box->Refresh();
        FileList_Box->setPath(Dir_Box->List(Dir_Box->ListIndex()));
        if (!FncBln_CheckInput(from, to))
            return;
        const QString partToChange = from->text();
        const QString replacement = to->text();
        Sub_SetMousePointer(forms::kPointerHourglass);
        QString summary;
        const bool done = FncBln_ExecRename(kind, partToChange, replacement, summary);
        Sub_SetMousePointer(forms::kPointerDefault);
        if (!done) {
            FncInt_ShowMessage(48, QStringLiteral("失敗しました。") + QStringLiteral("\r\n"),
                               QStringLiteral("失敗の合図"));
        } else {
            FncInt_ShowMessage(64, summary, QStringLiteral("終了の合図"));
            Cmd_Report->setVisible(true);
        }
    } catch (...) {
        // Ends the press silently; the busy pointer must not stay on.
        forms::setMousePointer(forms::kPointerDefault);
    }
}

bool frm_Main::FncBln_CheckInput(forms::TextBox* from, forms::TextBox* to)
{
    try {
        if (Chk_IsAdd->Value() != 1 && from->text().size() < 1) {
            rt::MsgBox(QStringLiteral("なんか入れてください。ヽ(´ー`)ノ"), rt::kVbOkOnly);
            from->setFocus();
            return false;
        }
        if (Chk_IsDo->Value() != 1 && to->text().size() < 1) {
            rt::MsgBox(QStringLiteral(
                           "消すことはやりません。適当に見繕って辻褄合わせてください( ･ω･)oﾋﾞｼｯ"),
                       rt::kVbOkOnly);
            to->setFocus();
            return false;
        }
        return true;
    } catch (...) {
        Sub_ShowVbError();
        return false;
    }
}

bool frm_Main::FncBln_ExecRename(std::int32_t kind, const QString& partToChange,
                                 const QString& replacement, QString& summary)
{
    std::unique_ptr<Cls_FileRename> job;
    // Every run can be taken back (nemirou --undo): the job journals it, and
    // goes on unjournaled where the journal cannot be written.
    JournalWriter journal(JournalWriter::Front::Window);
    try {
        const QString path = Dir_Box->Path();
        if (!FncBln_CheckFolder(path))
            return false;
        job = std::make_unique<Cls_FileRename>();
        job->setJournal(&journal);
        job->setFilter_IsNewDate(false);
        job->setString_FileName(partToChange);
        job->setString_Rename(replacement);
        job->setProp_PathFrom(path);
        job->MsgDisplayFlg_Prop(false);
        job->setIsNoAnderTheWorld(Chk_IsSubFolder->Value() != 1);
        if (Chk_全置換->Value() == 1)
            job->setIs全置換(true);
        if (kind == kKindTop) {
            job->setRenameKubunIsTop(true);
            if (Chk_IsNarrow->Value() == 1)
                job->setIsNarrow(true);
        } else {
            job->setRenameKubunIsTop(false);
        }
        const bool done =
            Chk_IsDir->Value() == 0 ? job->PFncBln_FileRename() : job->PFncBln_DirectoryRename();
        summary = job->GetStr_Report();
        Cmd_Report->Tag = job->getReport_FileList();
        job.reset();
        return done;
    } catch (...) {
        Sub_ShowVbError();
        job.reset();
        return false;
    }
}

void frm_Main::Sub_CopyToClipboard(const QString& text)
{
    forms::Clipboard::Clear();
    forms::Clipboard::SetText(text);
}
