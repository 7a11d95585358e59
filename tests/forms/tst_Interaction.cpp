#include "tst_Forms.h"

#include "forms/Interaction.h"
#include "forms/MessageBox.h"
#include "runtime/MsgBox.h"
#include "runtime/NameCodec.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMimeData>
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

void TestForms::messageBoxIcon_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("0") << 0 << QMessageBox::NoIcon;
    QTest::newRow("16") << 16 << QMessageBox::Critical;
    QTest::newRow("48") << 48 << QMessageBox::Warning;
    QTest::newRow("64") << 64 << QMessageBox::Information;
}

void TestForms::messageBoxIcon()
{
    QFETCH(int, style);
    QTEST(forms::messageBoxIcon(style), "icon");
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
