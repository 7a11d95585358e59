#include "EngineTestSupport.h"
#include "support/ErrorNumber.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// One run's settings: the part `from` at the head (or the tail) becomes
// `to`; `start` is relative to the scratch folder unless `asGiven` hands it
// to the job unchanged.
struct Setup {
    bool folders = false;
    bool tail = false;
    QString from{};
    QString to{};
    bool whole = false;
    bool narrow = false;
    bool deep = false;
    QString start{};
    bool asGiven = false;
    QStringList extensions{};
    QStringList skipFolders{};
    QString newerThan{};
};

}  // namespace

Q_DECLARE_METATYPE(Setup)

class PassesTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
    // One run over a scratch tree. Expected: the renames in order, as
    // "old>new" paths (a folder's rename carries its contents along; the old
    // paths make the trail), the examined count, and the start of the one box
    // shown (empty: display off, no box). Everything else stays as it was.
    void run_data()
    {
        QTest::addColumn<Setup>("s");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("renames");
        QTest::addColumn<int>("all");
        QTest::addColumn<QString>("box");
        const auto row = [](const char* name, const Setup& s, const QStringList& before,
                            const QStringList& renames, int all, const QString& box = QString()) {
            QTest::newRow(name) << s << before << renames << all << box;
        };
        // Head and tail, whole names, descent and links are the differential
        // test's, on random trees. Here: the trail of a name that is not
        // UTF-8 holds the old path losslessly.
        const QString undecodable = rt::decodeName("IMG_\xff\xe3\x81.jpeg");
        row("non-UTF-8 name", {.tail = true, .from = ".jpeg", .to = ".jpg"}, {undecodable},
            {undecodable + ">" + undecodable.chopped(4) + "jpg"}, 1);
        row("tail ignores the half-width step", {.tail = true, .from = "x", .narrow = true},
            {u"ＡＢＣ"_qs}, {}, 1);
        // The half-width step follows under the name the first rename left.
        const Setup narrow{.from = u"ﾃｽﾄ"_qs, .to = u"テスト"_qs, .narrow = true};
        row("match, then narrow", narrow, {u"ﾃｽﾄ１"_qs},
            {u"ﾃｽﾄ１>テスト１"_qs, u"テスト１>ﾃｽﾄ1"_qs}, 1);
        row("narrow only", narrow, {u"ＡＢＣ"_qs}, {u"ＡＢＣ>ABC"_qs}, 1);
        // ／ narrows to the separator: the file would move into folder "a".
        row("full-width solidus", narrow, {"a/", u"a／b"_qs}, {}, 1);
        // A computed name that is not one path component is refused (52).
        row("separator, box", {.to = "a/"}, {"a/", "b"}, {}, 1, "52 ");
        row("NUL", {.to = QStringView(u"x\0y", 3).toString()}, {"b"}, {}, 1, "52 ");
        // Paths under an empty start folder would resolve in the current one.
        row("empty start", {.to = "x", .asGiven = true}, {"a", "d/"}, {}, 0, "76 ");
        row("blank start", {.to = "x", .start = "  ", .asGiven = true}, {"a"}, {}, 0, "76 ");
        row("empty start, folders", {.folders = true, .to = "x", .asGiven = true}, {"d/"}, {}, 0,
            "76 ");
        // Blanks at either end of a folder's name are part of it: the run
        // works in that folder, never in its namesake without them.
        const Setup prefix{.to = "x_", .start = "s "};
        const QStringList twins{"s/", "s/g.txt", "s /", "s /g.txt"};
        row("blank-ended start", prefix, twins, {"s /g.txt>s /x_g.txt"}, 1);
        // In a subfolder too; only one twin holds a matching name, so the
        // listing order of the twins does not matter.
        const Setup prefixDeep{.from = "b", .to = "x_b", .deep = true, .start = "t"};
        row("blank-ended subfolder", prefixDeep,
            {"t/", "t/sub/", "t/sub/a.txt", "t/sub /", "t/sub /b.txt"},
            {"t/sub /b.txt>t/sub /x_b.txt"}, 2);
        const Setup oldNew{.folders = true, .from = "old_", .to = "new_", .start = "s "};
        row("folders, blank-ended start", oldNew, {"s/", "s/old_d/", "s /", "s /old_d/"},
            {"s /old_d>s /new_d"}, 1);
        Setup oldNewDeep = oldNew;
        oldNewDeep.deep = true;
        oldNewDeep.start = "t";
        row("folders, blank-ended subfolder", oldNewDeep,
            {"t/", "t/sub/", "t/sub/keep/", "t/sub /", "t/sub /old_a/"},
            {"t/sub /old_a>t/sub /new_a"}, 4);
        // Hidden files are not listed; a file the extension filter rejects
        // still counts as examined; a listed folder (any case) is not entered.
        const Setup jpeg{.tail = true, .from = ".jpeg", .to = ".jpg"};
        Setup filtered = jpeg;
        filtered.deep = true;
        filtered.extensions = {"skip.JPEG"};
        filtered.skipFolders = {"bak"};
        const QStringList deepTree{"a.jpeg", ".h.jpeg",         "s/",   "s/b.jpeg",
                                   "s/t/",   "s/t/c.skip.jpeg", "BAK/", "BAK/e.jpeg"};
        row("descent with filters", filtered, deepTree, {"a.jpeg>a.jpg", "s/b.jpeg>s/b.jpg"}, 3);
        row("date filter", {.to = "x", .newerThan = "20991231"}, {"a"}, {}, 1);
    }
    void run()
    {
        QFETCH(Setup, s);
        QFETCH(QStringList, before);
        QFETCH(QStringList, renames);
        QFETCH(int, all);
        QFETCH(QString, box);
        QTemporaryDir dir;
        make(dir.path(), before);
        const QString start =
            s.asGiven ? s.start : dir.path() + (s.start.isEmpty() ? QString() : u'/' + s.start);
        char previous[4096];
        QVERIFY(::getcwd(previous, sizeof previous));
        QCOMPARE(::chdir(raw(dir.path()).constData()), 0);  // where bare names would land
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        configure(job, start, !s.tail, s.from, s.to);
        job.setIs全置換(s.whole);
        job.setIsNarrow(s.narrow);
        if (s.deep)
            job.setIsNoAnderTheWorld(false);
        for (const QString& extension : s.extensions)
            job.setFilter_AddExtension(extension);
        for (const QString& folder : s.skipFolders)
            job.setFilter_AddFolder(folder);
        if (!s.newerThan.isEmpty())
            job.setFilter_SetDateIsNewerThanFileDate(s.newerThan);
        job.MsgDisplayFlg_Prop(!box.isEmpty());
        const bool done = s.folders ? job.PFncBln_DirectoryRename() : job.PFncBln_FileRename();
        QCOMPARE(::chdir(previous), 0);
        QCOMPARE(done, !s.asGiven);
        QStringList after = before.replaceInStrings(QRegularExpression(">.*"), QString());
        QString trail;
        for (const QString& rename : renames) {
            const QString old = rename.section(u'>', 0, 0);
            trail += dir.path() + u'/' + old + "\r\n";
            for (QString& entry : after) {
                if (entry == old || entry.startsWith(old + u'/'))
                    entry = rename.section(u'>', 1) + entry.mid(old.size());
            }
        }
        QCOMPARE(tree(dir.path()), sorted(after));
        QCOMPARE(job.getReport_FileList(), renames.isEmpty() ? u"なし"_qs : trail);
        const Cls_FileRenameTestAccess access{job};
        QCOMPARE(access.renameCount(), renames.size());
        QCOMPARE(access.allFileCount(), all);
        const QStringList shown = boxes.shown();
        QVERIFY2(box.isEmpty() ? shown.isEmpty()
                               : shown.size() == 1 && shown[0].startsWith("16|VB Error|" + box),
                 qPrintable(shown.join(u'\n')));
        removeTree(dir.path());
    }

    // A directory run, then a file run on the same job: the counters and the
    // trail add up, the last successful run decides the wording, and a failed
    // run changes nothing of it.
    void twoRunsAndTheirSummaries()
    {
        QTemporaryDir dir;
        make(dir.path(), {"d/", "f"});
        Cls_FileRename job;
        configure(job, dir.path(), true, "", "x");
        QVERIFY(job.PFncBln_DirectoryRename());
        QCOMPARE(job.GetStr_Report(), u"ﾃﾞｨﾚｸﾄﾘ名変更を終えました。\r\n"
                                      u"-------------------------------------------------\r\n"
                                      u"変更したﾃﾞｨﾚｸﾄﾘの数　：【 1 】\r\n\r\n"
                                      u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ﾃﾞｨﾚｸﾄﾘ数：【 1 】\r\n"_qs);
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(tree(dir.path()), (QStringList{"xd/", "xf"}));
        QCOMPARE(job.getReport_FileList(), dir.path() + "/d\r\n" + dir.path() + "/f\r\n");
        const QString files = u"ファイル名変更を終えました。\r\n"
                              u"-------------------------------------------------\r\n"
                              u"変更したファイルの数　：【 2 】\r\n\r\n"
                              u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 2 】\r\n"_qs;
        QCOMPARE(job.GetStr_Report(), files);
        QCOMPARE(job.GetStr_Reportリスト作成(),
                 u"ファイルリストを作成しました。\r\n"
                 u"-------------------------------------------------\r\n"
                 u"条件選定対象のファイル数：【 2 】\r\n"
                 u"対象となったファイルの数：【 2 】\r\n\r\n"
                 u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 2 】\r\n"_qs);
        job.setProp_PathFrom(QString());
        QVERIFY(!job.PFncBln_DirectoryRename());
        QCOMPARE(job.GetStr_Report(), files);
    }

    // The half-width step on a name that is already half-width: without
    // boxes no rename onto itself is issued; with them it is, and its box
    // shows (58) as before. Either way only ＡＢＣ is counted.
    void narrowOntoItself()
    {
        for (const bool display : {false, true}) {
            QTemporaryDir dir;
            make(dir.path(), {"abc", u"ＡＢＣ"_qs});
            StepLog log;
            MsgBoxRecorder boxes;
            Cls_FileRename job;
            configure(job, dir.path(), true, "zzz", "");
            job.setIsNarrow(true);
            job.MsgDisplayFlg_Prop(display);
            job.setStepSink(&log);
            QVERIFY(job.PFncBln_FileRename());
            QCOMPARE(tree(dir.path()), (QStringList{"ABC", "abc"}));
            QCOMPARE(Cls_FileRenameTestAccess{job}.renameCount(), 1);
            QCOMPARE(log.steps.size(), display ? 2 : 1);
            QCOMPARE(boxes.shown().size(), display ? 1 : 0);
            QVERIFY(!display || boxes.shown()[0].startsWith(u"16|VB Error|58 "_qs));
        }
    }

    // A total past the 32-bit range fails with overflow instead of wrapping.
    void listSummaryOverflow()
    {
        Cls_FileRename job;
        Cls_FileRenameTestAccess access{job};
        access.setRenameCount(INT32_MAX - 1);
        access.setRejectedCount(1);
        QVERIFY(job.GetStr_Reportリスト作成().contains(u"数：【 2147483647 】"_qs));
        access.setRejectedCount(2);
        QCOMPARE(errorNumberOf([&] { job.GetStr_Reportリスト作成(); }), 6);
    }
};

int runPassesTests(int argc, char** argv)
{
    PassesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Passes.moc"
