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

QPoint centre(QListView* view, const QModelIndex& index)
{
    return view->visualRect(index).center();
}

}  // namespace

void TestUi::navigation_data()
{
    // 0 to 2: the file and a.txt dropped on Dir_Box, FileList_Box or Txt_FullPath;
    // 3: a double click on the file in FileList_Box; with the folder open in
    // Dir_Box, 4: a right click, 5: a left click on its first subfolder, 6: both;
    // the path typed, then 7: Cmd_PathSet, 8: the A key (the text before the key counts).
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("input");   // under the root, or absolute
    QTest::addColumn<QString>("folder");  // open afterwards, under the root, or absolute
    QTest::addColumn<QString>("parts");   // the part-to-change boxes, "-|-" before
    QTest::addColumn<QStringList>("boxes");
    // clang-format off
    const QStringList none, empty = {"48|エラー|指定なしはいけません。\r\n何かしら指定してください。"};
    QTest::newRow("drop on the folder list") << 0 << "work/report.txt" << "work" << "report.|.txt" << none;
    QTest::newRow("drop on the file list, two dots") << 1 << "work/z.photo.jpg" << "work" << "z.|.photo.jpg" << none;
    QTest::newRow("drop on the path box, no dot changes no box") << 2 << "work/README" << "work" << "-|-" << none;
    QTest::newRow("full-width dot is no dot") << 2 << "work/Ａ．ｂ.txt" << "work" << "Ａ．ｂ.|.txt" << none;
    QTest::newRow("trailing dot")             << 0 << "work/trail." << "work" << "trail.|." << none;
    QTest::newRow("from the root folder")     << 0 << "/tmp" << "/" << "-|-" << none;
    QTest::newRow("double click")             << 3 << "work/z.photo.jpg" << "work" << "z.|.photo.jpg" << none;
    QTest::newRow("right click, nothing selected: the open folder") << 4 << "work" << "work" << "work|work" << none;
    QTest::newRow("left click selects, opens and fills nothing") << 5 << "work" << "work" << "-|-" << none;
    QTest::newRow("right click reads the selected entry") << 6 << "work" << "work" << "sub|sub" << none;
    QTest::newRow("right click in the root: no name") << 4 << "/" << "/" << "|" << none;
    QTest::newRow("path empty")       << 7 << "" << "" << "-|-" << empty;
    QTest::newRow("path missing")     << 7 << "missing" << "" << "-|-" << QStringList{"48|エラー|指定されたディレクトリは存在しません。\r\n選択しなおしてください。"};
    // The existence check admits a file; the folder list then refuses it.
    QTest::newRow("path to a file")   << 7 << "a.txt" << "" << "-|-" << QStringList{"16|VB Error|76 パスが見つかりません。\rDirListBox"};
    QTest::newRow("path to a folder") << 7 << "work" << "work" << "-|-" << none;
    QTest::newRow("key on empty")     << 8 << "" << "" << "-|-" << empty;
    // clang-format on
}

void TestUi::navigation()
{
    QFETCH(int, action);
    QFETCH(QString, input);
    QFETCH(QString, folder);
    QFETCH(QString, parts);
    QFETCH(QStringList, boxes);
    UiFixture ui({"a.txt", "work/", "work/README", "work/report.txt", "work/sub/", "work/trail.",
                  "work/z.photo.jpg", "work/zz.txt", "work/Ａ．ｂ.txt"});
    frm_Main& form = ui.form();
    form.Txt_From頭->setText(QStringLiteral("-"));
    form.Txt_From->setText(QStringLiteral("-"));
    const auto at = [&](const QString& name) {
        return name.isEmpty() ? ui.root() : name[0] == u'/' ? name : ui.path(name);
    };
    forms::FileListBox* list = form.FileList_Box;
    forms::DirListBox* dirs = form.Dir_Box;
    if (action < 3) {
        QWidget* targets[] = {dirs->viewport(), list->viewport(), form.Txt_FullPath};
        dropOn(targets[action], {at(input), ui.path("a.txt")});
    } else if (action == 3) {
        dirs->setPath(ui.path("work"));
        // The file's row, found by its name after "work/".
        const QPoint row = centre(list, list->model()->match(list->model()->index(0, 0),
                                                             Qt::DisplayRole, input.mid(5))[0]);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    } else if (action < 7) {
        dirs->setPath(at(input));
        dirs->setListIndex(0);
        const QPoint subfolder = centre(dirs, dirs->currentIndex());
        dirs->setListIndex(-1);
        if (action > 4)
            QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, subfolder);
        if (action != 5)  // on the open folder's row
            QTest::mouseClick(dirs->viewport(), Qt::RightButton, {},
                              centre(dirs, dirs->currentIndex()));
    } else {
        form.Txt_FullPath->setText(input.isEmpty() ? QString() : at(input));
        if (action == 7)
            QTest::mouseClick(form.Cmd_PathSet, Qt::LeftButton);
        else
            QTest::keyClick(form.Txt_FullPath, Qt::Key_A);
    }
    // The lists open the folder; the path box shows it unless it was typed there.
    QCOMPARE(dirs->Path() + u'|' + list->Path(), at(folder) + u'|' + at(folder));
    if (action < 7)
        QCOMPARE(form.Txt_FullPath->text(), at(folder));
    QCOMPARE(form.Txt_From頭->text() + u'|' + form.Txt_From->text(), parts);
    QCOMPARE(ui.shown(), boxes);
}
