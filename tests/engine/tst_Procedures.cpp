#include "EngineTestSupport.h"
#include "engine/Blocks.h"
#include "engine/ModelNameIndex.h"
#include "support/MsgBoxRecorder.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

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

// The job's filters, path mapping, copy decision and set-up check, one
// procedure at a time, and the preview's name index and stores.
class ProceduresTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
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

int runProceduresTests(int argc, char** argv)
{
    ProceduresTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Procedures.moc"
