// The window itself: controls, initial state and the small handlers.
#include "UiFixture.h"
#include "tst_Ui.h"

#include "forms/Controls.h"
#include "forms/ListBoxes.h"
#include "ui/PictureMessages.h"
#include "ui/mdl_AllUi.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <set>

void TestUi::initialState()
{
    UiFixture ui({"a.txt"});
    frm_Main& form = ui.form();
    QCOMPARE(form.windowTitle(), QStringLiteral("Fileの名称変更を行います。") +
                                     QStringLiteral(" ver") + QStringLiteral(NEMIROU_VERSION));
    QCOMPARE(form.Dir_Box->Path(), ui.root());
    QCOMPARE(form.FileList_Box->Path(), ui.root());
    QCOMPARE(form.FileList_Box->ListCount(), 1);
    QCOMPARE(form.Txt_FullPath->text(), ui.root());
    QCOMPARE(form.Chk_IsSubFolder->Value(), 1);
    for (auto* box :
         {form.Chk_IsDir, form.Chk_IsDo, form.Chk_IsAdd, form.Chk_全置換, form.Chk_IsNarrow})
        QCOMPARE(box->Value(), 0);
    for (auto* box : {form.Txt_From, form.Text_To, form.Txt_From頭, form.Text_To頭})
        QVERIFY(box->text().isEmpty());
    QVERIFY(form.Cmd_Report->isHidden());
    QVERIFY(form.Cmd_Report->Tag.isEmpty());
    QVERIFY(form.Lbl_Info->isHidden());
    QCOMPARE(form.Fra_Setting->height() * 15, 270);
    QCOMPARE(form.size(), QSize(8595 / 15, 7455 / 15));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(QApplication::focusWidget(), form.Cmd_Cancel);
    QCOMPARE(form.Image1->pixmap().size(), QSize(32, 32));
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::childrenSitInTheirFrames()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    // Twips positions are relative to the frame's own top-left corner.
    QCOMPARE(form.Fra_Base->parentWidget(), &form);
    QCOMPARE(form.Fra_Base->geometry(), forms::twipsRect(0, -60, 8595, 5085));
    QCOMPARE(form.Fra_実行領域->geometry(), forms::twipsRect(0, 4890, 8595, 2535));
    QCOMPARE(form.Cmd_Open->parentWidget(), form.Fra_Setting);
    QCOMPARE(form.Cmd_Open->geometry(), forms::twipsRect(4440, 0, 435, 180));
    QCOMPARE(form.Txt_From頭->parentWidget(), form.Fra_あたまりねいむ);
    QCOMPARE(form.Txt_From->parentWidget(), form.Fra_ケツりねいむ);
    QCOMPARE(form.Chk_全置換->parentWidget(), form.Fra_Setting);
    QCOMPARE(form.cmd_DirRefresh->mapTo(&form, QPoint(0, 0)),
             forms::twipsRect(7020, 4740 - 60, 0, 0).topLeft());
    // The frame that opens covers the rename frames, and the upper panel
    // covers the top edge of the run area.
    const QObjectList& run = form.Fra_実行領域->children();
    QVERIFY(run.indexOf(form.Fra_Setting) > run.indexOf(form.Fra_ケツりねいむ));
    QVERIFY(form.children().indexOf(form.Fra_Base) > form.children().indexOf(form.Fra_実行領域));
    // Own fonts do not leak from a bold frame into the controls it holds.
    QVERIFY(form.Fra_Setting->font().bold());
    QVERIFY(!form.Cmd_Open->font().bold());
    QCOMPARE(form.Chk_IsNarrow->font().pointSizeF(), 8.25);
    QVERIFY(!form.Txt_From->font().bold());
    QCOMPARE(form.Cmd_Go->font().families().first(), QStringLiteral("ＭＳ 明朝"));
    QCOMPARE(form.Label1[3]->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(form.Chk_IsNarrow->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(form.FileList_Box->palette().color(QPalette::Base), QColor(255, 255, 192));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(192, 192, 255));
    // A check box fills with its own background role, which must be the pale blue too.
    QCOMPARE(form.Chk_IsDir->palette().color(form.Chk_IsDir->backgroundRole()),
             QColor(192, 192, 255));
}

void TestUi::tabOrderFollowsTheTabIndexes()
{
    UiFixture ui;
    frm_Main& f = ui.form();
    const QList<QWidget*> expected = {
        f.Cmd_Cancel,   f.Txt_FullPath,   f.Cmd_PathSet,     f.Drv_Box,   f.Dir_Box,
        f.FileList_Box, f.cmd_DirRefresh, f.Chk_IsSubFolder, f.Chk_IsDir, f.Txt_From頭,
        f.Text_To頭,    f.Cmd_Go頭,       f.Txt_From,        f.Text_To,   f.Cmd_Go,
        f.Cmd_Report,   f.Chk_IsNarrow,   f.Chk_全置換,      f.Chk_IsAdd, f.Chk_IsDo,
        f.Cmd_Open};
    QList<QWidget*> seen;
    QWidget* widget = f.Cmd_Cancel;
    do {
        if (expected.contains(widget))
            seen.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != f.Cmd_Cancel && seen.size() < expected.size());
    QCOMPARE(seen, expected);
}

void TestUi::settingsFrameOpensAndCloses_data()
{
    QTest::addColumn<int>("startTwips");
    QTest::addColumn<bool>("byDoubleClick");
    QTest::addColumn<int>("expectedTwips");
    QTest::newRow("closed opens by the button") << 270 << false << 1650;
    QTest::newRow("closed opens by a double click") << 270 << true << 1650;
    QTest::newRow("open closes by the button") << 1650 << false << 270;
    QTest::newRow("open closes by a double click") << 1650 << true << 270;
    QTest::newRow("exactly 300 counts as open") << 300 << false << 270;
    QTest::newRow("285 counts as closed") << 285 << false << 1650;
}

void TestUi::settingsFrameOpensAndCloses()
{
    QFETCH(int, startTwips);
    QFETCH(bool, byDoubleClick);
    QFETCH(int, expectedTwips);
    UiFixture ui;
    frm_Main& form = ui.form();
    form.Fra_Setting->resize(form.Fra_Setting->width(), startTwips / 15);
    if (byDoubleClick)
        QTest::mouseDClick(form.Fra_Setting, Qt::LeftButton, {}, QPoint(100, 5));
    else
        QTest::mouseClick(form.Cmd_Open, Qt::LeftButton);
    QCOMPARE(form.Fra_Setting->height() * 15, expectedTwips);
    QCOMPARE(form.Fra_Setting->width() * 15, 4875 / 15 * 15);
    // Opened, the additional settings can be reached with the mouse.
    if (expectedTwips == 1650) {
        QTest::mouseClick(form.Chk_IsAdd, Qt::LeftButton, {}, QPoint(8, 7));
        QCOMPARE(form.Chk_IsAdd->Value(), 1);
    }
}

void TestUi::pictureMessageIndex_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("0.04") << 0.04 << 0;
    QTest::newRow("0.05: 0.5 rounds to 0") << 0.05 << 0;
    QTest::newRow("0.051") << 0.051 << 1;
    QTest::newRow("0.15: 1.5 rounds to 2") << 0.15 << 2;
    QTest::newRow("0.25: 2.5 rounds to 2") << 0.25 << 2;
    QTest::newRow("0.35: 3.5 rounds to 4") << 0.35 << 4;
    QTest::newRow("0.45: 4.5 rounds to 4") << 0.45 << 4;
    QTest::newRow("0.55: 5.5 rounds to 6") << 0.55 << 1;
    QTest::newRow("0.72") << 0.72 << 2;
    QTest::newRow("0.8") << 0.8 << 3;
    QTest::newRow("0.949") << 0.949 << 4;
    QTest::newRow("0.95: 9.5 rounds to 10") << 0.95 << 0;
    QTest::newRow("just below 1") << 0.9999999 << 0;
}

void TestUi::pictureMessageIndex()
{
    QFETCH(double, r);
    QFETCH(int, index);
    QCOMPARE(FncInt_PictureMessageIndex(r), index);
}

void TestUi::pictureRepeatsTheSameSequence()
{
    RndGenerator first;
    RndGenerator second;
    std::set<int> indexes;
    for (int i = 0; i < 1000; ++i) {
        const double r = first.Rnd();
        QCOMPARE(second.Rnd(), r);
        QVERIFY(r >= 0.0 && r < 1.0);
        indexes.insert(FncInt_PictureMessageIndex(r));
    }
    QCOMPARE(indexes, (std::set<int>{0, 1, 2, 3, 4}));
    QVERIFY(FncStr_PictureMessage(3).endsWith(QString(4, QChar(0x3000))));
}

void TestUi::pictureClicksShowTheSequence()
{
    UiFixture ui;
    RndGenerator fresh;
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(ui.form().Image1, Qt::LeftButton);
    const auto& boxes = ui.boxes().boxes();
    QCOMPARE(boxes.size(), 12);
    for (const auto& box : boxes) {
        QCOMPARE(box.style, 64);
        QCOMPARE(box.title, std::optional<QString>(QString()));  // empty, not absent
        QCOMPARE(box.prompt, FncStr_PictureMessage(FncInt_PictureMessageIndex(fresh.Rnd())));
    }
}

void TestUi::infoLabelStaysVisible()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    QTest::mouseClick(form.Chk_IsDir, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(form.Chk_IsDir->Value(), 1);
    QVERIFY(form.Lbl_Info->isVisible());
    QTest::mouseClick(form.Chk_IsDir, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(form.Chk_IsDir->Value(), 0);
    QVERIFY(form.Lbl_Info->isVisible());
}

void TestUi::focusSelectsAllText_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("Txt_From by mouse") << "Txt_From"
                                       << "abc.txt" << true;
    QTest::newRow("Text_To by mouse") << "Text_To"
                                      << "xyz" << true;
    QTest::newRow("Txt_From頭 by Tab") << "Txt_From頭" << QStringLiteral("先頭") << false;
    QTest::newRow("Text_To頭 empty by mouse") << "Text_To頭"
                                              << "" << true;
    QTest::newRow("Txt_FullPath by Tab") << "Txt_FullPath"
                                         << "" << false;
}

void TestUi::focusSelectsAllText()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, byMouse);
    UiFixture ui;
    frm_Main& f = ui.form();
    const std::map<QString, forms::TextBox*> boxes = {{"Txt_From", f.Txt_From},
                                                      {"Text_To", f.Text_To},
                                                      {"Txt_From頭", f.Txt_From頭},
                                                      {"Text_To頭", f.Text_To頭},
                                                      {"Txt_FullPath", f.Txt_FullPath}};
    forms::TextBox* target = boxes.at(box);
    if (box != "Txt_FullPath")
        target->setText(text);
    target->setCursorPosition(0);
    const QString expected = target->text();
    if (byMouse) {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() - 4, 6));
    } else {
        // Tab from the control just before it in the tab order.
        QWidget* before = box == "Txt_FullPath" ? static_cast<QWidget*>(f.Cmd_Cancel) : f.Chk_IsDir;
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), target);
    QCOMPARE(target->selectedText(), expected);
    if (!expected.isEmpty())
        QCOMPARE(target->selectionStart(), 0);
    else
        QCOMPARE(target->cursorPosition(), 0);
}

void TestUi::cancelClosesTheWindow()
{
    UiFixture ui;
    QVERIFY(ui.form().isVisible());
    QTest::mouseClick(ui.form().Cmd_Cancel, Qt::LeftButton);
    QVERIFY(!ui.form().isVisible());
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::unreadableStartFolderKeepsTheWindowUsable()
{
    QTemporaryDir dir;
    const QString missing = dir.path() + QStringLiteral("/gone");
    Gstr_StartPath = missing;
    MsgBoxRecorder boxes;
    frm_Main form;
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().style, 16);
    QCOMPARE(boxes.boxes().first().title, std::optional<QString>(QStringLiteral("VB Error")));
    QVERIFY(!form.Dir_Box->Path().isEmpty());
    QVERIFY(form.Dir_Box->Path() != missing);
    QCOMPARE(form.FileList_Box->Path(), form.Dir_Box->Path());
    QCOMPARE(form.Txt_FullPath->text(), form.Dir_Box->Path());
    QVERIFY(form.windowTitle().endsWith(QStringLiteral(" ver") + QStringLiteral(NEMIROU_VERSION)));
}
