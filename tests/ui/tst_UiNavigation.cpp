// The folder navigation panel: drops, clicks on the lists, the path box.
#include "UiFixture.h"
#include "tst_Ui.h"

#include "forms/Controls.h"
#include "forms/ListBoxes.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

const QString kEmptyPrompt = QStringLiteral("指定なしはいけません。\r\n何かしら指定してください。");
const QString kMissingPrompt =
    QStringLiteral("指定されたディレクトリは存在しません。\r\n選択しなおしてください。");

QByteArray uriList(const QStringList& paths)
{
    QByteArray bytes;
    for (const QString& path : paths)
        bytes += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    return bytes;
}

// A drop as the window system delivers it: enter, then drop, on the widget
// that receives the events (a list's viewport).
void dropOn(QWidget* target, const QByteArray& uris)
{
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uris);
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    enter.ignore();
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

QWidget* dropTarget(frm_Main& form, const QString& name)
{
    if (name == "Dir_Box")
        return form.Dir_Box->viewport();
    if (name == "FileList_Box")
        return form.FileList_Box->viewport();
    return form.Txt_FullPath;
}

QPoint centreOfFile(forms::FileListBox* list, const QString& name)
{
    for (int i = 0; i < list->ListCount(); ++i) {
        if (list->List(i) == name)
            return list->visualRect(list->model()->index(i, 0)).center();
    }
    return {};
}

}  // namespace

void TestUi::dropFillsThePartToChangeBoxes_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("folder list") << "Dir_Box";
    QTest::newRow("file list") << "FileList_Box";
    QTest::newRow("path box") << "Txt_FullPath";
}

void TestUi::dropFillsThePartToChangeBoxes()
{
    QFETCH(QString, target);
    UiFixture ui({"work/other.txt", "work/report.txt", "work/zzz.txt"});
    frm_Main& form = ui.form();
    form.Text_To->setText("keep");
    form.Text_To頭->setText("keep頭");
    dropOn(dropTarget(form, target), uriList({ui.path("work/report.txt")}));
    QCOMPARE(form.Dir_Box->Path(), ui.path("work"));
    QCOMPARE(form.FileList_Box->Path(), ui.path("work"));
    QCOMPARE(form.Txt_FullPath->text(), ui.path("work"));
    QCOMPARE(form.FileList_Box->List(form.FileList_Box->ListIndex()), QStringLiteral("report.txt"));
    QCOMPARE(form.Txt_From頭->text(), QStringLiteral("report."));
    QCOMPARE(form.Txt_From->text(), QStringLiteral(".txt"));
    QCOMPARE(form.Text_To->text(), QStringLiteral("keep"));
    QCOMPARE(form.Text_To頭->text(), QStringLiteral("keep頭"));
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::dropOfSeveralFilesUsesTheFirst()
{
    UiFixture ui({"b/z.photo.jpg", "a/y.txt"});
    frm_Main& form = ui.form();
    dropOn(form.FileList_Box->viewport(), uriList({ui.path("b/z.photo.jpg"), ui.path("a/y.txt")}));
    QCOMPARE(form.Dir_Box->Path(), ui.path("b"));
    QCOMPARE(form.Txt_From頭->text(), QStringLiteral("z."));
    QCOMPARE(form.Txt_From->text(), QStringLiteral(".photo.jpg"));
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::dropWithoutDotChangesNoBox()
{
    UiFixture ui({"work/README", "work/a.txt"});
    frm_Main& form = ui.form();
    form.Txt_From->setText("before");
    form.Txt_From頭->setText("before頭");
    dropOn(form.Txt_FullPath, uriList({ui.path("work/README")}));
    QCOMPARE(form.Dir_Box->Path(), ui.path("work"));
    QCOMPARE(form.FileList_Box->List(form.FileList_Box->ListIndex()), QStringLiteral("README"));
    QCOMPARE(form.Txt_From->text(), QStringLiteral("before"));
    QCOMPARE(form.Txt_From頭->text(), QStringLiteral("before頭"));
    QVERIFY(ui.boxes().boxes().isEmpty());
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
    QCOMPARE(form.Txt_From頭->text(), QFileInfo(ui.root()).fileName());
    QCOMPARE(form.Txt_From->text(), QFileInfo(ui.root()).fileName());

    // A left click selects the subfolder without touching the boxes ...
    form.Dir_Box->setListIndex(0);
    const QPoint workRow = form.Dir_Box->visualRect(form.Dir_Box->currentIndex()).center();
    form.Dir_Box->setListIndex(-1);
    form.Txt_From->setText("left");
    QTest::mouseClick(viewport, Qt::LeftButton, {}, workRow);
    QCOMPARE(form.Dir_Box->ListIndex(), 0);
    QCOMPARE(form.Txt_From->text(), QStringLiteral("left"));
    // ... and a right click anywhere reads the selected entry.
    QTest::mouseClick(viewport, Qt::RightButton, {}, openRow);
    QCOMPARE(form.Dir_Box->ListIndex(), 0);
    QCOMPARE(form.Txt_From頭->text(), QStringLiteral("work"));
    QCOMPARE(form.Txt_From->text(), QStringLiteral("work"));
    QCOMPARE(form.Dir_Box->Path(), ui.root());

    // The root: its last name is empty.
    form.Dir_Box->setPath(QStringLiteral("/"));
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(form.Txt_From頭->text(), QString());
    QCOMPARE(form.Txt_From->text(), QString());
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::fileListDoubleClick_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("tail");
    QTest::newRow("two dots") << "abc.def.txt"
                              << "abc."
                              << ".def.txt";
    QTest::newRow("full-width dot is no dot")
        << QStringLiteral("Ａ．ｂ.txt") << QStringLiteral("Ａ．ｂ.") << ".txt";
    QTest::newRow("trailing dot") << "trail."
                                  << "trail."
                                  << ".";
    QTest::newRow("japanese") << QStringLiteral("写真１.JPG") << QStringLiteral("写真１.")
                              << ".JPG";
    QTest::newRow("no dot") << "noext"
                            << "before頭"
                            << "before";
}

void TestUi::fileListDoubleClick()
{
    QFETCH(QString, name);
    QFETCH(QString, head);
    QFETCH(QString, tail);
    UiFixture ui({name, "zz.other"});
    frm_Main& form = ui.form();
    form.Txt_From->setText("before");
    form.Txt_From頭->setText("before頭");
    const QPoint at = centreOfFile(form.FileList_Box, name);
    QWidget* viewport = form.FileList_Box->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    QCOMPARE(form.Txt_From頭->text(), head);
    QCOMPARE(form.Txt_From->text(), tail);
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::pathSetChecksTheFolder_data()
{
    QTest::addColumn<QString>("typed");  // relative to the root; "<empty>" for none
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("style");
    QTest::newRow("empty") << "<empty>" << kEmptyPrompt << 48;
    QTest::newRow("missing") << "missing" << kMissingPrompt << 48;
    // The existence check admits a file; the folder list then refuses it.
    QTest::newRow("a file") << "a.txt"
                            << "76 " << 16;
    QTest::newRow("existing folder") << "work" << QString() << 0;
}

void TestUi::pathSetChecksTheFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, prompt);
    QFETCH(int, style);
    UiFixture ui({"a.txt", "work/b.txt"});
    frm_Main& form = ui.form();
    form.Txt_FullPath->setText(typed == "<empty>" ? QString() : ui.path(typed));
    QTest::mouseClick(form.Cmd_PathSet, Qt::LeftButton);
    if (prompt.isEmpty()) {
        QVERIFY(ui.boxes().boxes().isEmpty());
        QCOMPARE(form.Dir_Box->Path(), ui.path(typed));
        QCOMPARE(form.FileList_Box->ListCount(), 1);
        QCOMPARE(form.FileList_Box->List(0), QStringLiteral("b.txt"));
    } else {
        QCOMPARE(ui.boxes().boxes().size(), 1);
        const auto& box = ui.boxes().boxes().first();
        QCOMPARE(box.style, style);
        QVERIFY2(box.prompt.startsWith(prompt), qPrintable(box.prompt));
        QCOMPARE(box.title, std::optional<QString>(style == 48 ? QStringLiteral("エラー")
                                                               : QStringLiteral("VB Error")));
        QCOMPARE(form.Dir_Box->Path(), ui.root());
        QCOMPARE(form.FileList_Box->Path(), ui.root());
    }
}

void TestUi::keyDownInThePathBoxAppliesIt()
{
    UiFixture ui({"work/b.txt"});
    frm_Main& form = ui.form();
    form.Txt_FullPath->setText(ui.path("work"));  // as a paste leaves it
    QTest::keyClick(form.Txt_FullPath, Qt::Key_End);
    QVERIFY(ui.boxes().boxes().isEmpty());
    QCOMPARE(form.Dir_Box->Path(), ui.path("work"));
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("b.txt"));
}

void TestUi::typingIntoThePathBoxChecksEachPrefix()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    form.Txt_FullPath->clear();
    QTest::keyClicks(form.Txt_FullPath, "ab");
    // The check sees the text before each key: "" and then "a".
    const auto& boxes = ui.boxes().boxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(0).prompt, kEmptyPrompt);
    QCOMPARE(boxes.at(1).prompt, kMissingPrompt);
    QCOMPARE(form.Txt_FullPath->text(), QStringLiteral("ab"));
    QCOMPARE(form.Dir_Box->Path(), ui.root());
}

void TestUi::refreshShowsNewEntries()
{
    UiFixture ui({"a.txt"});
    frm_Main& form = ui.form();
    makeEntries(ui.root(), {"new.txt", "newdir/"});
    QCOMPARE(form.FileList_Box->ListCount(), 1);
    QTest::mouseClick(form.cmd_DirRefresh, Qt::LeftButton);
    QCOMPARE(form.FileList_Box->ListCount(), 2);
    QCOMPARE(form.FileList_Box->List(1), QStringLiteral("new.txt"));
    QCOMPARE(form.Dir_Box->ListCount(), 1);
    QCOMPARE(form.Dir_Box->List(0), ui.path("newdir"));
    QVERIFY(ui.boxes().boxes().isEmpty());
}

void TestUi::anotherDriveOpensItsCurrentFolder()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    forms::DriveListBox* drives = form.Drv_Box;
    const int current = drives->currentIndex();
    QVERIFY(current >= 0);  // the drive holding the open folder
    if (drives->count() < 2)
        QSKIP("only one volume is mounted");
    // The arrow key picks the neighbouring drive as a user would.
    const bool down = current + 1 < drives->count();
    const int picked = down ? current + 1 : current - 1;
    const QString mountPoint = forms::DriveListBox::mountPointOfDriveText(drives->itemText(picked));
    const QString expected = forms::DriveListBox::rememberedFolder(mountPoint);
    QTest::keyClick(drives, down ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(drives->currentIndex(), picked);
    QCOMPARE(form.Dir_Box->Path(), expected);
    QCOMPARE(form.FileList_Box->Path(), expected);
    QCOMPARE(form.Txt_FullPath->text(), expected);
    QVERIFY(ui.boxes().boxes().isEmpty());
}
