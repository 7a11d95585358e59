#include "tst_Forms.h"

#include "FsFixture.h"
#include "forms/ListBoxes.h"
#include "runtime/VbError.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

void TestForms::fileListNormalFilesSorted()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    for (const char* name : {"b.txt", "a.txt", "C.txt", ".hidden", "z"})
        QVERIFY(fsfixture::makeFile(root + QLatin1Char('/') + QLatin1String(name)));
    QVERIFY(fsfixture::makeFolder(root + QStringLiteral("/sub")));
    QVERIFY(fsfixture::makeLink("a.txt", fsfixture::bytes(root + QStringLiteral("/to-file"))));
    QVERIFY(fsfixture::makeLink("sub", fsfixture::bytes(root + QStringLiteral("/to-folder"))));
    QVERIFY(fsfixture::makeLink("nowhere", fsfixture::bytes(root + QStringLiteral("/dangling"))));

    forms::FileListBox box;
    box.setPath(root);
    QCOMPARE(box.Path(), root);
    QStringList names;
    for (int i = 0; i < box.ListCount(); ++i)
        names.append(box.List(i));
    QCOMPARE(names, (QStringList{"C.txt", "a.txt", "b.txt", "to-file", "z"}));
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.List(box.ListCount()), QString());
    QCOMPARE(box.List(-1), QString());

    box.setListIndex(2);
    QCOMPARE(box.ListIndex(), 2);
    QVERIFY(fsfixture::makeFile(root + QStringLiteral("/0.txt")));
    box.Refresh();
    QCOMPARE(box.ListCount(), 6);
    QCOMPARE(box.List(box.ListIndex()), QStringLiteral("b.txt"));  // follows its name
    box.setListIndex(-1);
    QCOMPARE(box.ListIndex(), -1);
    QVERIFY_THROWS_EXCEPTION(rt::VbError, box.setListIndex(6));
}

void TestForms::fileListMissingFolderKeepsListing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(fsfixture::makeFile(dir.path() + QStringLiteral("/kept.txt")));
    forms::FileListBox box;
    box.setPath(dir.path());
    for (const QString& bad :
         {dir.path() + QStringLiteral("/missing"), dir.path() + QStringLiteral("/kept.txt")}) {
        try {
            box.setPath(bad);
            QFAIL("a missing folder was listed");
        } catch (const rt::VbError& error) {
            QCOMPARE(error.number(), rt::kPathNotFound);
        }
    }
    QCOMPARE(box.Path(), dir.path());
    QCOMPARE(box.ListCount(), 1);
    QCOMPARE(box.List(0), QStringLiteral("kept.txt"));

    // An empty folder is not an error.
    QVERIFY(fsfixture::makeFolder(dir.path() + QStringLiteral("/empty")));
    box.setPath(dir.path() + QStringLiteral("/empty"));
    QCOMPARE(box.ListCount(), 0);
}

void TestForms::fileListNamesNotUtf8()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray odd = fsfixture::bytes(dir.path()) + "/r\xE9sum\xE9.txt";
    const fsfixture::RemoveOnExit cleanup(odd);
    QVERIFY(fsfixture::makeFile(odd));
    forms::FileListBox box;
    box.setPath(dir.path());
    QCOMPARE(box.ListCount(), 1);
    QCOMPARE(rt::encodeName(dir.path() + QLatin1Char('/') + box.List(0)), odd);
}

void TestForms::fileListDoubleClick()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        QVERIFY(fsfixture::makeFile(dir.path() + QLatin1Char('/') + QLatin1String(name)));
    forms::FileListBox box;
    box.resize(200, 200);
    box.setPath(dir.path());
    box.show();
    int indexSeen = -2;
    QObject::connect(&box, &forms::FileListBox::DblClick, [&] { indexSeen = box.ListIndex(); });
    const QPoint at = box.visualRect(box.model()->index(1, 0)).center();
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(indexSeen, 1);
    // Below the last entry nothing is double-clicked.
    indexSeen = -2;
    const QPoint empty(5, box.viewport()->height() - 2);
    QVERIFY(!box.indexAt(empty).isValid());
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, empty);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(indexSeen, -2);
}

void TestForms::fileListHundredThousandFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray base = fsfixture::bytes(dir.path()) + '/';
    constexpr int kCount = 100000;
    for (int i = 0; i < kCount; ++i)
        QVERIFY(fsfixture::makeFile(base + QByteArray::number((i * 7919) % kCount) + ".dat"));
    forms::FileListBox box;
    box.resize(300, 400);
    box.show();
    box.setPath(dir.path());
    QCoreApplication::processEvents();
    QCOMPARE(box.ListCount(), kCount);
    QStringList names;
    names.reserve(kCount);
    for (int i = 0; i < kCount; ++i)
        names.append(box.List(i));
    QVERIFY(std::is_sorted(names.begin(), names.end()));
    QCOMPARE(names.removeDuplicates(), 0);
    QCOMPARE(box.List(0), QStringLiteral("0.dat"));
    QCOMPARE(box.List(kCount - 1), QStringLiteral("99999.dat"));
}
