#include "tst_Forms.h"

#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"
#include "forms/MessageBox.h"
#include "runtime/MsgBox.h"
#include "runtime/NameCodec.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

void TestForms::droppedFiles_data()
{
    QTest::addColumn<QByteArray>("uriList");       // null: the drop carries plain text only
    QTest::addColumn<QByteArrayList>("expected");  // the paths' bytes on disk

    QTest::newRow("in order; comments, other hosts and schemes skipped")
        << QByteArray("# from a file manager\r\nfile:///b/z.txt\r\nfile://elsewhere.example/x\r\n"
                      "https://example.com/y\r\nfile:///a/y.txt\r\nfile:///c/x.txt")
        << QByteArrayList{"/b/z.txt", "/a/y.txt", "/c/x.txt"};
    QTest::newRow("not UTF-8, kept lossless") << QByteArray("file:///tmp/a%FFb/%E3%81%82%FE.txt\n")
                                              << QByteArrayList{"/tmp/a\xFF"
                                                                "b/\xE3\x81\x82\xFE.txt"};
    QTest::newRow("localhost; escapes decoded once")
        << QByteArray("file://localhost/tmp/a%20b%25%23.txt\r\n")
        << QByteArrayList{"/tmp/a b%#.txt"};
    QTest::newRow("trailing separator dropped, root kept")
        << QByteArray("file:///tmp/dir/\r\nfile:///\r\n") << QByteArrayList{"/tmp/dir", "/"};
    QTest::newRow("plain text only") << QByteArray() << QByteArrayList{};
}

void TestForms::droppedFiles()
{
    QFETCH(QByteArray, uriList);
    QMimeData data;
    if (uriList.isNull())
        data.setText(QStringLiteral("/tmp/not-a-drop.txt"));
    else
        data.setData(QStringLiteral("text/uri-list"), uriList);
    QByteArrayList files;
    for (const QString& file : forms::droppedFiles(&data))
        files.append(rt::encodeName(file));
    QTEST(files, "expected");
}

void TestForms::fileDropTargets_data()
{
    QTest::addColumn<int>("target");     // 0 a text box, 1 the file list, 2 the folder list
    QTest::addColumn<bool>("on");        // file drops switched on
    QTest::addColumn<bool>("files");     // a URI list, else plain text
    QTest::addColumn<bool>("accepted");  // the answer to the drag
    QTest::addColumn<int>("drops");      // OLEDragDrop signals

    QTest::newRow("file list takes files") << 1 << true << true << true << 1;
    QTest::newRow("file list, drops off") << 1 << false << true << false << 0;
    QTest::newRow("file list refuses text") << 1 << true << false << false << 0;
    QTest::newRow("folder list takes files") << 2 << true << true << true << 1;
    QTest::newRow("text box takes files") << 0 << true << true << true << 1;
    QTest::newRow("text box, drops off") << 0 << false << true << false << 0;
    // Text still goes into the box as text, not through the file handling.
    QTest::newRow("text box takes text") << 0 << true << false << true << 0;
}

void TestForms::fileDropTargets()
{
    QFETCH(int, target);
    QFETCH(bool, on);
    QFETCH(bool, files);
    forms::TextBox box;
    forms::FileListBox fileList;
    QTemporaryDir dir;
    forms::DirListBox dirList;
    dirList.setPath(dir.path());
    forms::FileDropTarget* targets[] = {&box, &fileList, &dirList};
    QWidget* receivers[] = {&box, fileList.viewport(), dirList.viewport()};
    QSignalSpy drops = target == 0   ? QSignalSpy(&box, &forms::TextBox::OLEDragDrop)
                       : target == 1 ? QSignalSpy(&fileList, &forms::FileListBox::OLEDragDrop)
                                     : QSignalSpy(&dirList, &forms::DirListBox::OLEDragDrop);
    targets[target]->setAcceptsFileDrops(on);
    QMimeData data;
    if (files)
        data.setData(QStringLiteral("text/uri-list"), "file:///tmp/a.txt\r\nfile:///tmp/b.txt\r\n");
    else
        data.setText(QStringLiteral("typed"));

    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(receivers[target], &enter);
    QTEST(enter.isAccepted(), "accepted");
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(receivers[target], &drop);
    QTEST(static_cast<int>(drops.count()), "drops");
    if (drops.count() == 1)
        QCOMPARE(drops.first().first().toStringList(), (QStringList{"/tmp/a.txt", "/tmp/b.txt"}));
    QCOMPARE(box.text(), target == 0 && !files ? QStringLiteral("typed") : QString());
    QCOMPARE(dirList.Path(), dir.path());  // the list itself opens nothing
}

void TestForms::installedMessageBox()
{
    forms::installMessageBox();
    QMessageBox shown;  // what the box showed
    // Closes the box from inside its own modal loop.
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.setIcon(box->icon());
            shown.setText(box->text());
            shown.setTextFormat(box->textFormat());
            shown.setWindowTitle(box->windowTitle());
            box->button(QMessageBox::Ok)->click();
        }
    });
    const int answer =
        rt::MsgBox(QStringLiteral("指定なし。\r\n<b>何か</b>\r。"), rt::kVbExclamation);
    rt::setMsgBoxHandler({});
    QCOMPARE(answer, rt::kVbOk);
    QCOMPARE(shown.icon(), QMessageBox::Warning);
    QCOMPARE(shown.text(), QStringLiteral("指定なし。\n<b>何か</b>\n。"));
    QCOMPARE(shown.textFormat(), Qt::PlainText);
    QCOMPARE(shown.windowTitle(), QStringLiteral("Nemirou"));  // no title argument
    QMessageBox box;
    forms::configureMessageBox(box, 0, QStringLiteral("a"), QString());
    QCOMPARE(box.windowTitle(), QString());  // an empty title stays empty
    const std::pair<int, QMessageBox::Icon> icons[] = {{0, QMessageBox::NoIcon},
                                                       {16, QMessageBox::Critical},
                                                       {48, QMessageBox::Warning},
                                                       {64, QMessageBox::Information}};
    for (const auto& [style, icon] : icons)
        QCOMPARE(forms::messageBoxIcon(style), icon);
}

void TestForms::mousePointer()
{
    forms::setMousePointer(forms::kPointerHourglass);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Busy twice, plus someone else's override, then one default: no
    // override may be left behind.
    forms::setMousePointer(forms::kPointerHourglass);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    forms::setMousePointer(forms::kPointerDefault);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
}
