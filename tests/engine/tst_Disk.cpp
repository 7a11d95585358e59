#include "EngineTestSupport.h"
#include "engine/ModelNameIndex.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <string>

namespace {

struct StepLog final : Cls_RenameStepSink {
    QList<RenameStep> steps;
    void step(const RenameStep& s) override { steps.append(s); }
};

}  // namespace

// The half-width step's own steps, and the preview's name index.
class DiskTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
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
};

int runDiskTests(int argc, char** argv)
{
    DiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Disk.moc"
