// The window itself: start, layout and the small handlers; the built executable.
#include "tst_Ui.h"

#include "ui/PictureMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>

QTEST_MAIN(TestUi)

void TestUi::startAndLayout()
{
    // An unreadable start folder: the lists and the path box agree on one that exists.
    UiFixture gone({}, QStringLiteral("gone"));
    QCOMPARE(gone.shown(), QStringList{"16|VB Error|76 パスが見つかりません。\rDirListBox"});
    QVERIFY2(QFileInfo(gone.opened()).isDir(), qPrintable(gone.opened()));
    UiFixture ui;
    frm_Main& form = ui.form();
    QCOMPARE(form.windowTitle(), QStringLiteral("Fileの名称変更を行います。 ver" NEMIROU_VERSION));
    QCOMPARE(ui.opened(), ui.root());
    for (auto* box : {form.Chk_IsSubFolder, form.Chk_IsDir, form.Chk_IsDo, form.Chk_IsAdd,
                      form.Chk_全置換, form.Chk_IsNarrow})
        QCOMPARE(box->Value(), box == form.Chk_IsSubFolder ? 1 : 0);
    QCOMPARE(QApplication::focusWidget(), form.Cmd_Cancel);
    // Entering a text box selects all its text, by Tab or by a click.
    QTest::keyClick(form.Cmd_Cancel, Qt::Key_Tab);
    QCOMPARE(form.Txt_FullPath->selectedText(), ui.root());
    form.Txt_From->setText(QStringLiteral("abc.txt"));
    QTest::mouseClick(form.Txt_From, Qt::LeftButton, {}, QPoint(form.Txt_From->width() - 4, 6));
    QCOMPARE(form.Txt_From->selectedText(), QStringLiteral("abc.txt"));
    // Layout, briefly: its size, the settings frame stacked over the rename
    // frame, the pale blue reaching the check boxes, the icon, the fonts.
    QCOMPARE(form.minimumSize(), QSize(8595 / 15, 7455 / 15));
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

    QTest::mouseClick(form.Cmd_Cancel, Qt::LeftButton);
    QVERIFY(!form.isVisible());
}

// The small handlers, on one window: the information label, the settings
// frame, the picture, the refresh button and the drive list.
void TestUi::smallHandlers()
{
    UiFixture ui({"a.txt"});
    frm_Main& form = ui.form();
    // Lbl_Info shows with a click on Chk_IsDir and stays when it is cleared.
    QVERIFY(form.Lbl_Info->isHidden());
    for (int value : {1, 0}) {
        QTest::mouseClick(form.Chk_IsDir, Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(form.Chk_IsDir->Value() == value && form.Lbl_Info->isVisible());
    }

    // The settings frame opens with its button and closes with it or a double
    // click; its height alone says which. Tab reaches its boxes only while it is open.
    forms::Frame* frame = form.Fra_Setting;
    const auto tabsReach = [&](const QWidgetList& boxes) {
        QWidgetList seen, expected = boxes;
        expected.append(form.Cmd_Open);  // the hidden report button is skipped in any case
        form.Cmd_Go->setFocus(Qt::TabFocusReason);
        while (seen.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.append(QApplication::focusWidget());
        }
        return seen == expected;
    };
    const QWidgetList boxes = {form.Chk_IsNarrow, form.Chk_全置換, form.Chk_IsAdd, form.Chk_IsDo};
    QVERIFY(tabsReach({}));
    QTest::mouseClick(form.Cmd_Open, Qt::LeftButton);
    QCOMPARE(frame->height() * 15, 1650);
    QVERIFY(tabsReach(boxes));
    // The focus leaves the box it can no longer see, so Space cannot toggle it.
    form.Chk_IsAdd->setFocus(Qt::TabFocusReason);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(frame->height() * 15, 270);
    QCOMPARE(QApplication::focusWidget(), form.Cmd_Open);
    QVERIFY(tabsReach({}));
    frame->resize(frame->width(), 300 / 15);
    QVERIFY(tabsReach(boxes));
    frame->resize(frame->width(), 285 / 15);
    QVERIFY(tabsReach({}));

    // The picture's messages: r * 10 rounded half to even, mod 5 (0.05 gives 0.5
    // and 0, 0.15 gives 1.5 and 2), in the sequence of a fresh generator, the
    // title empty, not absent.
    const std::pair<double, int> mapping[] = {{0.05, 0}, {0.051, 1}, {0.15, 2}, {0.55, 1},
                                              {0.8, 3},  {0.949, 4}, {0.95, 0}, {0.9999999, 0}};
    for (const auto& [r, index] : mapping)
        QVERIFY2(FncInt_PictureMessageIndex(r) == index, qPrintable(QString::number(r)));
    RndGenerator fresh;
    QStringList expected;
    for (int i = 0; i < 12; ++i) {
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        expected.append("64||" + FncStr_PictureMessage(FncInt_PictureMessageIndex(fresh.Rnd())));
    }
    QCOMPARE(ui.shown(), expected);

    // The refresh button lists what was made since.
    DiskTree::make(ui.root(), {"new.txt", "newdir/"});
    QTest::mouseClick(form.cmd_DirRefresh, Qt::LeftButton);
    QCOMPARE(form.FileList_Box->ListCount(), 2);
    QCOMPARE(form.Dir_Box->List(0), ui.path("newdir"));

    // Another drive, picked with the arrow key, opens its remembered folder.
    forms::DriveListBox* drives = form.Drv_Box;
    const int current = drives->currentIndex();  // the drive holding the open folder
    if (drives->count() < 2)
        QSKIP("only one volume is mounted");
    const int picked = current + 1 < drives->count() ? current + 1 : current - 1;
    const QString remembered = drives->rememberedFolder(
        forms::DriveListBox::mountPointOfDriveText(drives->itemText(picked)));
    QTest::keyClick(drives, picked > current ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(ui.opened(), remembered);
}

// Without a display: one line and exit status 1, before taking the lock. With
// one, a second start ends at once and silently while the first runs on.
void TestUi::executable()
{
    QTemporaryDir runtimeDir;
    const auto start = [&](QProcess& app, bool withDisplay, const QStringList& arguments = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());  // for the lock
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        // An empty platform counts as no display.
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), withDisplay ? "offscreen" : "");
        app.setProcessEnvironment(env);
        app.start(QStringLiteral(NEMIROU_EXECUTABLE), arguments);
    };
    QProcess headless, first, second;
    start(headless, false);
    QVERIFY(headless.waitForFinished(120000));
    QVERIFY(headless.exitStatus() == QProcess::NormalExit && headless.exitCode() == 1);
    QCOMPARE(headless.readAllStandardError(),
             QByteArray("nemirou: no display found: start it from a desktop session "
                        "(DISPLAY is not set).\n"));

    start(first, true);
    // The first instance holds its lock once a file shows in the runtime folder.
    QVERIFY(QTest::qWaitFor(
        [&] { return !QDir(runtimeDir.path()).isEmpty() || first.state() == QProcess::NotRunning; },
        120000));
    QCOMPARE(first.state(), QProcess::Running);
    start(second, true);
    QVERIFY(second.waitForFinished(120000));
    QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0 &&
            second.readAllStandardError().isEmpty());
    // nemirou --undo is a window of its own, not a later start handed to the first.
    QProcess undo;
    start(undo, true, {"--undo"});
    QVERIFY(!undo.waitForFinished(3000) && first.state() == QProcess::Running);
    undo.kill();
    first.kill();
    QVERIFY(undo.waitForFinished(120000) && first.waitForFinished(120000));
}
