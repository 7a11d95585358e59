#include "ui/frm_Main.h"

#include "common/mdl_ErrorFunction.h"
#include "forms/App.h"
#include "forms/Controls.h"
#include "forms/ListBoxes.h"
#include "forms/Twips.h"
#include "ui/mdl_AllUi.h"

#include <QEvent>
#include <QLabel>

frm_Main::frm_Main(QWidget* parent) : QWidget(parent)
{
    Sub_BuildControls();
    Sub_ConnectEvents();
    Sub_SetTabOrder();
    Sub_SetSettingTabStops();
    Fra_Setting->installEventFilter(this);  // its height says open or closed
    Form_Load();
}

frm_Main::~frm_Main() = default;

void frm_Main::Sub_ConnectEvents()
{
    for (forms::TextBox* box : {Txt_FullPath, Txt_From, Text_To, Txt_From頭, Text_To頭})
        connect(box, &forms::TextBox::GotFocus, this, [box] { Sub_SelectAllText(box); });

    connect(Image1, &forms::PictureBox::Click, this, [this] { Image1_Click(); });
    connect(Cmd_Open, &QPushButton::clicked, this, [this] { Cmd_Open_Click(); });
    connect(Fra_Setting, &forms::Frame::DblClick, this, [this] { Fra_Setting_DblClick(); });
    connect(Chk_IsDir, &QCheckBox::clicked, this, [this] { Chk_IsDir_Click(); });
    connect(Cmd_Cancel, &QPushButton::clicked, this, [this] { Cmd_Cancel_Click(); });

    connect(Drv_Box, &forms::DriveListBox::Change, this, [this] { Drv_Box_Change(); });
    connect(Dir_Box, &forms::DirListBox::Change, this, [this] { Dir_Box_Change(); });
    connect(
        Dir_Box, &forms::DirListBox::MouseDown, this,
        [this](int button, int shift, int x, int y) { Dir_Box_MouseDown(button, shift, x, y); });
    connect(FileList_Box, &forms::FileListBox::DblClick, this, [this] { FileList_Box_DblClick(); });
    connect(Cmd_PathSet, &QPushButton::clicked, this, [this] { Cmd_PathSet_Click(); });
    connect(Txt_FullPath, &forms::TextBox::KeyDown, this,
            [this](int keyCode, int shift) { Txt_FullPath_KeyDown(keyCode, shift); });
    connect(cmd_DirRefresh, &QPushButton::clicked, this, [this] { cmd_DirRefresh_Click(); });
    connect(Dir_Box, &forms::DirListBox::OLEDragDrop, this,
            [this](const QStringList& files) { Dir_Box_OLEDragDrop(files); });
    connect(FileList_Box, &forms::FileListBox::OLEDragDrop, this,
            [this](const QStringList& files) { FileList_Box_OLEDragDrop(files); });
    connect(Txt_FullPath, &forms::TextBox::OLEDragDrop, this,
            [this](const QStringList& files) { Txt_FullPath_OLEDragDrop(files); });

    connect(Cmd_Go, &QPushButton::clicked, this, [this] { Cmd_Go_Click(); });
    connect(Cmd_Go頭, &QPushButton::clicked, this, [this] { Cmd_Go頭_Click(); });
    connect(Cmd_Report, &QPushButton::clicked, this, [this] { Cmd_Report_Click(); });
}

void frm_Main::Form_Load()
{
    bool opened = true;
    try {
        Dir_Box->setPath(Gstr_StartPath);  // its Change handling follows
    } catch (...) {
        Sub_ShowVbError();
        opened = false;
    }
    // The folder list starts in the current folder and raises no Change when
    // that is the start folder too; the file list must still follow it.
    if (FileList_Box->Path().isEmpty())
        Dir_Box_Change();
    // A start folder that cannot be opened is not shown as if it were open.
    Txt_FullPath->setText(opened ? Gstr_StartPath : Dir_Box->Path());
    setWindowTitle(windowTitle() + QStringLiteral(" ver") + QString::number(forms::App::Major()) +
                   u'.' + QString::number(forms::App::Minor()) + u'.' +
                   QString::number(forms::App::Revision()));
}

void frm_Main::Image1_Click()
{
    const int index = FncInt_PictureMessageIndex(m_Rnd.Rnd());
    FncInt_ShowMessage(64, FncStr_PictureMessage(index), QString());
}

bool frm_Main::FncBln_IsSettingOpen() const
{
    // The frame is open or closed by its height alone: below 300 twips it is
    // closed (only the caption line shows).
    return forms::twipsFromPixels(Fra_Setting->height()) >= 300;
}

void frm_Main::Sub_SetSettingTabStops()
{
    // A closed frame clips its check boxes away: Tab must not reach (and
    // Space toggle) what cannot be seen. Their place in the chain stays.
    const bool open = FncBln_IsSettingOpen();
    for (forms::CheckBox* box : {Chk_IsNarrow, Chk_全置換, Chk_IsAdd, Chk_IsDo}) {
        box->setFocusPolicy(open ? Qt::StrongFocus : Qt::NoFocus);
        if (!open && box->hasFocus())
            Cmd_Open->setFocus(Qt::OtherFocusReason);  // the frame's visible control
    }
}

bool frm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Fra_Setting && event->type() == QEvent::Resize)
        Sub_SetSettingTabStops();
    return QWidget::eventFilter(watched, event);
}

void frm_Main::Cmd_Open_Click()
{
    const int newTwips = FncBln_IsSettingOpen() ? 270 : 1650;
    QRect geometry = Fra_Setting->geometry();
    geometry.setHeight(forms::pixelsFromTwips(newTwips));
    Fra_Setting->setGeometry(geometry);
}

void frm_Main::Fra_Setting_DblClick()
{
    Cmd_Open_Click();
}

void frm_Main::Chk_IsDir_Click()
{
    Lbl_Info->setVisible(true);
}

void frm_Main::Cmd_Cancel_Click()
{
    close();
}
