// The window itself: initial state and the small handlers.
#include "tst_Ui.h"

#include "ui/PictureMessages.h"
#include "ui/mdl_AllUi.h"

#include <QFileInfo>
#include <QLabel>

QTEST_MAIN(TestUi)

void TestUi::initialState()
{
    UiFixture ui({"a.txt"});
    frm_Main& form = ui.form();
    QCOMPARE(form.windowTitle(), QStringLiteral("Fileの名称変更を行います。 ver" NEMIROU_VERSION));
    QCOMPARE(ui.opened(), ui.root());
    QCOMPARE(form.FileList_Box->ListCount(), 1);
    for (auto* box : {form.Chk_IsSubFolder, form.Chk_IsDir, form.Chk_IsDo, form.Chk_IsAdd,
                      form.Chk_全置換, form.Chk_IsNarrow})
        QCOMPARE(box->Value(), box == form.Chk_IsSubFolder ? 1 : 0);
    for (auto* box : {form.Txt_From, form.Text_To, form.Txt_From頭, form.Text_To頭})
        QVERIFY(box->text().isEmpty());
    QVERIFY(form.Cmd_Report->isHidden() && form.Cmd_Report->Tag.isEmpty());
    QVERIFY(form.Lbl_Info->isHidden());
    QCOMPARE(QApplication::focusWidget(), form.Cmd_Cancel);
    // Entering a text box selects all its text, by Tab or by a click.
    QTest::keyClick(form.Cmd_Cancel, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Txt_FullPath);
    QCOMPARE(form.Txt_FullPath->selectedText(), ui.root());
    form.Txt_From->setText(QStringLiteral("abc.txt"));
    QTest::mouseClick(form.Txt_From, Qt::LeftButton, {}, QPoint(form.Txt_From->width() - 4, 6));
    QCOMPARE(QApplication::focusWidget(), form.Txt_From);
    QCOMPARE(form.Txt_From->selectedText(), QStringLiteral("abc.txt"));
    // Layout, briefly: a fixed size, the closed settings frame stacked over the
    // rename frame, the pale blue reaching the check boxes, the icon loaded.
    QCOMPARE(form.minimumSize(), QSize(8595 / 15, 7455 / 15));
    QCOMPARE(form.maximumSize(), form.minimumSize());
    QCOMPARE(form.Fra_Setting->height() * 15, 270);
    const QObjectList& run = form.Fra_実行領域->children();
    QVERIFY(run.indexOf(form.Fra_Setting) > run.indexOf(form.Fra_ケツりねいむ));
    QCOMPARE(form.Chk_IsDir->palette().color(form.Chk_IsDir->backgroundRole()),
             QColor(192, 192, 255));
    QCOMPARE(form.Image1->pixmap().size(), QSize(32, 32));
    QCOMPARE(form.FileList_Box->font().pointSizeF(), 9.0);
    QCOMPARE(form.Chk_IsNarrow->font().pointSizeF(), 8.25);
    QCOMPARE(form.Cmd_Go->font().pointSizeF(), 9.75);
    QCOMPARE(form.FileList_Box->toolTip(),
             QStringLiteral("ﾌｧｲﾙをﾀﾞﾌﾞﾙｸﾘｯｸすると、変更部分が自動的に指定されます。"));

    // Lbl_Info shows with a click on Chk_IsDir and stays when it is cleared.
    for (int value : {1, 0}) {
        QTest::mouseClick(form.Chk_IsDir, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(form.Chk_IsDir->Value(), value);
        QVERIFY(form.Lbl_Info->isVisible());
    }
    QTest::mouseClick(form.Cmd_Cancel, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(ui.shown().isEmpty());
}

void TestUi::settingsFrameOpensAndCloses()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    forms::Frame* frame = form.Fra_Setting;
    QTest::mouseClick(form.Cmd_Open, Qt::LeftButton);
    QCOMPARE(frame->height() * 15, 1650);
    // Opened, the additional settings can be reached with the mouse.
    QTest::mouseClick(form.Chk_IsAdd, Qt::LeftButton, {}, QPoint(8, 7));
    QCOMPARE(form.Chk_IsAdd->Value(), 1);
    form.Chk_IsAdd->setFocus(Qt::TabFocusReason);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(frame->height() * 15, 270);
    // The focus leaves the box it can no longer see, so Space cannot toggle it.
    QCOMPARE(QApplication::focusWidget(), form.Cmd_Open);
    // The height alone says open or closed: 300 twips counts as open.
    frame->resize(frame->width(), 300 / 15);
    QTest::mouseClick(form.Cmd_Open, Qt::LeftButton);
    QCOMPARE(frame->height() * 15, 270);
    QCOMPARE(frame->width() * 15, 4875 / 15 * 15);
}

void TestUi::tabSkipsTheClosedSettingsFrame_data()
{
    QTest::addColumn<int>("heightTwips");  // set directly; 0: opened and closed again by clicks
    QTest::addColumn<bool>("open");
    QTest::newRow("closed at start") << 270 << false;
    QTest::newRow("opened with the button") << 1650 << true;
    QTest::newRow("opened, then closed with a double click") << 0 << false;
    QTest::newRow("300 twips counts as open") << 300 << true;
    QTest::newRow("285 twips counts as closed") << 285 << false;
}

void TestUi::tabSkipsTheClosedSettingsFrame()
{
    QFETCH(int, heightTwips);
    QFETCH(bool, open);
    UiFixture ui;
    frm_Main& form = ui.form();
    forms::Frame* frame = form.Fra_Setting;
    if (heightTwips == 1650 || heightTwips == 0)
        QTest::mouseClick(form.Cmd_Open, Qt::LeftButton);
    if (heightTwips == 0)
        QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(100, 5));
    else if (heightTwips != 1650)
        frame->resize(frame->width(), heightTwips / 15);

    const auto walk = [&](QWidget* from, Qt::Key key, int steps) {
        from->setFocus(Qt::TabFocusReason);
        QList<QWidget*> seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            seen.append(QApplication::focusWidget());
        }
        return seen;
    };
    const QList<QWidget*> boxes = {form.Chk_IsNarrow, form.Chk_全置換, form.Chk_IsAdd,
                                   form.Chk_IsDo};
    QList<QWidget*> forward = open ? boxes : QList<QWidget*>{};
    forward.append(form.Cmd_Open);  // the hidden report button is skipped in any case
    QList<QWidget*> backward(forward.rbegin() + 1, forward.rend());
    backward.append(form.Cmd_Go);
    QCOMPARE(walk(form.Cmd_Go, Qt::Key_Tab, static_cast<int>(forward.size())), forward);
    QCOMPARE(walk(form.Cmd_Open, Qt::Key_Backtab, static_cast<int>(backward.size())), backward);
    for (QWidget* box : boxes)
        QCOMPARE(static_cast<forms::CheckBox*>(box)->Value(), 0);  // nothing toggled on the way
}

void TestUi::pictureMessages()
{
    // r * 10 rounded half to even, mod 5: 0.05 gives 0.5 and 0 (even), 0.15 gives 1.5 and 2.
    const std::pair<double, int> mapping[] = {{0.05, 0}, {0.051, 1}, {0.15, 2}, {0.55, 1},
                                              {0.8, 3},  {0.949, 4}, {0.95, 0}, {0.9999999, 0}};
    for (const auto& [r, index] : mapping)
        QVERIFY2(FncInt_PictureMessageIndex(r) == index, qPrintable(QString::number(r)));

    // Each start shows the sequence of a fresh generator.
    UiFixture ui;
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(ui.form().Image1, Qt::LeftButton);
    QCOMPARE(ui.shown().size(), 12);
    RndGenerator fresh;
    for (int i = 0; i < 12; ++i) {
        const int index = FncInt_PictureMessageIndex(fresh.Rnd());
        QCOMPARE(ui.shown(i), "64||" + FncStr_PictureMessage(index));  // title empty, not absent
    }
}

void TestUi::unreadableStartFolderKeepsTheWindowUsable()
{
    UiFixture ui({}, QStringLiteral("gone"));
    QCOMPARE(ui.shown().size(), 1);
    QVERIFY2(ui.shown(0).startsWith(QStringLiteral("16|VB Error|")), qPrintable(ui.shown(0)));
    // The lists and the path box agree on a folder that exists.
    QVERIFY2(QFileInfo(ui.opened()).isDir(), qPrintable(ui.opened()));
    QVERIFY(ui.form().windowTitle().endsWith(QStringLiteral(" ver" NEMIROU_VERSION)));
}
