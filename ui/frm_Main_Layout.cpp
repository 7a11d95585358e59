// The controls of the main window: place, caption, tooltip, font, colours,
// initial state and tab order. Positions are twips relative to the container.
#include "forms/Controls.h"
#include "forms/ListBoxes.h"
#include "forms/Twips.h"
#include "ui/AppIcon.h"
#include "ui/WrapCheckBox.h"
#include "ui/frm_Main.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPalette>

#include <vector>

namespace {

const QColor kPaleBlue(192, 192, 255);
const QColor kNavy(0, 0, 128);
const QColor kPaleYellow(255, 255, 192);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

// The fonts by family, in order: the Windows originals, then the Japanese
// fonts the package may bring (IPA first: its metrics are those of MS Gothic
// and MS Mincho), so that the window looks the same wherever one is installed
// rather than taking whatever the system's default font falls back to.
QFont gothic(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("VL Gothic")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont mincho(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"),
                      QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("VL Gothic")});
    font.setPointSizeF(points);
    return font;
}

// Every control gets its colours explicitly, so that a frame's navy caption
// does not leak into the controls it holds.
void colour(QWidget* widget, const QColor& text, const QColor* back = nullptr,
            const QColor* base = nullptr)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    if (back) {
        palette.setColor(QPalette::Window, *back);
        palette.setColor(widget->backgroundRole(), *back);  // Button for check boxes
    }
    if (base)
        palette.setColor(QPalette::Base, *base);
    widget->setPalette(palette);
    widget->setAutoFillBackground(back != nullptr);
}

template <typename W, typename... Args>
W* make(std::vector<QWidget*>& order, QWidget* parent, int left, int top, int width, int height,
        const QFont& font, Args&&... args)
{
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setGeometry(forms::twipsRect(left, top, width, height));
    widget->setFont(font);
    order.push_back(widget);
    return widget;
}

}  // namespace

void frm_Main::Sub_BuildControls()
{
    const QFont formFont = gothic(9);
    const QFont small = gothic(8.25);
    const QFont large = gothic(9.75);
    const QFont frameBold = gothic(9, true);

    setWindowTitle(QStringLiteral("Fileの名称変更を行います。"));
    setFont(formFont);
    colour(this, kBlack, &kPaleBlue);
    setFixedSize(forms::twipsRect(0, 0, 8595, 7455).size());
    setWindowIcon(QIcon(FncPic_AppIcon()));

    // Created in the form's order; the first of a container ends up on top.
    std::vector<QWidget*> order;

    Fra_Base = make<forms::Frame>(order, this, 0, -60, 8595, 5085, formFont);
    colour(Fra_Base, kBlack, &kPaleBlue);

    cmd_DirRefresh = make<forms::CommandButton>(order, Fra_Base, 7020, 4740, 1410, 255, small,
                                                QStringLiteral("Refresh here"));
    Cmd_PathSet = make<forms::CommandButton>(order, Fra_Base, 7320, 210, 1095, 315, formFont,
                                             QStringLiteral("ﾊﾟｽ設定"));
    for (auto* button : {cmd_DirRefresh, Cmd_PathSet})
        colour(button, kBlack);

    Txt_FullPath = make<forms::TextBox>(order, Fra_Base, 120, 240, 7215, 270, formFont);
    Txt_FullPath->setToolTip(QStringLiteral("ﾃﾞｨﾚｸﾄﾘを直接指定したい時に利用してください。"));
    Txt_FullPath->setAcceptsFileDrops(true);
    colour(Txt_FullPath, kBlack, nullptr, &kWhite);

    Dir_Box =
        make<forms::DirListBox>(order, Fra_Base, 120, 930, 3975, 4080, formFont, &m_driveFolders);
    Dir_Box->setToolTip(QStringLiteral(
        "ﾃﾞｨﾚｸﾄﾘを指定します。Rename対象のﾌｧｲﾙをDrag&Dropすると自動的に反映したりもします。"));
    Dir_Box->setAcceptsFileDrops(true);
    colour(Dir_Box, kBlack, nullptr, &kWhite);

    FileList_Box = make<forms::FileListBox>(order, Fra_Base, 4140, 600, 4305, 4410, formFont);
    FileList_Box->setToolTip(
        QStringLiteral("ﾌｧｲﾙをﾀﾞﾌﾞﾙｸﾘｯｸすると、変更部分が自動的に指定されます。"));
    FileList_Box->setAcceptsFileDrops(true);
    colour(FileList_Box, kBlack, nullptr, &kPaleYellow);

    Drv_Box =
        make<forms::DriveListBox>(order, Fra_Base, 180, 540, 2955, 300, formFont, &m_driveFolders);
    colour(Drv_Box, kBlack, nullptr, &kWhite);

    Image1 = make<forms::PictureBox>(order, Fra_Base, 3480, 540, 600, 465, formFont);
    Image1->setToolTip(QStringLiteral("わんわん"));
    Image1->setPixmap(FncPic_AppIcon());
    Image1->setAlignment(Qt::AlignCenter);

    Fra_実行領域 = make<forms::Frame>(order, this, 0, 4890, 8595, 2535, formFont);
    colour(Fra_実行領域, kBlack, &kPaleBlue);

    Chk_IsDir = make<forms::CheckBox>(order, Fra_実行領域, 360, 450, 2505, 255, formFont,
                                      QStringLiteral("ﾃﾞｨﾚｸﾄﾘのみを対象にする"));

    Fra_Setting = make<forms::Frame>(order, Fra_実行領域, 3420, 180, 4875, 270, frameBold,
                                     QStringLiteral("追加設定"));
    Fra_Setting->setToolTip(QStringLiteral("ダブルクリックで開閉します"));
    colour(Fra_Setting, kNavy, &kPaleBlue);

    Cmd_Open = make<forms::CommandButton>(order, Fra_Setting, 4440, 0, 435, 180, formFont,
                                          QStringLiteral("..."));
    colour(Cmd_Open, kBlack);
    Chk_IsDo = make<forms::CheckBox>(order, Fra_Setting, 180, 1290, 4515, 195, small,
                                     QStringLiteral("変更後が空文字列の場合は削除する"));
    Chk_IsAdd = make<forms::CheckBox>(order, Fra_Setting, 180, 1020, 3105, 210, small,
                                      QStringLiteral("変更部分が空欄の場合は付け足す"));
    Chk_全置換 = make<WrapCheckBox>(
        order, Fra_Setting, 180, 540, 4605, 405, small,
        QStringLiteral("変更部分に合致するものがあったらとりあえずファイル名を全部置換する。"));
    Chk_IsNarrow = make<forms::CheckBox>(order, Fra_Setting, 180, 270, 3675, 255, small,
                                         QStringLiteral("Rename関係なくファイル名を半角化する"));

    Cmd_Cancel = make<forms::CommandButton>(order, Fra_実行領域, 4260, 2085, 4005, 375, formFont,
                                            QStringLiteral("画面を閉じて終了しちゃう"));
    Cmd_Report = make<forms::CommandButton>(order, Fra_実行領域, 540, 2085, 3375, 375, formFont,
                                            QStringLiteral("変更したﾌｧｲﾙ名一覧をｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"));
    Cmd_Report->setVisible(false);
    for (auto* button : {Cmd_Cancel, Cmd_Report})
        colour(button, kBlack);
    Chk_IsSubFolder = make<forms::CheckBox>(order, Fra_実行領域, 360, 200, 3225, 255, formFont,
                                            QStringLiteral("ｻﾌﾞﾌｫﾙﾀﾞにあるﾌｧｲﾙも対象とする"));

    Fra_ケツりねいむ = make<forms::Frame>(order, Fra_実行領域, 4260, 735, 4005, 1275, frameBold,
                                          QStringLiteral("ケツからRename"));
    colour(Fra_ケツりねいむ, kNavy, &kPaleBlue);
    Cmd_Go = make<forms::CommandButton>(order, Fra_ケツりねいむ, 1110, 870, 2715, 255, mincho(9.75),
                                        QStringLiteral("Rename実行"));
    colour(Cmd_Go, kBlack);
    Text_To = make<forms::TextBox>(order, Fra_ケツりねいむ, 1080, 540, 2745, 285, large);
    Txt_From = make<forms::TextBox>(order, Fra_ケツりねいむ, 1080, 240, 2745, 285, large);
    Label1[1] = make<QLabel>(order, Fra_ケツりねいむ, 180, 270, 1005, 225, large,
                             QStringLiteral("変更部分"));
    Label1[0] =
        make<QLabel>(order, Fra_ケツりねいむ, 180, 570, 1005, 225, large, QStringLiteral("変更後"));

    Fra_あたまりねいむ = make<forms::Frame>(order, Fra_実行領域, 300, 735, 4005, 1275, frameBold,
                                            QStringLiteral("先頭からRename"));
    colour(Fra_あたまりねいむ, kNavy, &kPaleBlue);
    Txt_From頭 = make<forms::TextBox>(order, Fra_あたまりねいむ, 1080, 240, 2745, 285, large);
    Text_To頭 = make<forms::TextBox>(order, Fra_あたまりねいむ, 1080, 540, 2745, 285, large);
    Cmd_Go頭 = make<forms::CommandButton>(order, Fra_あたまりねいむ, 1110, 870, 2715, 255,
                                          mincho(9.75), QStringLiteral("Rename実行"));
    colour(Cmd_Go頭, kBlack);
    Label1[2] = make<QLabel>(order, Fra_あたまりねいむ, 180, 270, 1005, 225, large,
                             QStringLiteral("変更部分"));
    Label1[3] = make<QLabel>(order, Fra_あたまりねいむ, 180, 570, 1005, 225, large,
                             QStringLiteral("変更後"));
    for (auto* label : Label1)
        colour(label, kNavy);
    for (auto* box : {Text_To, Txt_From, Txt_From頭, Text_To頭})
        colour(box, kBlack, nullptr, &kWhite);

    Lbl_Info = make<QLabel>(order, Fra_実行領域, 2910, 510, 4755, 195, small,
                            QStringLiteral("※ﾃﾞｨﾚｸﾄﾘﾘｽﾄを右ｸﾘｯｸすると｢変更部分｣にｾｯﾄされます"));
    Lbl_Info->setVisible(false);
    colour(Lbl_Info, kBlack);

    for (auto* box : {Chk_IsDir, Chk_IsDo, Chk_IsAdd, Chk_全置換, Chk_IsNarrow, Chk_IsSubFolder})
        colour(box, kBlack, &kPaleBlue);
    Chk_IsSubFolder->setValue(1);

    for (auto it = order.rbegin(); it != order.rend(); ++it)
        (*it)->raise();
}

void frm_Main::Sub_SetTabOrder()
{
    // Tab indexes 0 to 30; frames and labels take no focus.
    const std::vector<QWidget*> chain = {
        Cmd_Cancel,     Txt_FullPath,    Cmd_PathSet, Drv_Box,    Dir_Box,      FileList_Box,
        cmd_DirRefresh, Chk_IsSubFolder, Chk_IsDir,   Txt_From頭, Text_To頭,    Cmd_Go頭,
        Txt_From,       Text_To,         Cmd_Go,      Cmd_Report, Chk_IsNarrow, Chk_全置換,
        Chk_IsAdd,      Chk_IsDo,        Cmd_Open};
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    Cmd_Cancel->setFocus();
}
