// The folder navigation panel: drops, clicks on the lists, the path box.
#include "tst_Ui.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

// A drop as the window system delivers it: enter, then drop, on the widget
// that receives the events (a list's viewport).
void dropOn(QWidget* target, const QStringList& paths)
{
    QByteArray uris;
    for (const QString& path : paths)
        uris += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uris);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    enter.ignore();
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

// The two part-to-change boxes as "head|tail".
QString partBoxes(frm_Main& form)
{
    return form.Txt_From頭->text() + u'|' + form.Txt_From->text();
}

}  // namespace

void TestUi::dropOrDoubleClickFillsThePartToChangeBoxes_data()
{
    // A drop on 0 Dir_Box, 1 FileList_Box, 2 Txt_FullPath; 3 a double click in FileList_Box.
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("files");  // under the root; the first one counts
    QTest::addColumn<QString>("boxes");
    // clang-format off
    QTest::newRow("folder list")    << 0 << QStringList{"work/report.txt"} << "report.|.txt";
    QTest::newRow("file list, several files, two dots")
                                    << 1 << QStringList{"work/z.photo.jpg", "a/y.txt"} << "z.|.photo.jpg";
    QTest::newRow("path box, no dot changes no box") << 2 << QStringList{"work/README"} << "before|before";
    QTest::newRow("full-width dot is no dot") << 2 << QStringList{"work/Ａ．ｂ.txt"} << "Ａ．ｂ.|.txt";
    QTest::newRow("trailing dot")   << 0 << QStringList{"work/trail."} << "trail.|.";
    QTest::newRow("double click")   << 3 << QStringList{"work/z.photo.jpg"} << "z.|.photo.jpg";
    // clang-format on
}

void TestUi::dropOrDoubleClickFillsThePartToChangeBoxes()
{
    QFETCH(int, target);
    QFETCH(QStringList, files);
    QFETCH(QString, boxes);
    UiFixture ui({"a/y.txt", "work/README", "work/report.txt", "work/trail.", "work/z.photo.jpg",
                  "work/zz.txt", "work/Ａ．ｂ.txt"});
    frm_Main& form = ui.form();
    for (forms::TextBox* box : {form.Txt_From頭, form.Txt_From, form.Text_To})
        box->setText(QStringLiteral("before"));
    const QString name = QFileInfo(files.first()).fileName();
    forms::FileListBox* list = form.FileList_Box;
    if (target == 3) {
        form.Dir_Box->setPath(ui.path("work"));
        int row = 0;
        while (row + 1 < list->ListCount() && list->List(row) != name)
            ++row;
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    } else {
        for (QString& file : files)
            file = ui.path(file);
        QWidget* targets[] = {form.Dir_Box->viewport(), list->viewport(), form.Txt_FullPath};
        dropOn(targets[target], files);
    }
    QCOMPARE(ui.opened(), ui.path("work"));
    QCOMPARE(list->List(list->ListIndex()), name);
    QCOMPARE(partBoxes(form), boxes);
    QCOMPARE(form.Text_To->text(), QStringLiteral("before"));  // the replacement stays
    QVERIFY(ui.shown().isEmpty());
}

void TestUi::rightClickOnTheFolderList()
{
    UiFixture ui({"work/"});
    frm_Main& form = ui.form();
    QWidget* viewport = form.Dir_Box->viewport();
    // Nothing selected: the open folder's own name.
    form.Dir_Box->setListIndex(-1);
    const QPoint openRow = form.Dir_Box->visualRect(form.Dir_Box->currentIndex()).center();
    QTest::mouseClick(viewport, Qt::RightButton, {}, openRow);
    const QString rootName = QFileInfo(ui.root()).fileName();
    QCOMPARE(partBoxes(form), rootName + u'|' + rootName);

    // A left click selects the subfolder without touching the boxes ...
    form.Dir_Box->setListIndex(0);
    const QPoint workRow = form.Dir_Box->visualRect(form.Dir_Box->currentIndex()).center();
    form.Dir_Box->setListIndex(-1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, workRow);
    QCOMPARE(form.Dir_Box->ListIndex(), 0);
    QCOMPARE(partBoxes(form), rootName + u'|' + rootName);
    // ... and a right click anywhere reads the selected entry.
    QTest::mouseClick(viewport, Qt::RightButton, {}, openRow);
    QCOMPARE(form.Dir_Box->ListIndex(), 0);
    QCOMPARE(partBoxes(form), QStringLiteral("work|work"));
    QCOMPARE(form.Dir_Box->Path(), ui.root());

    // The root: its last name is empty.
    form.Dir_Box->setPath(QStringLiteral("/"));
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(partBoxes(form), QStringLiteral("|"));
    QVERIFY(ui.shown().isEmpty());
}

void TestUi::pathBoxChecksTheFolder_data()
{
    QTest::addColumn<QString>("typed");  // under the root; "<empty>" for none
    QTest::addColumn<int>("key");        // a key pressed in the box; 0: a click on Cmd_PathSet
    QTest::addColumn<QString>("box");    // how the box starts; empty: the folder opens
    // clang-format off
    QTest::newRow("empty")           << "<empty>" << 0 << "48|エラー|" + kEmptyPrompt;
    QTest::newRow("missing")         << "missing" << 0 << "48|エラー|" + kMissingPrompt;
    // The existence check admits a file; the folder list then refuses it.
    QTest::newRow("a file")          << "a.txt"   << 0 << QStringLiteral("16|VB Error|76 ");
    QTest::newRow("existing folder") << "work"    << 0 << QString();
    // A key applies the text as it was before the key: a pasted path opens.
    QTest::newRow("key on empty")    << "<empty>" << int(Qt::Key_A) << "48|エラー|" + kEmptyPrompt;
    QTest::newRow("key on a folder") << "work"    << int(Qt::Key_End) << QString();
    // clang-format on
}

void TestUi::pathBoxChecksTheFolder()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, box);
    UiFixture ui({"a.txt", "work/b.txt"});
    frm_Main& form = ui.form();
    form.Txt_FullPath->setText(typed == "<empty>" ? QString() : ui.path(typed));
    if (key)
        QTest::keyClick(form.Txt_FullPath, Qt::Key(key));
    else
        QTest::mouseClick(form.Cmd_PathSet, Qt::LeftButton);
    QCOMPARE(ui.shown().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        QVERIFY2(ui.shown(0).startsWith(box), qPrintable(ui.shown(0)));
        QCOMPARE(form.Dir_Box->Path(), ui.root());
        QCOMPARE(form.FileList_Box->Path(), ui.root());
        return;
    }
    QCOMPARE(ui.opened(), ui.path(typed));
    QCOMPARE(form.FileList_Box->ListCount(), 1);
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("b.txt"));
}

void TestUi::refreshAndDriveChange()
{
    UiFixture ui({"a.txt"});
    frm_Main& form = ui.form();
    makeEntries(ui.root(), {"new.txt", "newdir/"});
    QTest::mouseClick(form.cmd_DirRefresh, Qt::LeftButton);
    QCOMPARE(form.FileList_Box->ListCount(), 2);
    QCOMPARE(form.Dir_Box->List(0), ui.path("newdir"));

    // Another drive, picked with the arrow key, opens its remembered folder.
    forms::DriveListBox* drives = form.Drv_Box;
    const int current = drives->currentIndex();
    QVERIFY(current >= 0);  // the drive holding the open folder
    if (drives->count() < 2)
        QSKIP("only one volume is mounted");
    const bool down = current + 1 < drives->count();
    const int picked = down ? current + 1 : current - 1;
    const QString expected = drives->rememberedFolder(
        forms::DriveListBox::mountPointOfDriveText(drives->itemText(picked)));
    QTest::keyClick(drives, down ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(drives->currentIndex(), picked);
    QCOMPARE(ui.opened(), expected);
    QVERIFY(ui.shown().isEmpty());
}
