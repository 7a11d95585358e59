#include "EngineTestSupport.h"
#include "engine/Blocks.h"
#include "engine/ModelNameIndex.h"
#include "runtime/NameCodec.h"
#include "support/ErrorNumber.h"
#include "support/MsgBoxRecorder.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

// One run's settings: the part `from` at the head (or the tail) becomes
// `to`; `start` is relative to the scratch folder unless `asGiven` hands it
// to the job unchanged.
struct Setup {
    bool folders = false, tail = false;
    QString from{}, to{};
    bool whole = false, narrow = false, deep = false;
    QString start{};
    bool asGiven = false;
    QStringList extensions{}, skipFolders{};
    QString newerThan{};
};

// Names as the preview's index reaches them: by entry number, each with its hash.
struct IndexedNames {
    std::vector<std::string> names;
    std::vector<std::uint64_t> hashes;
    std::uint64_t hashOf(std::uint32_t i) const { return hashes[i]; }
    std::string_view nameOf(std::uint32_t i) const { return names[i]; }
    std::size_t entryCount() const { return names.size(); }
    bool listed(std::uint32_t) const { return true; }
};

}  // namespace

Q_DECLARE_METATYPE(Setup)

// The passes over scratch trees; the job's filters, path mapping, copy
// decision and set-up check, one procedure at a time; the preview's name
// index and stores.
class EngineTests : public QObject, private EngineTest {
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

    // The candidate filters: one date threshold at a time ("newer" with a
    // time uses the date-and-time form), then the extension list.
    void candidateFilters()
    {
        struct Date {
            const char* kind;
            QDateTime stamp;
            bool passes;
            const char* time = "";
            const char* date = "20061231";
        };
        const Date dates[] = {
            {"newer", local(2006, 12, 30, 23, 59, 59), false},
            {"newer", local(2006, 12, 31, 0, 0, 0), true},
            {"newer", local(2006, 12, 31, 12, 34, 55), false, "123456"},
            {"newer", local(2006, 12, 31, 12, 34, 56), true, "123456"},
            {"older", local(2006, 12, 31, 23, 59, 59), true},
            {"older", local(2007, 1, 1, 0, 0, 0), false},
            {"equals", local(2006, 12, 31, 12, 0, 0), false},
            {"equals", local(2006, 12, 31, 23, 59, 59), true},
            {"newer", local(2006, 12, 31, 0, 0, 0), true, "", "2006/12/31"},  // punctuated
            {"older", local(2006, 1, 1, 0, 0, 0), false, "", "20061331"},     // no such month
        };
        for (const Date& d : dates) {
            Cls_FileRename job;
            if (d.kind == std::string_view("newer"))
                *d.time ? job.setFilter_SetDateIsNewerThanFileDateTime(d.date, d.time)
                        : job.setFilter_SetDateIsNewerThanFileDate(d.date);
            else if (d.kind == std::string_view("equals"))
                job.setFilter_SetDateEqualsFileDate(d.date);
            else
                job.setFilter_SetDateIsOlderThanFileDate(d.date);
            QVERIFY2(Cls_FileRenameTestAccess{job}.isDateMatch(d.stamp) == d.passes,
                     qPrintable(QString(d.kind) + ' ' + d.stamp.toString(Qt::ISODate)));
        }
        // Entries, a name, whether it stays a candidate: any letter case, at
        // the end only, no wildcards, no dot needed.
        const std::tuple<QStringList, QString, bool> extensions[] = {
            {{}, "a.txt", true},           {{".txt"}, "B.TXT", false},
            {{".txt"}, "a.txt.bak", true}, {{"*.t*xt"}, "b.txt", false},
            {{"txt"}, "atxt", false},      {{".jpg", ".png"}, "x.PNG", false},
            {{"long.txt"}, "g.txt", true},
        };
        for (const auto& [entries, name, candidate] : extensions) {
            Cls_FileRename job;
            for (const QString& entry : entries)
                job.setFilter_AddExtension(entry);
            QVERIFY2(Cls_FileRenameTestAccess{job}.isExtensionNotListed("/some/" + name) ==
                         candidate,
                     qPrintable(name));
        }
    }

    // Joining a folder and a name: folder, name, path. Mapping a path into
    // the copy destination: start folder, destination folder, path, mapped.
    void paths()
    {
        const QStringList rows[] = {
            {"/a/", "b", "/a/b"},
            {"/", "b", "/b"},
            {" /a ", "b", " /a /b"},  // blanks at either end belong to the folder's name
            {"   ", "b", "   /b"},
            {"/a", " b ", "/a/ b "},
            {"/src", "/dst", "/src/a/b", "/dst/a/b"},
            {"/src", "/dst/", "/src/a/b", "/dst/a/b"},
            {"/src", "/dst//", "/src/a", "/dst/a"},
            {"/src", "/dst", "/src/x/src/y", "/dst/x/y"},  // every occurrence goes
            {"/src", "/dst", "/SRC/a", "/dst/SRC/a"},
        };
        for (const QStringList& r : rows) {
            Cls_FileRename job;
            job.setProp_PathFrom(r[0]);
            job.setProp_PathTo(r[1]);
            const Cls_FileRenameTestAccess access{job};
            QCOMPARE(r.size() == 3 ? access.joinPath(r[0], r[1]) : access.copyDestPath(r[2]),
                     r.last());
        }
    }

    // Newer-only copying replaces a missing or older destination and turns
    // down a newer or equally old one. Staying in the start folder, nothing
    // is created or copied: the job lists the shown name instead.
    void copyIfNewer()
    {
        // Newer only; the destination's age (-1 older, 0 same, 1 newer, 2
        // missing); list only; copied.
        const std::tuple<bool, int, bool, bool> rows[] = {
            {true, 2, false, true},  {true, -1, false, true}, {true, 0, false, false},
            {true, 1, false, false}, {false, 1, false, true}, {false, 2, true, true},
        };
        for (const auto& [newOnly, age, listOnly, copied] : rows) {
            QTemporaryDir dir;
            const QString d = dir.path();
            make(d, {"src"});
            setStamp(d + "/src", local(2010, 5, 5, 10, 0, 0));
            if (age != 2) {
                make(d, {"dst"});
                setStamp(d + "/dst", local(2010, 5, 5, 10, age, 0));
            }
            Cls_FileRename job;
            job.setFilter_IsNewDate(newOnly);
            job.setIsNoAnderTheWorld(listOnly);
            job.setIsNoPath(listOnly);
            Cls_FileRenameTestAccess access{job};
            access.prepareCopyFolder(d + "/made/deeper");
            access.copy(d + "/src", d + "/dst", "shown");
            QCOMPARE(tree(d).contains("made/deeper/"), !listOnly);
            QCOMPARE(readFile(raw(d + "/dst")), QByteArray(copied && !listOnly ? "src"
                                                           : age == 2          ? ""
                                                                               : "dst"));
            QCOMPARE(access.renameCount(), copied ? 1 : 0);
            QCOMPARE(access.rejectedCount(), copied ? 0 : 1);
            const QString line = listOnly ? u"shown"_qs : d + "/src";
            QCOMPARE(job.getReport_FileList(), copied ? line + "\r\n" : u"なし"_qs);
        }
    }

    void firstInitBox()
    {
        MsgBoxRecorder boxes;
        Cls_FileRename quiet;
        QVERIFY(!Cls_FileRenameTestAccess{quiet}.checkFirstInit());
        QVERIFY(boxes.shown().isEmpty());
        Cls_FileRename job;
        job.MsgDisplayFlg_Prop(true);
        const Cls_FileRenameTestAccess access{job};
        QVERIFY(!access.checkFirstInit());
        QCOMPARE(boxes.shown(), QStringList{u"16|設定ミス|初期設定が行われておりません。\r\n"
                                            u"以下のメソッドをまず実行してください\r\n"
                                            u"*----------------------------------------*\r\n"
                                            u"Name : [ PFncBln_FirstInit ]"_qs});
        QVERIFY(job.PFncBln_FirstInit());
        QVERIFY(access.checkFirstInit());
        QCOMPARE(boxes.shown().size(), 1);
    }

    // The preview's name index under renames that take names out and put
    // them back: hashes forced into a few neighbouring slots, runs that wrap
    // past the table's end, names renamed onto names freed earlier. Every
    // present name is found as its entry, and no name that left is.
    void nameIndexThroughRenames()
    {
        IndexedNames names;
        // Low bits near the end of a 64-slot table, one high half for all.
        const auto hashOf = [](const std::string& name) {
            return (std::uint64_t{7} << 32) | (60 + std::hash<std::string>{}(name) % 8);
        };
        for (int i = 0; i < 20; ++i) {
            names.names.push_back("n" + std::to_string(i));
            names.hashes.push_back(hashOf(names.names.back()));
        }
        engine_detail::ModelNameIndex index;
        index.build(names, [](std::uint32_t) { QFAIL("no name is listed twice"); });
        QRandomGenerator random(42);
        for (int round = 0; round < 2000; ++round) {
            const auto entry = static_cast<std::uint32_t>(random.bounded(20));
            const std::string to = "n" + std::to_string(random.bounded(40));
            if (index.find(to, hashOf(to), names) != engine_detail::ModelNameIndex::kNone)
                continue;  // taken: a rename would fail
            index.erase(entry, names.hashes[entry], names);
            names.names[entry] = to;
            names.hashes[entry] = hashOf(to);
            index.insert(entry, names);
            for (int n = 0; n < 40; ++n) {
                const std::string name = "n" + std::to_string(n);
                const auto it = std::find(names.names.begin(), names.names.end(), name);
                const std::uint32_t expected =
                    it == names.names.end() ? engine_detail::ModelNameIndex::kNone
                                            : static_cast<std::uint32_t>(it - names.names.begin());
                QCOMPARE(index.find(name, hashOf(name), names), expected);
            }
        }
    }

    // Past their first megabyte the stores take their memory in large
    // regions: what was stored there stays where it was put, whole, and a
    // large name table starts empty.
    void largeStores()
    {
        struct Item {
            std::uint64_t number = 0;
            char fill[40] = {};
        };
        constexpr std::size_t kCount = 100000;
        engine_detail::Chunks<Item> items;
        engine_detail::Blocks<char> bytes;
        std::vector<std::pair<char*, std::size_t>> taken;
        const Item* first = &items.append();
        for (std::size_t i = 1; i < kCount; ++i) {
            items.append().number = i;
            QCOMPARE(reinterpret_cast<std::uintptr_t>(&items[i]) % alignof(Item), 0u);
            // Mostly names, now and then one too long for a shared block.
            const std::size_t length = i % 997 == 0 ? 20000 : 1 + i % 40;
            char* at = bytes.take(length);
            std::fill_n(at, length, static_cast<char>(i));
            taken.emplace_back(at, length);
        }
        QCOMPARE(first, &items[0]);
        for (std::size_t i = 1; i < kCount; ++i) {
            QCOMPARE(items[i].number, i);
            const auto [at, length] = taken[i - 1];
            QVERIFY(
                std::all_of(at, at + length, [i](char c) { return c == static_cast<char>(i); }));
        }

        IndexedNames names;
        for (std::size_t i = 0; i < kCount; ++i) {
            names.names.push_back("IMG_" + std::to_string(i) + ".jpeg");
            names.hashes.push_back(engine_detail::ModelNameIndex::hashOf(names.names.back()));
        }
        engine_detail::ModelNameIndex index;
        index.build(names, [](std::uint32_t) { QFAIL("no name is listed twice"); });
        for (std::uint32_t i = 0; i < kCount; i += 7)
            QCOMPARE(index.find(names.names[i], names.hashOf(i), names), i);
        const std::string absent = "IMG_x.jpeg";
        QCOMPARE(index.find(absent, engine_detail::ModelNameIndex::hashOf(absent), names),
                 engine_detail::ModelNameIndex::kNone);
    }
};

// Some tests give a job an empty start folder, whose paths would resolve
// against the current folder: everything runs inside a scratch folder so
// that a regression there can never touch the folder the suite ran from.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    if (!scratch.isValid() || ::chdir(rt::encodeName(scratch.path()).constData()) != 0)
        return 2;
    EngineTests tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_Engine.moc"
