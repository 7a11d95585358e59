#include "EngineTestSupport.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace enginetest;

namespace {

QByteArrayList rawList(const QStringList& names)
{
    QByteArrayList result;
    for (const QString& name : names)
        result.append(raw(name));
    std::sort(result.begin(), result.end());
    return result;
}

}  // namespace

class PassesTest : public QObject {
    Q_OBJECT

private slots:
    // Head, tail, whole-name, empty part and empty replacement over the
    // names of one folder; every listed file counts as examined.
    void newName_data()
    {
        QTest::addColumn<bool>("head");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("renamed");

        QTest::newRow("head, case and width count")
            << true << false << "IMG"
            << "photo"
            << QStringList{"IMG_001.jpg", "img_002.jpg", u"\uFF29\uFF2D\uFF27_003.jpg"_qs}
            << QStringList{"photo_001.jpg", "img_002.jpg", u"\uFF29\uFF2D\uFF27_003.jpg"_qs} << 1;
        QTest::newRow("tail matches the extension")
            << false << false << ".jpeg"
            << ".jpg" << QStringList{"a.jpeg", "b.JPEG"} << QStringList{"a.jpg", "b.JPEG"} << 1;
        QTest::newRow("tail, empty part appends")
            << false << false << ""
            << "_old" << QStringList{"a.txt"} << QStringList{"a.txt_old"} << 1;
        QTest::newRow("head, empty part prepends")
            << true << false << ""
            << "x_" << QStringList{"a.txt"} << QStringList{"x_a.txt"} << 1;
        QTest::newRow("head, empty replacement cuts")
            << true << false << "abc"
            << "" << QStringList{"abcd.txt", "abc"} << QStringList{"d.txt", "abc"} << 1;
        QTest::newRow("tail, empty replacement cuts")
            << false << false << ".txt"
            << "" << QStringList{"a.txt"} << QStringList{"a"} << 1;
        QTest::newRow("shorter than the part never matches")
            << true << false << "abcdef"
            << "x" << QStringList{"abc"} << QStringList{"abc"} << 0;
        QTest::newRow("tail, shorter than the part")
            << false << false << "abcdef"
            << "x" << QStringList{"abc"} << QStringList{"abc"} << 0;
        QTest::newRow("head, equal to the part")
            << true << false << "x.txt"
            << "y.txt" << QStringList{"x.txt"} << QStringList{"y.txt"} << 1;
        QTest::newRow("tail, equal to the part")
            << false << false << "x.txt"
            << "y.txt" << QStringList{"x.txt"} << QStringList{"y.txt"} << 1;
        QTest::newRow("tail, whole name")
            << false << true << ".log"
            << "all.txt" << QStringList{"a.log", "b.txt"} << QStringList{"all.txt", "b.txt"} << 1;
        QTest::newRow("half-width katakana part, full-width result")
            << true << false << u"\uFF83\uFF7D\uFF84"_qs << u"\u30C6\u30B9\u30C8"_qs
            << QStringList{u"\uFF83\uFF7D\uFF84_a.txt"_qs, u"\u30C6\u30B9\u30C8_b.txt"_qs}
            << QStringList{u"\u30C6\u30B9\u30C8_a.txt"_qs, u"\u30C6\u30B9\u30C8_b.txt"_qs} << 1;
        QTest::newRow("full-width letters at the tail")
            << false << false << u"\uFF21\uFF22"_qs << "12"
            << QStringList{u"x\uFF21\uFF22"_qs, "xAB"} << QStringList{"x12", "xAB"} << 1;
        QTest::newRow("tail mode ignores the half-width flag")
            << false << false << ".dat"
            << ".bin" << QStringList{u"\uFF21\uFF22\uFF23.txt"_qs}
            << QStringList{u"\uFF21\uFF22\uFF23.txt"_qs} << 0;
    }
    void newName()
    {
        QFETCH(bool, head);
        QFETCH(bool, whole);
        QFETCH(QString, part);
        QFETCH(QString, replacement);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(int, renamed);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString& name : before)
            makeFile(raw(dir.path() + u'/' + name));
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        configure(job, dir.path(), head, part, replacement);
        job.setIs全置換(whole);
        job.setIsNarrow(!head);  // tail mode must ignore it
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(raw(dir.path())), rawList(after));
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameCount(), renamed);
        QCOMPARE(access.allFileCount(), int(before.size()));
        QVERIFY(boxes.boxes().isEmpty());
    }

    // The second file of a whole-name replacement finds the target taken and
    // keeps its name; nothing is overwritten.
    void wholeNameNeverOverwrites()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFile(base + "/a1.txt", "one");
        makeFile(base + "/a2.txt", "two");
        Cls_FileRename job;
        configure(job, dir.path(), true, "a", "b.txt");
        job.setIs全置換(true);
        QVERIFY(job.PFncBln_FileRename());
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameCount(), 1);
        const QByteArrayList left = names(base);
        QCOMPARE(left.size(), 2);
        QVERIFY(left.contains("b.txt"));
        const QByteArray other = left[0] == "b.txt" ? left[1] : left[0];
        QByteArrayList contents{readFile(base + "/b.txt"), readFile(base + '/' + other)};
        std::sort(contents.begin(), contents.end());
        QCOMPARE(contents, (QByteArrayList{"one", "two"}));
    }

    void halfWidthStep_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("trail");  // old names, in order

        const QString fw1 = u"\uFF11"_qs;  // full-width digit one
        QTest::newRow("match, then narrow") << u"\uFF83\uFF7D\uFF84"_qs << u"\u30C6\u30B9\u30C8"_qs
                                            << QStringList{u"\uFF83\uFF7D\uFF84"_qs + fw1 + ".txt"}
                                            << QStringList{u"\uFF83\uFF7D\uFF84"_qs + "1.txt"}
                                            << QStringList{u"\uFF83\uFF7D\uFF84"_qs + fw1 + ".txt",
                                                           u"\u30C6\u30B9\u30C8"_qs + fw1 + ".txt"};
        QTest::newRow("no match, narrow only")
            << "zzz"
            << "y" << QStringList{u"\uFF21\uFF22\uFF23.txt"_qs} << QStringList{"ABC.txt"}
            << QStringList{u"\uFF21\uFF22\uFF23.txt"_qs};
        QTest::newRow("already narrow: onto its own name fails")
            << "zzz"
            << "y" << QStringList{"abc.txt"} << QStringList{"abc.txt"} << QStringList{};
        QTest::newRow("head target taken: both renames fail")
            << "x"
            << "y" << QStringList{"x1.txt", "y1.txt"} << QStringList{"x1.txt", "y1.txt"}
            << QStringList{};
        QTest::newRow("full-width solidus would become a separator")
            << "zzz"
            << "y" << QStringList{u"a\uFF0Fb.txt"_qs} << QStringList{u"a\uFF0Fb.txt"_qs}
            << QStringList{};
    }
    void halfWidthStep()
    {
        QFETCH(QString, part);
        QFETCH(QString, replacement);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, trail);
        QTemporaryDir dir;
        makeFolder(raw(dir.path() + "/a"));
        for (const QString& name : before)
            makeFile(raw(dir.path() + u'/' + name));
        Cls_FileRename job;
        configure(job, dir.path(), true, part, replacement);
        job.setIsNarrow(true);
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(raw(dir.path())), rawList(after + QStringList{"a"}));
        QVERIFY(names(raw(dir.path() + "/a")).isEmpty());
        QString expected;
        for (const QString& name : trail)
            expected += dir.path() + u'/' + name + "\r\n";
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.reportList(), expected);
        QCOMPARE(access.renameCount(), int(trail.size()));
    }

    // A computed name that is not one path component is refused (52) before
    // anything moves: the file stays in its folder under its name.
    void badComputedName_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("display");
        QTest::newRow("separator, quiet") << false << "a/" << false;
        QTest::newRow("separator, box") << false << "a/" << true;
        QTest::newRow("whole name into the subfolder") << true << "a/b" << true;
        QTest::newRow("whole name dot-dot") << true << ".." << true;
        QTest::newRow("whole name dot") << true << "." << true;
        QTest::newRow("NUL") << false << QStringView(u"x\0y", 3).toString() << true;
    }
    void badComputedName()
    {
        QFETCH(bool, whole);
        QFETCH(QString, replacement);
        QFETCH(bool, display);
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/a");
        makeFile(base + "/b", "mine");
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        configure(job, dir.path(), true, "", replacement);
        job.setIs全置換(whole);
        job.MsgDisplayFlg_Prop(display);
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(base), (QByteArrayList{"a", "b"}));
        QVERIFY(names(base + "/a").isEmpty());
        QCOMPARE(readFile(base + "/b"), QByteArray("mine"));
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameCount(), 0);
        QCOMPARE(job.getReport_FileList(), u"\u306A\u3057"_qs);
        if (!display) {
            QVERIFY(boxes.boxes().isEmpty());
            return;
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 16);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(u"VB Error"_qs));
        QVERIFY(boxes.boxes()[0].prompt.startsWith(u"52 "_qs));
    }

    // With an empty start folder every joined path would be a bare name in
    // the process's current folder.
    void emptyStartFolderRenamesNothing_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("folders");
        QTest::newRow("empty, files") << "" << false;
        QTest::newRow("blanks, files") << "   " << false;
        QTest::newRow("empty, folders") << "" << true;
    }
    void emptyStartFolderRenamesNothing()
    {
        QFETCH(QString, start);
        QFETCH(bool, folders);
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFile(base + "/a.txt");
        makeFolder(base + "/d");
        char previous[4096];
        QVERIFY(::getcwd(previous, sizeof previous));
        QCOMPARE(::chdir(base.constData()), 0);
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        configure(job, start, true, "", "x_");
        job.MsgDisplayFlg_Prop(true);
        const bool result = folders ? job.PFncBln_DirectoryRename() : job.PFncBln_FileRename();
        QCOMPARE(::chdir(previous), 0);
        QVERIFY(!result);
        QCOMPARE(names(base), (QByteArrayList{"a.txt", "d"}));
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameCount(), 0);
        QCOMPARE(access.allFileCount(), 0);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 16);
    }

    // Names that are not valid UTF-8 are renamed byte for byte, and the trail
    // holds their old paths losslessly.
    void nonUtf8Names()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFile(base + "/IMG_\xff.jpeg", "ff");
        makeFile(base + "/\xe3\x81.jpeg", "cut");
        Cls_FileRename job;
        configure(job, dir.path(), false, ".jpeg", ".jpg");
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(base), (QByteArrayList{"IMG_\xff.jpg", "\xe3\x81.jpg"}));
        QCOMPARE(readFile(base + "/IMG_\xff.jpg"), QByteArray("ff"));
        QStringList lines = job.getReport_FileList().split(u"\r\n"_qs, Qt::SkipEmptyParts);
        QByteArrayList rawLines;
        for (const QString& line : lines)
            rawLines.append(raw(line));
        std::sort(rawLines.begin(), rawLines.end());
        QCOMPARE(rawLines, (QByteArrayList{base + "/IMG_\xff.jpeg", base + "/\xe3\x81.jpeg"}));
        // QTemporaryDir cannot remove names it cannot decode.
        for (const QByteArray& name : names(base))
            QCOMPARE(::unlink((base + '/' + name).constData()), 0);
    }

    // The descent never follows a link: a loop back to the start folder ends,
    // and a link leading out of the tree leaves that folder untouched.
    void symbolicLinksAreNotFollowed()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/start");
        makeFolder(base + "/start/sub");
        makeFolder(base + "/outside");
        makeFolder(base + "/outside/old_far");
        makeFile(base + "/start/a.jpeg");
        makeFile(base + "/start/sub/b.jpeg");
        makeFile(base + "/outside/c.jpeg");
        makeLink("..", base + "/start/sub/loop");
        makeLink(base + "/outside", base + "/start/old_out");

        Cls_FileRename files;
        configure(files, dir.path() + "/start", false, ".jpeg", ".jpg");
        files.setIsNoAnderTheWorld(false);
        QVERIFY(files.PFncBln_FileRename());
        QCOMPARE(names(base + "/start"), (QByteArrayList{"a.jpg", "old_out", "sub"}));
        QCOMPARE(names(base + "/start/sub"), (QByteArrayList{"b.jpg", "loop"}));
        QCOMPARE(names(base + "/outside"), (QByteArrayList{"c.jpeg", "old_far"}));
        QCOMPARE(Cls_FileRenameTestAccess(files).allFileCount(), 2);

        Cls_FileRename folders;
        configure(folders, dir.path() + "/start", true, "old_", "new_");
        folders.setIsNoAnderTheWorld(false);
        QVERIFY(folders.PFncBln_DirectoryRename());
        QCOMPARE(names(base + "/start"), (QByteArrayList{"a.jpg", "old_out", "sub"}));
        QCOMPARE(names(base + "/outside"), (QByteArrayList{"c.jpeg", "old_far"}));
        QCOMPARE(Cls_FileRenameTestAccess(folders).allFileCount(), 1);
    }

    // Descent is off by default; with it, every visited folder's files count
    // whatever the filters said, and hidden files are not listed.
    void descentAndCounting()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/s");
        makeFolder(base + "/s/t");
        makeFile(base + "/a.jpeg");
        makeFile(base + "/.hidden.jpeg");
        makeFile(base + "/keep.txt");
        makeFile(base + "/s/b.jpeg");
        makeFile(base + "/s/t/c.jpeg");
        makeFile(base + "/s/t/d.skip.jpeg");

        Cls_FileRename stay;
        configure(stay, dir.path(), false, ".jpeg", ".jpg");
        QVERIFY(stay.PFncBln_FileRename());
        QCOMPARE(names(base + "/s"), (QByteArrayList{"b.jpeg", "t"}));
        QCOMPARE(Cls_FileRenameTestAccess(stay).allFileCount(), 2);

        Cls_FileRename deep;
        configure(deep, dir.path(), false, ".jpeg", ".jpg");
        deep.setIsNoAnderTheWorld(false);
        deep.setFilter_AddExtension("skip.jpeg");
        QVERIFY(deep.PFncBln_FileRename());
        QCOMPARE(names(base + "/s"), (QByteArrayList{"b.jpg", "t"}));
        QCOMPARE(names(base + "/s/t"), (QByteArrayList{"c.jpg", "d.skip.jpeg"}));
        QVERIFY(exists(base + "/.hidden.jpeg"));
        Cls_FileRenameTestAccess access(deep);
        QCOMPARE(access.allFileCount(), 5);
        QCOMPARE(access.renameCount(), 2);  // s/b and s/t/c; a.jpg was done by the first job
        QCOMPARE(access.reportList(),
                 dir.path() + "/s/b.jpeg\r\n" + dir.path() + "/s/t/c.jpeg\r\n");
    }

    void folderList()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/BAK");
        makeFolder(base + "/BAK/inner");
        makeFolder(base + "/work");
        makeFile(base + "/BAK/a.jpeg");
        makeFile(base + "/BAK/inner/b.jpeg");
        makeFile(base + "/work/c.jpeg");

        Cls_FileRename job;
        configure(job, dir.path(), false, ".jpeg", ".jpg");
        job.setIsNoAnderTheWorld(false);
        job.setFilter_AddFolder("bak");
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(base + "/BAK"), (QByteArrayList{"a.jpeg", "inner"}));
        QCOMPARE(names(base + "/BAK/inner"), (QByteArrayList{"b.jpeg"}));
        QCOMPARE(names(base + "/work"), (QByteArrayList{"c.jpg"}));
        QCOMPARE(Cls_FileRenameTestAccess(job).allFileCount(), 1);

        // The start folder itself listed: nothing is examined, yet success.
        Cls_FileRename start;
        configure(start, dir.path() + "/BAK", false, ".jpeg", ".jpg");
        start.setIsNoAnderTheWorld(false);
        start.setFilter_AddFolder("Bak");
        QVERIFY(start.PFncBln_FileRename());
        QCOMPARE(names(base + "/BAK"), (QByteArrayList{"a.jpeg", "inner"}));
        QCOMPARE(Cls_FileRenameTestAccess(start).allFileCount(), 0);

        // A listed folder is not entered, but its parent may rename it.
        Cls_FileRename folders;
        configure(folders, dir.path(), true, "", "x_");
        folders.setFilter_AddFolder("BAK");
        QVERIFY(folders.PFncBln_DirectoryRename());
        QCOMPARE(names(base), (QByteArrayList{"x_BAK", "x_work"}));
        QCOMPARE(names(base + "/x_BAK"), (QByteArrayList{"a.jpeg", "inner"}));
    }

    void directoryPassDescendsIntoRenamedFolder()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/old_a");
        makeFolder(base + "/old_a/old_b");
        makeFile(base + "/old_a/old_file");
        Cls_FileRename job;
        configure(job, dir.path(), true, "old_", "new_");
        job.setIsNoAnderTheWorld(false);
        QVERIFY(job.PFncBln_DirectoryRename());
        QCOMPARE(names(base), (QByteArrayList{"new_a"}));
        QCOMPARE(names(base + "/new_a"), (QByteArrayList{"new_b", "old_file"}));
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameCount(), 2);
        QCOMPARE(access.allFileCount(), 2);
        QCOMPARE(access.reportList(), dir.path() + "/old_a\r\n" + dir.path() + "/new_a/old_b\r\n");
        QVERIFY(access.isDirectoryRename());
    }

    // A second run adds to the counters and the trail; the last successful
    // run decides the wording, and a failed run changes nothing of it.
    void twoRunsOnOneJob()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/d1");
        makeFile(base + "/f1");
        Cls_FileRename job;
        configure(job, dir.path(), true, "", "x");
        QVERIFY(job.PFncBln_DirectoryRename());
        QVERIFY(job.PFncBln_FileRename());
        Cls_FileRenameTestAccess access(job);
        QVERIFY(!access.isDirectoryRename());
        QCOMPARE(access.renameCount(), 2);
        QCOMPARE(access.allFileCount(), 2);
        QCOMPARE(job.getReport_FileList(), dir.path() + "/d1\r\n" + dir.path() + "/f1\r\n");
        QCOMPARE(names(base), (QByteArrayList{"xd1", "xf1"}));

        job.setProp_PathFrom(QString());
        QVERIFY(!job.PFncBln_DirectoryRename());
        QVERIFY(!access.isDirectoryRename());
        QVERIFY(job.GetStr_Report().startsWith(u"\u30D5\u30A1\u30A4\u30EB"_qs));
    }

    void renameFileRefusesBareNamesOnly_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("plain") << "b" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("separator") << "sub/b" << false;
        QTest::newRow("dot-dot") << ".." << false;
        QTest::newRow("leading dot is a name") << ".b" << true;
    }
    void renameFileRefusesBareNamesOnly()
    {
        QFETCH(QString, newName);
        QFETCH(bool, renamed);
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/sub");
        makeFile(base + "/a");
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.renameFile(dir.path(), "a", newName), renamed);
        QCOMPARE(exists(base + "/a"), !renamed);
        QVERIFY(names(base + "/sub").isEmpty());
        QCOMPARE(access.renameCount(), renamed ? 1 : 0);
    }
};

int runPassesTests(int argc, char** argv)
{
    PassesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Passes.moc"
