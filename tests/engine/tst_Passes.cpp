#include "EngineTestSupport.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace enginetest;

namespace {

// One run's settings; `start` is relative to the scratch folder unless
// `asGiven` hands it to the job unchanged.
struct Setup {
    bool folders = false;
    bool head = true;
    QString part{};
    QString replacement{};
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

class PassesTest : public QObject {
    Q_OBJECT

private slots:
    // One run over a scratch tree: the tree after it, the trail (old paths
    // relative to the start folder, in order), the examined count, and the
    // one box expected (its prompt's start; empty: display off, no box).
    void run_data()
    {
        QTest::addColumn<Setup>("s");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("trail");
        QTest::addColumn<int>("all");
        QTest::addColumn<QString>("box");
        const auto row = [](const char* name, const Setup& s, const QStringList& before,
                            const QStringList& after, const QStringList& trail, int all,
                            const QString& box = QString()) {
            QTest::newRow(name) << s << before << after << trail << all << box;
        };
        // Full-width ＩＭＧ and ＡＢＣ, half-width katakana ﾃｽﾄ.
        row("head, case and width count", {.part = "IMG", .replacement = "photo"},
            {"IMG_1", "img_2", u"ＩＭＧ_3"_qs}, {"img_2", "photo_1", u"ＩＭＧ_3"_qs}, {"IMG_1"}, 3);
        row("tail, case counts", {.head = false, .part = ".jpeg", .replacement = ".jpg"},
            {"a.jpeg", "b.JPEG"}, {"a.jpg", "b.JPEG"}, {"a.jpeg"}, 2);
        row("tail, empty part appends", {.head = false, .replacement = "_old"}, {"a"}, {"a_old"},
            {"a"}, 1);
        row("empty replacement cuts, never to an empty name", {.part = "abc"}, {"abcd", "abc"},
            {"abc", "d"}, {"abcd"}, 2);
        row("whole name", {.head = false, .part = ".log", .replacement = "all", .whole = true},
            {"a.log", "b.txt"}, {"all", "b.txt"}, {"a.log"}, 2);
        row("half-width katakana part", {.part = u"ﾃｽﾄ"_qs, .replacement = u"テスト"_qs},
            {u"ﾃｽﾄ_a"_qs, u"テスト_b"_qs}, {u"テスト_a"_qs, u"テスト_b"_qs}, {u"ﾃｽﾄ_a"_qs}, 2);
        row("tail mode ignores the half-width step",
            {.head = false, .part = "x", .replacement = "y", .narrow = true}, {u"ＡＢＣ"_qs},
            {u"ＡＢＣ"_qs}, {}, 1);
        // The half-width step follows under the name the first rename left.
        const Setup narrow{.part = u"ﾃｽﾄ"_qs, .replacement = u"テスト"_qs, .narrow = true};
        row("match, then narrow", narrow, {u"ﾃｽﾄ１"_qs}, {u"ﾃｽﾄ1"_qs},
            {u"ﾃｽﾄ１"_qs, u"テスト１"_qs}, 1);
        row("narrow only", narrow, {u"ＡＢＣ"_qs}, {"ABC"}, {u"ＡＢＣ"_qs}, 1);
        // ／ narrows to the separator: the file would move into folder "a".
        row("full-width solidus", narrow, {"a/", u"a／b"_qs}, {"a/", u"a／b"_qs}, {}, 1);
        // A computed name that is not one path component is refused (52).
        row("separator, quiet", {.replacement = "a/"}, {"a/", "b"}, {"a/", "b"}, {}, 1);
        row("separator, box", {.replacement = "a/"}, {"a/", "b"}, {"a/", "b"}, {}, 1, "52 ");
        row("dot-dot", {.replacement = "..", .whole = true}, {"b"}, {"b"}, {}, 1, "52 ");
        row("NUL", {.replacement = QStringView(u"x\0y", 3).toString()}, {"b"}, {"b"}, {}, 1, "52 ");
        // Paths under an empty start folder would resolve in the current one.
        row("empty start", {.replacement = "x", .asGiven = true}, {"a", "d/"}, {"a", "d/"}, {}, 0,
            "76 ");
        row("blank start", {.replacement = "x", .start = "  ", .asGiven = true}, {"a"}, {"a"}, {},
            0, "76 ");
        row("empty start, folders", {.folders = true, .replacement = "x", .asGiven = true}, {"d/"},
            {"d/"}, {}, 0, "76 ");
        // Descent is off by default. Hidden files are not listed; a rejected
        // file still counts as examined; a listed folder (any case) is not
        // entered.
        const QStringList deepTree{"a.jpeg", ".h.jpeg",         "s/",   "s/b.jpeg",
                                   "s/t/",   "s/t/c.skip.jpeg", "BAK/", "BAK/e.jpeg"};
        row("descent off", {.head = false, .part = ".jpeg", .replacement = ".jpg"}, deepTree,
            {"a.jpg", ".h.jpeg", "s/", "s/b.jpeg", "s/t/", "s/t/c.skip.jpeg", "BAK/", "BAK/e.jpeg"},
            {"a.jpeg"}, 1);
        row("descent with filters",
            {.head = false,
             .part = ".jpeg",
             .replacement = ".jpg",
             .deep = true,
             .extensions = {"skip.JPEG"},
             .skipFolders = {"bak"}},
            deepTree,
            {"a.jpg", ".h.jpeg", "s/", "s/b.jpg", "s/t/", "s/t/c.skip.jpeg", "BAK/", "BAK/e.jpeg"},
            {"a.jpeg", "s/b.jpeg"}, 3);
        row("date filter", {.replacement = "x", .newerThan = "20991231"}, {"a"}, {"a"}, {}, 1);
        row("folders, descending into the renamed one",
            {.folders = true, .part = "old_", .replacement = "new_", .deep = true},
            {"old_a/", "old_a/old_b/", "old_a/old_f"}, {"new_a/", "new_a/new_b/", "new_a/old_f"},
            {"old_a", "new_a/old_b"}, 2);
        // Links are never followed: a loop back up ends, and a folder outside
        // the tree reached by a link is left alone.
        const QStringList links{
            "in/",           "in/sub/", "in/sub/loop>..", "in/old_out>../out", "in/a.jpeg",
            "in/sub/b.jpeg", "out/",    "out/c.jpeg",     "out/old_far/"};
        const QStringList linked{"in/",  "in/sub/",    "in/sub/loop", "in/old_out",
                                 "out/", "out/c.jpeg", "out/old_far/"};
        row("files, links",
            {.head = false, .part = ".jpeg", .replacement = ".jpg", .deep = true, .start = "in"},
            links, linked + QStringList{"in/a.jpg", "in/sub/b.jpg"}, {"a.jpeg", "sub/b.jpeg"}, 2);
        row("folders, links",
            {.folders = true, .part = "old_", .replacement = "new_", .deep = true, .start = "in"},
            links, linked + QStringList{"in/a.jpeg", "in/sub/b.jpeg"}, {}, 1);
    }
    void run()
    {
        QFETCH(Setup, s);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, trail);
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
        configure(job, start, s.head, s.part, s.replacement);
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
        QCOMPARE(tree(dir.path()), sorted(after));
        QString expected;
        for (const QString& name : trail)
            expected += start + u'/' + name + "\r\n";
        QCOMPARE(job.getReport_FileList(), trail.isEmpty() ? u"なし"_qs : expected);
        const Cls_FileRenameTestAccess access{job};
        QCOMPARE(access.renameCount(), trail.size());
        QCOMPARE(access.allFileCount(), all);
        QCOMPARE(boxes.boxes().size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(boxes.boxes()[0].style, 16);
            QVERIFY2(boxes.boxes()[0].prompt.startsWith(box), qPrintable(boxes.boxes()[0].prompt));
        }
    }

    // The second file of a whole-name replacement finds the name taken and
    // keeps its own; nothing is overwritten.
    void wholeNameKeepsSecondFile()
    {
        QTemporaryDir dir;
        make(dir.path(), {"a1", "a2"});
        Cls_FileRename job;
        configure(job, dir.path(), true, "a", "b");
        job.setIs全置換(true);
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(Cls_FileRenameTestAccess{job}.renameCount(), 1);
        const QStringList left = tree(dir.path());
        QCOMPARE(left.size(), 2);
        QCOMPARE(left[1], u"b"_qs);
        QCOMPARE(readFile(raw(dir.path() + u'/' + left[0])), raw(left[0]));
        QCOMPARE(readFile(raw(dir.path() + "/b")), QByteArray(left[0] == "a1" ? "a2" : "a1"));
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
        QCOMPARE(readFile(base + "/IMG_\xff.jpg"), QByteArray("ff"));
        QCOMPARE(readFile(base + "/\xe3\x81.jpg"), QByteArray("cut"));
        QCOMPARE(tree(dir.path()).size(), 2);
        QByteArrayList trail;
        for (const QString& line : job.getReport_FileList().split("\r\n", Qt::SkipEmptyParts))
            trail.append(raw(line));
        std::sort(trail.begin(), trail.end());
        QCOMPARE(trail, (QByteArrayList{base + "/IMG_\xff.jpeg", base + "/\xe3\x81.jpeg"}));
        for (const QString& name : tree(dir.path()))  // QTemporaryDir cannot remove them
            QCOMPARE(::unlink(raw(dir.path() + u'/' + name).constData()), 0);
    }

    // A second run adds to the counters and the trail; the last successful
    // run decides the wording, and a failed run changes nothing of it.
    void twoRunsOnOneJob()
    {
        QTemporaryDir dir;
        make(dir.path(), {"d/", "f"});
        Cls_FileRename job;
        configure(job, dir.path(), true, "", "x");
        QVERIFY(job.PFncBln_DirectoryRename());
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(tree(dir.path()), (QStringList{"xd/", "xf"}));
        QCOMPARE(job.getReport_FileList(), dir.path() + "/d\r\n" + dir.path() + "/f\r\n");
        QVERIFY(job.GetStr_Report().contains(u"変更したファイルの数　：【 2 】"_qs));
        QVERIFY(job.GetStr_Report().contains(u"全ファイル数：【 2 】"_qs));
        job.setProp_PathFrom(QString());
        QVERIFY(!job.PFncBln_DirectoryRename());
        QVERIFY(job.GetStr_Report().startsWith(u"ファイル名変更を終えました。"_qs));
    }

    // A file run that renamed 3 of 10 files, then a directory run that
    // renamed 1 of 2 folders, each on its own job.
    void summaries()
    {
        QTemporaryDir dir;
        make(dir.path(),
             {"a/", "b/", "0.jpeg", "1.jpeg", "2.jpeg", "3", "4", "5", "6", "7", "8", "9"});
        Cls_FileRename files;
        configure(files, dir.path(), false, ".jpeg", ".jpg");
        QVERIFY(files.PFncBln_FileRename());
        QCOMPARE(files.GetStr_Report(), u"ファイル名変更を終えました。\r\n"
                                        u"-------------------------------------------------\r\n"
                                        u"変更したファイルの数　：【 3 】\r\n\r\n"
                                        u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 10 】\r\n"_qs);
        QCOMPARE(files.GetStr_Reportリスト作成(),
                 u"ファイルリストを作成しました。\r\n"
                 u"-------------------------------------------------\r\n"
                 u"条件選定対象のファイル数：【 3 】\r\n"
                 u"対象となったファイルの数：【 3 】\r\n\r\n"
                 u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 10 】\r\n"_qs);
        Cls_FileRename folders;
        configure(folders, dir.path(), true, "a", "c");
        QVERIFY(folders.PFncBln_DirectoryRename());
        QCOMPARE(folders.GetStr_Report(), u"ﾃﾞｨﾚｸﾄﾘ名変更を終えました。\r\n"
                                          u"-------------------------------------------------\r\n"
                                          u"変更したﾃﾞｨﾚｸﾄﾘの数　：【 1 】\r\n\r\n"
                                          u"指定ﾃﾞｨﾚｸﾄﾘ配下の全ﾃﾞｨﾚｸﾄﾘ数：【 2 】\r\n"_qs);
    }

    // A total past the 32-bit range fails with overflow instead of wrapping.
    void listSummaryOverflow()
    {
        Cls_FileRename job;
        Cls_FileRenameTestAccess access{job};
        access.setCounts(INT32_MAX - 1, 1);
        QVERIFY(job.GetStr_Reportリスト作成().contains(u"数：【 2147483647 】"_qs));
        access.setCounts(INT32_MAX - 1, 2);
        try {
            job.GetStr_Reportリスト作成();
            QFAIL("no overflow raised");
        } catch (const rt::VbError& error) {
            QCOMPARE(error.number(), 6);
        }
    }
};

int runPassesTests(int argc, char** argv)
{
    PassesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Passes.moc"
