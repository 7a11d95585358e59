#include "EngineTestSupport.h"
#include "engine/Blocks.h"
#include "engine/ModelNameIndex.h"
#include "support/MsgBoxRecorder.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

// The job's filters, path mapping, copy decision and set-up check, one
// procedure at a time, and the preview's name index and stores.
class ProceduresTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
    // One threshold at a time; "newer" with a time uses the date-and-time form.
    void dateThreshold_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QDateTime>("stamp");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("passes");
        const auto row = [](const char* name, const char* kind, const QDateTime& stamp, bool passes,
                            const char* time = "", const char* date = "20061231") {
            QTest::newRow(name) << QString(kind) << QString(date) << stamp << QString(time)
                                << passes;
        };
        row("newer, second before", "newer", local(2006, 12, 30, 23, 59, 59), false);
        row("newer, midnight", "newer", local(2006, 12, 31, 0, 0, 0), true);
        row("newer, time, before", "newer", local(2006, 12, 31, 12, 34, 55), false, "123456");
        row("newer, time, same second", "newer", local(2006, 12, 31, 12, 34, 56), true, "123456");
        row("older, last second", "older", local(2006, 12, 31, 23, 59, 59), true);
        row("older, next day", "older", local(2007, 1, 1, 0, 0, 0), false);
        row("equals, noon", "equals", local(2006, 12, 31, 12, 0, 0), false);
        row("equals, last second", "equals", local(2006, 12, 31, 23, 59, 59), true);
        row("punctuated date", "newer", local(2006, 12, 31, 0, 0, 0), true, "", "2006/12/31");
        row("no such month", "older", local(2006, 1, 1, 0, 0, 0), false, "", "20061331");
    }
    void dateThreshold()
    {
        QFETCH(QString, kind);
        QFETCH(QString, date);
        QFETCH(QDateTime, stamp);
        QFETCH(QString, time);
        QFETCH(bool, passes);
        Cls_FileRename job;
        if (kind == "newer" && time.isEmpty())
            job.setFilter_SetDateIsNewerThanFileDate(date);
        else if (kind == "newer")
            job.setFilter_SetDateIsNewerThanFileDateTime(date, time);
        else if (kind == "equals")
            job.setFilter_SetDateEqualsFileDate(date);
        else
            job.setFilter_SetDateIsOlderThanFileDate(date);
        QCOMPARE(Cls_FileRenameTestAccess{job}.isDateMatch(stamp), passes);
    }

    void extensionList_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("candidate");
        QTest::newRow("empty list") << QStringList{} << u"a.txt"_qs << true;
        QTest::newRow("other case") << QStringList{".txt"} << u"B.TXT"_qs << false;
        QTest::newRow("not at the end") << QStringList{".txt"} << u"a.txt.bak"_qs << true;
        QTest::newRow("asterisks stand for nothing")
            << QStringList{"*.t*xt"} << u"b.txt"_qs << false;
        QTest::newRow("no dot needed") << QStringList{"txt"} << u"atxt"_qs << false;
        QTest::newRow("second entry") << QStringList{".jpg", ".png"} << u"x.PNG"_qs << false;
        QTest::newRow("longer than the name") << QStringList{"long.txt"} << u"g.txt"_qs << true;
    }
    void extensionList()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, name);
        QFETCH(bool, candidate);
        Cls_FileRename job;
        for (const QString& entry : entries)
            job.setFilter_AddExtension(entry);
        QCOMPARE(Cls_FileRenameTestAccess{job}.isExtensionNotListed("/some/" + name), candidate);
    }

    // Joining a folder and a name: folder, name, path. Mapping a path into
    // the copy destination: start folder, destination folder, path, mapped.
    void paths_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("join, trailing separator") << QStringList{"/a/", "b", "/a/b"};
        QTest::newRow("join, root") << QStringList{"/", "b", "/b"};
        // Blanks at either end belong to the folder's name.
        QTest::newRow("join, blanks kept") << QStringList{" /a ", "b", " /a /b"};
        QTest::newRow("join, blank folder") << QStringList{"   ", "b", "   /b"};
        QTest::newRow("join, name as received") << QStringList{"/a", " b ", "/a/ b "};
        QTest::newRow("map, nested") << QStringList{"/src", "/dst", "/src/a/b", "/dst/a/b"};
        QTest::newRow("map, destination with separator")
            << QStringList{"/src", "/dst/", "/src/a/b", "/dst/a/b"};
        QTest::newRow("map, triple separators")
            << QStringList{"/src", "/dst//", "/src/a", "/dst/a"};
        QTest::newRow("map, every occurrence goes")
            << QStringList{"/src", "/dst", "/src/x/src/y", "/dst/x/y"};
        QTest::newRow("map, case counts") << QStringList{"/src", "/dst", "/SRC/a", "/dst/SRC/a"};
    }
    void paths()
    {
        QFETCH(QStringList, paths);
        Cls_FileRename job;
        job.setProp_PathFrom(paths[0]);
        job.setProp_PathTo(paths[1]);
        const Cls_FileRenameTestAccess access{job};
        QCOMPARE(paths.size() == 3 ? access.joinPath(paths[0], paths[1])
                                   : access.copyDestPath(paths[2]),
                 paths.last());
    }

    // Newer-only copying replaces a missing or older destination and turns
    // down a newer or equally old one. Staying in the start folder, nothing
    // is created or copied: the job lists the shown name instead.
    void copyIfNewer_data()
    {
        QTest::addColumn<bool>("newOnly");
        QTest::addColumn<int>("age");  // of the destination: -1 older, 0 same, 1 newer, 2 missing
        QTest::addColumn<bool>("listOnly");
        QTest::addColumn<bool>("copied");
        QTest::newRow("missing") << true << 2 << false << true;
        QTest::newRow("older") << true << -1 << false << true;
        QTest::newRow("same time") << true << 0 << false << false;
        QTest::newRow("newer") << true << 1 << false << false;
        QTest::newRow("always, newer") << false << 1 << false << true;
        QTest::newRow("list only") << false << 2 << true << true;
    }
    void copyIfNewer()
    {
        QFETCH(bool, newOnly);
        QFETCH(int, age);
        QFETCH(bool, listOnly);
        QFETCH(bool, copied);
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

    void firstInitBox()
    {
        MsgBoxRecorder boxes;
        Cls_FileRename quiet;
        QVERIFY(!Cls_FileRenameTestAccess{quiet}.checkFirstInit());
        QVERIFY(boxes.boxes().isEmpty());
        Cls_FileRename job;
        job.MsgDisplayFlg_Prop(true);
        const Cls_FileRenameTestAccess access{job};
        QVERIFY(!access.checkFirstInit());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 16);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(u"設定ミス"_qs));
        QCOMPARE(boxes.boxes()[0].prompt, u"初期設定が行われておりません。\r\n"
                                          u"以下のメソッドをまず実行してください\r\n"
                                          u"*----------------------------------------*\r\n"
                                          u"Name : [ PFncBln_FirstInit ]"_qs);
        QVERIFY(job.PFncBln_FirstInit());
        QVERIFY(access.checkFirstInit());
        QCOMPARE(boxes.boxes().size(), 1);
    }

    // The preview's name index under renames that take names out and put
    // them back: hashes forced into a few neighbouring slots, runs that wrap
    // past the table's end, names renamed onto names freed earlier. Every
    // present name is found as its entry, and no name that left is.
    void nameIndexThroughRenames()
    {
        struct Names {
            std::vector<std::string> names;
            std::vector<std::uint64_t> hashes;
            std::uint64_t hashOf(std::uint32_t i) const { return hashes[i]; }
            std::string_view nameOf(std::uint32_t i) const { return names[i]; }
            std::size_t entryCount() const { return names.size(); }
            bool listed(std::uint32_t) const { return true; }
        } names;
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

        struct Names {
            std::vector<std::string> names;
            std::uint64_t hashOf(std::uint32_t i) const
            {
                return engine_detail::ModelNameIndex::hashOf(names[i]);
            }
            std::string_view nameOf(std::uint32_t i) const { return names[i]; }
            std::size_t entryCount() const { return names.size(); }
            bool listed(std::uint32_t) const { return true; }
        } names;
        for (std::size_t i = 0; i < kCount; ++i)
            names.names.push_back("IMG_" + std::to_string(i) + ".jpeg");
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
