#pragma once

#include "forms/DriveFolders.h"
#include "ui/PictureMessages.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>

class QLabel;

namespace forms {
class CheckBox;
class CommandButton;
class DirListBox;
class DriveListBox;
class FileListBox;
class Frame;
class PictureBox;
class TextBox;
}  // namespace forms

// The main window. The controls are public so that tests drive them as a user
// would; the handlers keep the controls' (partly Japanese) names and are
// connected with pointer-to-member connects, not as moc slots.
class frm_Main : public QWidget {
    Q_OBJECT
public:
    // Builds every control, then runs the Load handling (opens Gstr_StartPath).
    explicit frm_Main(QWidget* parent = nullptr);
    ~frm_Main() override;

    // The folder navigation panel.
    forms::Frame* Fra_Base;
    forms::CommandButton* cmd_DirRefresh;
    forms::CommandButton* Cmd_PathSet;
    forms::TextBox* Txt_FullPath;
    forms::DirListBox* Dir_Box;
    forms::FileListBox* FileList_Box;
    forms::DriveListBox* Drv_Box;
    forms::PictureBox* Image1;

    // The run area.
    forms::Frame* Fra_実行領域;
    forms::CheckBox* Chk_IsDir;
    forms::Frame* Fra_Setting;
    forms::CommandButton* Cmd_Open;
    forms::CheckBox* Chk_IsDo;
    forms::CheckBox* Chk_IsAdd;
    forms::CheckBox* Chk_全置換;
    forms::CheckBox* Chk_IsNarrow;
    forms::CommandButton* Cmd_Cancel;
    forms::CommandButton* Cmd_Report;
    forms::CheckBox* Chk_IsSubFolder;
    forms::Frame* Fra_ケツりねいむ;
    forms::CommandButton* Cmd_Go;
    forms::TextBox* Text_To;
    forms::TextBox* Txt_From;
    forms::Frame* Fra_あたまりねいむ;
    forms::TextBox* Txt_From頭;
    forms::TextBox* Text_To頭;
    forms::CommandButton* Cmd_Go頭;
    std::array<QLabel*, 4> Label1;  // 1, 0 tail frame; 2, 3 head frame
    QLabel* Lbl_Info;

    // The picture's generator; tests give it a fresh one.
    RndGenerator m_Rnd;

    // Event handlers of the window itself.
    void Form_Load();
    void Image1_Click();
    void Cmd_Open_Click();
    void Fra_Setting_DblClick();
    void Chk_IsDir_Click();
    void Cmd_Cancel_Click();

    // The folder navigation panel.
    void Drv_Box_Change();
    void Dir_Box_Change();
    void Dir_Box_MouseDown(int button, int shift, int x, int y);
    void FileList_Box_DblClick();
    void Cmd_PathSet_Click();
    void Txt_FullPath_KeyDown(int keyCode, int shift);
    void cmd_DirRefresh_Click();
    void Dir_Box_OLEDragDrop(const QStringList& files);
    void FileList_Box_OLEDragDrop(const QStringList& files);
    void Txt_FullPath_OLEDragDrop(const QStringList& files);

    // The rename commands.
    void Cmd_Go_Click();
    void Cmd_Go頭_Click();
    void Cmd_Report_Click();

    bool FncBln_CheckFolder(const QString& path);
    bool FncBln_DropFile(const QStringList& files);
    void Sub_SelectFileInList(const QString& name);
    QString FncStr_GetLastFolderName(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Sub_BuildControls();
    void Sub_ConnectEvents();
    void Sub_SetTabOrder();
    bool FncBln_IsSettingOpen() const;
    void Sub_SetSettingTabStops();

    void Sub_RenameFromTail();
    void Sub_RenameFromTop();
    void Sub_RenameFrom(std::int32_t kind, forms::TextBox* from, forms::TextBox* to);
    bool FncBln_CheckInput(forms::TextBox* from, forms::TextBox* to);
    bool FncBln_ExecRename(std::int32_t kind, const QString& from, const QString& to,
                           QString& summary);
    void Sub_CopyToClipboard(const QString& text);
    void Sub_ShowOpenFolder();

    bool m_restoringFolder = false;
    // Each drive's current folder, shared by Drv_Box and Dir_Box.
    forms::DriveFolders m_driveFolders;
};
