#include "tst_Forms.h"

#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"
#include "forms/MessageBox.h"
#include "runtime/MsgBox.h"
#include "runtime/NameCodec.h"
#include "support/ErrorNumber.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMimeData>
#include <QTest>
#include <QTimer>

QTEST_MAIN(TestForms)

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

// Plain text dragged onto a list is refused; onto a text box it goes on to
// the box as text. (File drops are the window's tests.)
void TestForms::fileDropTargets()
{
    for (const bool list : {true, false}) {
        forms::TextBox box;
        forms::FileListBox fileList;
        QWidget* receiver = list ? fileList.viewport() : &box;
        (list ? static_cast<forms::FileDropTarget&>(fileList) : box).setAcceptsFileDrops(true);
        QVERIFY((list ? &fileList : receiver)->acceptDrops() && receiver->acceptDrops());
        QMimeData data;
        data.setText(QStringLiteral("typed"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(receiver, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(receiver, &drop);
        QCOMPARE(enter.isAccepted(), !list);
        QCOMPARE(box.text(), list ? QString() : QStringLiteral("typed"));
    }
}

void TestForms::installedMessageBox()
{
    forms::installMessageBox();
    QString shown;               // title|text of the box shown
    QTimer::singleShot(0, [&] {  // closes the box from inside its own modal loop
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        shown = box ? box->windowTitle() + u'|' + box->text() : QString();
        if (box)
            box->button(QMessageBox::Ok)->click();
    });
    const int answer =
        rt::MsgBox(QStringLiteral("指定なし。\r\n<b>何か</b>\r。"), rt::kVbExclamation);
    rt::setMsgBoxHandler({});
    QCOMPARE(answer, rt::kVbOk);
    QCOMPARE(shown, QStringLiteral("Nemirou|指定なし。\n<b>何か</b>\n。"));  // no title argument
    // Plain text, never markup; an empty title stays empty; the button bits
    // (here 1) do not choose the icon.
    QMessageBox box;
    forms::configureMessageBox(box, 17, QStringLiteral("a"), QString());
    QVERIFY(box.textFormat() == Qt::PlainText && box.windowTitle().isEmpty());
    const std::pair<int, QMessageBox::Icon> icons[] = {{0, QMessageBox::NoIcon},
                                                       {17, QMessageBox::Critical},
                                                       {48, QMessageBox::Warning},
                                                       {64, QMessageBox::Information}};
    for (const auto& [style, icon] : icons)
        QCOMPARE(forms::messageBoxIcon(style), icon);
    QCOMPARE(box.icon(), QMessageBox::Critical);
}

void TestForms::mousePointer()
{
    forms::setMousePointer(forms::kPointerHourglass);
    QVERIFY(QGuiApplication::overrideCursor() &&
            QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
    // Busy twice, plus someone else's override, then one default: none is left.
    forms::setMousePointer(forms::kPointerHourglass);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    forms::setMousePointer(forms::kPointerDefault);
    QVERIFY(!QGuiApplication::overrideCursor());
}

// Only a grey box cycles through grey on clicks; a refused value changes nothing.
void TestForms::checkBoxValue()
{
    forms::CheckBox box(QStringLiteral("x"));
    for (int value : {2, 1, 2, 0, 2}) {
        box.setValue(value);
        QCOMPARE(box.Value(), value);
        QCOMPARE(box.isTristate(), value == 2);
    }
    QCOMPARE(errorNumberOf([&] { box.setValue(3); }), 380);
    QCOMPARE(box.Value(), 2);
}
