#include "EngineTestSupport.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace enginetest;

namespace {

// The texts spelled by code point: U+3000 ideographic space, U+FF1A
// full-width colon, U+3010/U+3011 lenticular brackets, half-width katakana.
const QString kFile = u"\u30D5\u30A1\u30A4\u30EB"_qs;                   // ファイル
const QString kDir = u"\uFF83\uFF9E\uFF68\uFF9A\uFF78\uFF84\uFF98"_qs;  // ﾃﾞｨﾚｸﾄﾘ
const QString kOpen = u"\uFF1A\u3010 "_qs;
const QString kClose = u" \u3011\r\n"_qs;
const QString kRule = QString(49, u'-') + "\r\n";

QString summary(const QString& word, int renamed, int all)
{
    return word + u"\u540D\u5909\u66F4\u3092\u7D42\u3048\u307E\u3057\u305F\u3002\r\n"_qs + kRule +
           u"\u5909\u66F4\u3057\u305F"_qs + word + u"\u306E\u6570\u3000"_qs + kOpen +
           QString::number(renamed) + kClose + "\r\n" + u"\u6307\u5B9A"_qs + kDir +
           u"\u914D\u4E0B\u306E\u5168"_qs + word + u"\u6570"_qs + kOpen + QString::number(all) +
           kClose;
}

QString listSummary(int total, int chosen, int all)
{
    return kFile + u"\u30EA\u30B9\u30C8\u3092\u4F5C\u6210\u3057\u307E\u3057\u305F\u3002\r\n"_qs +
           kRule + u"\u6761\u4EF6\u9078\u5B9A\u5BFE\u8C61\u306E"_qs + kFile + u"\u6570"_qs + kOpen +
           QString::number(total) + kClose + u"\u5BFE\u8C61\u3068\u306A\u3063\u305F"_qs + kFile +
           u"\u306E\u6570"_qs + kOpen + QString::number(chosen) + kClose + "\r\n" +
           u"\u6307\u5B9A"_qs + kDir + u"\u914D\u4E0B\u306E\u5168"_qs + kFile + u"\u6570"_qs +
           kOpen + QString::number(all) + kClose;
}

}  // namespace

class ReportAndCopyTest : public QObject {
    Q_OBJECT

private slots:
    void newJob()
    {
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        QVERIFY(access.isHeadMode());
        QVERIFY(access.staysInStartFolder());
        QVERIFY(!access.isNarrow());
        QVERIFY(!job.MsgDisplayFlg_Prop());
        job.MsgDisplayFlg_Prop(true);
        QVERIFY(job.MsgDisplayFlg_Prop());
        QCOMPARE(job.getReport_FileList(), u"\u306A\u3057"_qs);
        QCOMPARE(job.GetStr_Report(), summary(kFile, 0, 0));
        QCOMPARE(job.GetStr_Reportリスト作成(), listSummary(0, 0, 0));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void fileRunSummary()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 10; ++i)
            makeFile(raw(dir.path() + QStringLiteral("/%1.%2").arg(i).arg(i < 3 ? "jpeg" : "png")));
        Cls_FileRename job;
        configure(job, dir.path(), false, ".jpeg", ".jpg");
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(job.GetStr_Report(), summary(kFile, 3, 10));
        QCOMPARE(job.GetStr_Reportリスト作成(), listSummary(3, 3, 10));
    }

    void directoryRunSummary()
    {
        QTemporaryDir dir;
        makeFolder(raw(dir.path() + "/a"));
        makeFolder(raw(dir.path() + "/b"));
        Cls_FileRename job;
        configure(job, dir.path(), true, "a", "c");
        QVERIFY(job.PFncBln_DirectoryRename());
        const QString text = job.GetStr_Report();
        QCOMPARE(text, summary(kDir, 1, 2));
        QVERIFY(!text.contains(kFile));
        QCOMPARE(text.count(kDir), 4);
    }

    void trailLines()
    {
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        access.addReportLine("");
        QCOMPARE(job.getReport_FileList(), u"\r\n"_qs);
        access.addReportLine("/a/x.txt");
        access.addReportLine("/a/y.txt");
        QCOMPARE(job.getReport_FileList(), u"\r\n/a/x.txt\r\n/a/y.txt\r\n"_qs);
    }

    void listSummaryOverflow()
    {
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        access.setRenameCount(std::numeric_limits<std::int32_t>::max() - 1);
        access.setRejectedCount(1);
        QVERIFY(job.GetStr_Reportリスト作成().contains(QString::number(INT32_MAX)));
        access.setRejectedCount(2);
        try {
            job.GetStr_Reportリスト作成();
            QFAIL("no overflow raised");
        } catch (const rt::VbError& error) {
            QCOMPARE(error.number(), 6);
        }
        QCOMPARE(access.renameCount(), INT32_MAX - 1);
    }

    void firstInitBoxes()
    {
        MsgBoxRecorder boxes;
        Cls_FileRename quiet;
        Cls_FileRenameTestAccess quietAccess(quiet);
        QVERIFY(!quietAccess.checkFirstInit());
        QVERIFY(boxes.boxes().isEmpty());

        Cls_FileRename job;
        job.MsgDisplayFlg_Prop(true);
        Cls_FileRenameTestAccess access(job);
        QVERIFY(!access.checkFirstInit());
        QCOMPARE(boxes.boxes().size(), 1);
        const MsgBoxRecorder::Box box = boxes.boxes()[0];
        QCOMPARE(box.style, 16);
        QCOMPARE(box.title, std::optional<QString>(u"\u8A2D\u5B9A\u30DF\u30B9"_qs));
        QCOMPARE(
            box.prompt,
            u"\u521D\u671F\u8A2D\u5B9A\u304C\u884C\u308F\u308C\u3066\u304A\u308A\u307E\u305B\u3093"
            u"\u3002\r\n"
            u"\u4EE5\u4E0B\u306E\u30E1\u30BD\u30C3\u30C9\u3092\u307E\u305A\u5B9F\u884C\u3057\u3066\u304F\u3060\u3055\u3044\r\n"_qs +
                u'*' + QString(40, u'-') + u"*\r\nName : [ PFncBln_FirstInit ]"_qs);
        QVERIFY(job.PFncBln_FirstInit());
        QVERIFY(access.checkFirstInit());
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void copyDestination_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mapped");
        QTest::newRow("nested") << "/src"
                                << "/dst"
                                << "/src/a/b.txt"
                                << "/dst/a/b.txt";
        QTest::newRow("destination with separator") << "/src"
                                                    << "/dst/"
                                                    << "/src/a/b.txt"
                                                    << "/dst/a/b.txt";
        QTest::newRow("every occurrence goes") << "/src"
                                               << "/dst"
                                               << "/src/x/src/y"
                                               << "/dst/x/y";
        QTest::newRow("triple separators") << "/src"
                                           << "/dst//"
                                           << "/src/a"
                                           << "/dst/a";
        QTest::newRow("case counts") << "/src"
                                     << "/dst"
                                     << "/SRC/a"
                                     << "/dst/SRC/a";
    }
    void copyDestination()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, path);
        QFETCH(QString, mapped);
        Cls_FileRename job;
        job.setProp_PathFrom(from);
        job.setProp_PathTo(to);
        QCOMPARE(Cls_FileRenameTestAccess(job).copyDestPath(path), mapped);
    }

    // Newer-only copying: a missing or older destination is replaced by the
    // source, a newer or equal one turns the copy down.
    void copyIfNewer_data()
    {
        QTest::addColumn<bool>("newOnly");
        QTest::addColumn<int>("destinationAge");  // -1 older, 0 same, 1 newer, 2 missing
        QTest::addColumn<bool>("copied");
        QTest::newRow("missing") << true << 2 << true;
        QTest::newRow("older") << true << -1 << true;
        QTest::newRow("same time") << true << 0 << false;
        QTest::newRow("newer") << true << 1 << false;
        QTest::newRow("always, newer") << false << 1 << true;
    }
    void copyIfNewer()
    {
        QFETCH(bool, newOnly);
        QFETCH(int, destinationAge);
        QFETCH(bool, copied);
        QTemporaryDir dir;
        const QString source = dir.path() + "/src.txt";
        const QString destination = dir.path() + "/dst.txt";
        makeFile(raw(source), "new");
        const QDateTime when = local(2010, 5, 5, 10, 0, 0);
        setStamp(raw(source), when);
        if (destinationAge != 2) {
            makeFile(raw(destination), "old");
            setStamp(raw(destination), when.addSecs(destinationAge * 60));
        }
        Cls_FileRename job;
        job.setFilter_IsNewDate(newOnly);
        job.setIsNoAnderTheWorld(false);
        Cls_FileRenameTestAccess access(job);
        access.copyFileIfNewer(source, destination, "shown");
        const QByteArray expected = copied ? "new" : destinationAge == 2 ? "<missing>" : "old";
        QCOMPARE(readFile(raw(destination)), expected);
        QCOMPARE(access.renameCount(), copied ? 1 : 0);
        QCOMPARE(access.rejectedCount(), copied ? 0 : 1);
        QCOMPARE(access.reportList(), copied ? source + "\r\n" : QString());
    }

    // Staying in the start folder, the facility only lists what it would copy.
    void copyListsOnly()
    {
        QTemporaryDir dir;
        const QString source = dir.path() + "/src.txt";
        makeFile(raw(source), "x");
        Cls_FileRename job;
        job.setIsNoPath(true);
        Cls_FileRenameTestAccess access(job);
        access.prepareCopyFolder(dir.path() + "/made/deeper");
        access.copyFileIfNewer(source, dir.path() + "/dst.txt", "shown");
        QCOMPARE(names(raw(dir.path())), (QByteArrayList{"src.txt"}));
        QCOMPARE(access.renameCount(), 1);
        QCOMPARE(job.getReport_FileList(), u"shown\r\n"_qs);

        job.setIsNoAnderTheWorld(false);
        access.prepareCopyFolder(dir.path() + "/made/deeper");
        QVERIFY(exists(raw(dir.path() + "/made/deeper")));
    }

    void copyFailuresAreNotCounted()
    {
        QTemporaryDir dir;
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        job.setIsNoAnderTheWorld(false);
        job.MsgDisplayFlg_Prop(true);
        Cls_FileRenameTestAccess access(job);
        access.copyFileIfNewer(dir.path() + "/missing", dir.path() + "/dst", "shown");
        QCOMPARE(access.renameCount(), 0);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(u"VB Error"_qs));

        // A count past the 32-bit range is an overflow of that copy.
        makeFile(raw(dir.path() + "/src"), "x");
        access.setRenameCount(INT32_MAX);
        access.copyFileIfNewer(dir.path() + "/src", dir.path() + "/dst", "shown");
        QCOMPARE(access.renameCount(), INT32_MAX);
        QCOMPARE(job.getReport_FileList(), u"\u306A\u3057"_qs);
        QCOMPARE(boxes.boxes().size(), 2);
        QVERIFY(boxes.boxes()[1].prompt.startsWith(u"6 "_qs));
    }
};

int runReportAndCopyTests(int argc, char** argv)
{
    ReportAndCopyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ReportAndCopy.moc"
