#include "EngineTestSupport.h"
#include "engine/Blocks.h"
#include "engine/Cls_RenameDiskReal.h"
#include "engine/ModelNameIndex.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// The real disk with hooks: one run after each listing (to change the disk
// between listing and renames), and one that may answer a rename itself.
class HookDisk final : public Cls_RenameDisk {
public:
    std::function<void()> afterList;
    std::function<int(const QByteArray& from, bool isFolder)> onRename;

    Handle openStart(const QString& path, int& error) override
    {
        return m_Real.openStart(path, error);
    }
    Handle openSub(Handle parent, const QByteArray& name, int& error) override
    {
        return m_Real.openSub(parent, name, error);
    }
    void close(Handle folder) override { m_Real.close(folder); }
    int list(Handle folder, QStringList* files, QStringList* folders) override
    {
        const int error = m_Real.list(folder, files, folders);
        if (afterList)
            std::exchange(afterList, nullptr)();
        return error;
    }
    bool identity(Handle folder, const QByteArray& name, std::uint64_t& number) override
    {
        return m_Real.identity(folder, name, number);
    }
    bool modified(Handle folder, const QByteArray& name, std::int64_t& seconds) override
    {
        return m_Real.modified(folder, name, seconds);
    }
    bool exists(Handle folder, const QByteArray& name) override
    {
        return m_Real.exists(folder, name);
    }
    int rename(Handle folder, const QByteArray& from, const QByteArray& to, bool isFolder) override
    {
        if (onRename) {
            if (const int error = onRename(from, isFolder))
                return error;
        }
        return m_Real.rename(folder, from, to, isFolder);
    }

private:
    Cls_RenameDiskReal m_Real;
};

struct StepLog final : Cls_RenameStepSink {
    QList<RenameStep> steps;
    void step(const RenameStep& s) override { steps.append(s); }
};

void move(const QString& from, const QString& to)
{
    QCOMPARE(::rename(rt::encodeName(from).constData(), rt::encodeName(to).constData()), 0);
}

void link(const QString& target, const QString& at)
{
    QCOMPARE(::symlink(rt::encodeName(target).constData(), rt::encodeName(at).constData()), 0);
}

}  // namespace

// The passes against the disk interface: what a run does when the disk
// changes under it or refuses a rename.
class DiskTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
    // A folder of the tree is swapped for a link to a folder outside it after
    // the start folder was listed: the renames stay with the folders the pass
    // opened, and nothing outside the tree is renamed.
    void swappedForLink_data()
    {
        QTest::addColumn<QString>("swapped");
        QTest::addColumn<QStringList>("after");
        QTest::addRow("start folder")
            << "in"
            << QStringList{"in",   "moved/",     "moved/a.jpg", "moved/sub/",    "moved/sub/b.jpg",
                           "out/", "out/a.jpeg", "out/sub/",    "out/sub/b.jpeg"};
        QTest::addRow("subfolder")
            << "in/sub"
            << QStringList{"in/",  "in/a.jpg",   "in/moved/", "in/moved/b.jpeg", "in/sub",
                           "out/", "out/a.jpeg", "out/sub/",  "out/sub/b.jpeg"};
    }
    void swappedForLink()
    {
        QFETCH(QString, swapped);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString root = dir.path();
        make(root, {"in/", "in/a.jpeg", "in/sub/", "in/sub/b.jpeg", "out/", "out/a.jpeg",
                    "out/sub/", "out/sub/b.jpeg"});
        HookDisk disk;
        disk.afterList = [&] {
            const QString at = root + u'/' + swapped;
            move(at, at.section(u'/', 0, -2) + "/moved");
            link(root + (swapped == "in" ? "/out" : "/out/sub"), at);
        };
        Cls_FileRename job;
        configure(job, root + "/in", false, ".jpeg", ".jpg");
        job.setIsNoAnderTheWorld(false);
        job.setDisk(&disk);
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(tree(root), sorted(after));
    }

    // A folder rename the volume answers with EXDEV fails with 74: nothing is
    // copied, the folder keeps its name and contents, nothing is counted.
    void folderRenameAcrossVolumes()
    {
        QTemporaryDir dir;
        make(dir.path(), {"old_a/", "old_a/f", "old_a/old_b/"});
        const QStringList before = tree(dir.path());
        HookDisk disk;
        disk.onRename = [](const QByteArray&, bool isFolder) { return isFolder ? EXDEV : 0; };
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        configure(job, dir.path(), true, "old_", "new_");
        job.setIsNoAnderTheWorld(false);
        job.MsgDisplayFlg_Prop(true);
        job.setDisk(&disk);
        QVERIFY(job.PFncBln_DirectoryRename());
        QCOMPARE(tree(dir.path()), before);
        QCOMPARE(Cls_FileRenameTestAccess{job}.renameCount(), 0);
        QCOMPARE(job.getReport_FileList(), u"なし"_qs);
        QCOMPARE(boxes.boxes().size(), 2);  // old_a, then old_b inside it
        QVERIFY(boxes.boxes()[0].prompt.startsWith(u"74 "_qs));
    }

    // The half-width step on a name that is already half-width: without
    // boxes no rename onto itself is issued; with them it is, and its box
    // shows (58) as before. Either way nothing is counted.
    void narrowOntoItself_data()
    {
        QTest::addColumn<bool>("display");
        QTest::addRow("quiet") << false;
        QTest::addRow("boxes") << true;
    }
    void narrowOntoItself()
    {
        QFETCH(bool, display);
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
        QCOMPARE(boxes.boxes().size(), display ? 1 : 0);
        if (display)
            QVERIFY(boxes.boxes()[0].prompt.startsWith(u"58 "_qs));
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

int runDiskTests(int argc, char** argv)
{
    DiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Disk.moc"
