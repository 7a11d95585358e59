#include "tst_Forms.h"

#include "forms/Interaction.h"
#include "runtime/NameCodec.h"

#include <QMimeData>
#include <QTest>

namespace {

QStringList dropOf(const QByteArray& uriList)
{
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uriList);
    return forms::droppedFiles(&data);
}

}  // namespace

void TestForms::droppedFiles_data()
{
    QTest::addColumn<QByteArray>("uriList");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one file") << QByteArray("file:///work/report.txt\r\n")
                              << QStringList{"/work/report.txt"};
    QTest::newRow("several in order, comments skipped")
        << QByteArray("# from a file manager\r\nfile:///b/z.txt\r\nfile:///a/y.txt\r\n"
                      "file:///c/x.txt")
        << QStringList{"/b/z.txt", "/a/y.txt", "/c/x.txt"};
    QTest::newRow("localhost") << QByteArray("file://localhost/tmp/a%20b.txt\r\n")
                               << QStringList{"/tmp/a b.txt"};
    QTest::newRow("utf-8 escapes") << QByteArray("file:///tmp/%E3%83%95%E3%82%A1.txt\n")
                                   << QStringList{QStringLiteral("/tmp/ファ.txt")};
    QTest::newRow("escaped percent and hash")
        << QByteArray("file:///tmp/100%25%23.txt\r\n") << QStringList{"/tmp/100%#.txt"};
    QTest::newRow("folder with trailing separator")
        << QByteArray("file:///tmp/dir/\r\n") << QStringList{"/tmp/dir"};
    QTest::newRow("root") << QByteArray("file:///\r\n") << QStringList{"/"};
    QTest::newRow("other host and scheme skipped")
        << QByteArray("file://elsewhere.example/x\r\nhttps://example.com/y\r\nfile:///z\r\n")
        << QStringList{"/z"};
    QTest::newRow("nothing local") << QByteArray("https://example.com/\r\n") << QStringList{};
}

void TestForms::droppedFiles()
{
    QFETCH(QByteArray, uriList);
    QFETCH(QStringList, expected);
    QCOMPARE(dropOf(uriList), expected);
}

void TestForms::droppedFilesKeepsBytesThatAreNotUtf8()
{
    const QStringList files = dropOf("file:///tmp/a%FFb/%E3%81%82%FE.txt\r\nfile:///tmp/plain\r\n");
    QCOMPARE(files.size(), 2);
    QCOMPARE(rt::encodeName(files.at(0)), QByteArray("/tmp/a\xFF"
                                                     "b/\xE3\x81\x82\xFE.txt"));
    QVERIFY(!files.at(0).contains(QChar(QChar::ReplacementCharacter)));
    QCOMPARE(files.at(1), QStringLiteral("/tmp/plain"));
}

void TestForms::droppedFilesWithoutUriList()
{
    QMimeData text;
    text.setText(QStringLiteral("/tmp/not-a-drop.txt"));
    QVERIFY(forms::droppedFiles(&text).isEmpty());
    QVERIFY(forms::droppedFiles(nullptr).isEmpty());
}
