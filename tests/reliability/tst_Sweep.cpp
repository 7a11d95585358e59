#include "Snapshot.h"

#include "engine/EngineTestSupport.h"
#include "filesystem/Cls_FileSystem.h"
#include "runtime/FileRename.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"
#include "support/FaultPlan.h"
#include "support/MsgBoxRecorder.h"
#include "support/ScopedMount.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <functional>
#include <sys/stat.h>

using namespace reliability;
using rt::sys::Call;

namespace {

// How one run ended, as the operation told it.
struct Outcome {
    bool ok = false;
    int error = 0;
};

// Where a run works: `disk` and `other` are two volumes (other empty when
// mounts are impossible).
struct Places {
    QString disk;
    QString other;
    QString at(const char* name) const { return disk + '/' + name; }
    QString there(const char* name) const { return other + '/' + name; }
};

struct Operation {
    QByteArray name;
    QStringList tree;  // made under disk
    std::function<Outcome(const Places&, QString& detail)> run;
    bool copies = false;   // a content may end up twice
    bool deletes = false;  // contents may go
    bool acrossVolumes = false;
    bool swallows = false;                      // failures below the top are dropped by design
    bool renames = false;                       // a run that stops part-way mixes old and new paths
    std::optional<faultplan::Always> volume{};  // how the volume answers every such call
};

const int kErrnos[] = {EIO,    ENOSPC, EACCES, EPERM,        EXDEV,
                       EINVAL, ENOENT, EBUSY,  ENAMETOOLONG, EMLINK};

// A rename pass through the job's public procedures. Every step the sink
// was told of must be reflected on the disk, in the count and in the trail;
// detail tells what was not.
Outcome pass(const Places& p, bool folders, QString& detail)
{
    StepLog steps;
    MsgBoxRecorder boxes;
    Cls_FileRename job;
    EngineTest::configure(job, p.disk, folders, folders ? "old_" : ".jpeg",
                          folders ? "new_" : ".jpg");
    job.setIsNoAnderTheWorld(false);
    job.MsgDisplayFlg_Prop(true);
    job.setStepSink(&steps);
    const bool done = folders ? job.PFncBln_DirectoryRename() : job.PFncBln_FileRename();
    QStringList trail;
    int failed = 0;
    for (const RenameStep& step : steps.steps) {
        struct stat info {};
        const bool atNew = ::lstat(rt::encodeName(step.to()).constData(), &info) == 0;
        const bool atOld = ::lstat(rt::encodeName(step.from()).constData(), &info) == 0;
        if (step.error == 0)
            trail.append(step.from());
        else
            ++failed;
        if (step.error == 0 ? (!atNew || atOld) : (atNew || !atOld))
            detail += QStringLiteral("step %1 > %2 (error %3) is not where it was reported; ")
                          .arg(step.from(), step.to())
                          .arg(step.error);
        if (step.error != 0 && step.systemError == 0)
            detail += QStringLiteral("failed step without its errno; ");
    }
    const QString report = job.getReport_FileList();
    const QStringList lines =
        report == QStringLiteral("なし") ? QStringList() : report.split("\r\n", Qt::SkipEmptyParts);
    if (lines != trail)
        detail += QStringLiteral("trail %1 for steps %2; ").arg(lines.join(','), trail.join(','));
    if (!job.GetStr_Report().contains(QStringLiteral("【 %1 】").arg(trail.size())))
        detail += QStringLiteral("count is not %1; ").arg(trail.size());
    if (boxes.boxes().size() < failed)
        detail += QStringLiteral("a failed step without its box; ");
    return {done && boxes.boxes().isEmpty(), int(boxes.boxes().size())};
}

// A run of one service call; its result and recorded number tell how it ended.
std::function<Outcome(const Places&, QString&)>
on(std::function<bool(Cls_FileSystem&, const Places&)> call)
{
    return [call](const Places& p, QString&) {
        Cls_FileSystem fs;
        const bool ok = call(fs, p);
        return Outcome{ok, fs.GetLng_ErrorNo()};
    };
}

QList<Operation> operations()
{
    using FS = Cls_FileSystem;
    using P = const Places&;
    const QStringList folder{"d/", "d/f", "d/s/", "d/s/g", "d/l>f"};
    QList<Operation> list{
        {.name = "file pass",
         .tree = {"a.jpeg", "b.jpeg", "s/", "s/c.jpeg", "s/d.txt"},
         .run = [](P p, QString& detail) { return pass(p, false, detail); },
         .renames = true},
        {.name = "directory pass",
         .tree = {"old_a/", "old_a/f", "old_a/old_b/", "old_a/old_b/g", "old_c/"},
         .run = [](P p, QString& detail) { return pass(p, true, detail); },
         .renames = true},
        {.name = "Name of a file",
         .tree = {"a", "b/"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_ChangeFileName(p.at("a"), p.at("b/a")); })},
        {.name = "Name of a folder",
         .tree = folder,
         .run = on([](FS& fs, P p) { return fs.PFncBln_ChangeFileName(p.at("d"), p.at("e")); })},
        {.name = "MoveFile across volumes",
         .tree = {"a"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_MoveFile(p.at("a"), p.there("a")); }),
         .acrossVolumes = true},
        {.name = "MoveFolder across volumes",
         .tree = folder,
         .run = on([](FS& fs, P p) { return fs.PFncBln_MoveDirectory(p.at("d"), p.there("d")); }),
         .acrossVolumes = true},
        {.name = "CopyFile",
         .tree = {"a"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_CopyFile(p.at("a"), p.at("b"), false); }),
         .copies = true},
        {.name = "CopyFile with overwrite",
         .tree = {"a", "b"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_CopyFile(p.at("a"), p.at("b"), true); }),
         .copies = true},
        {.name = "CopyFolder",
         .tree = folder + QStringList{"e/", "e/f"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_CopyFolder(p.at("d"), p.at("e"), true); }),
         .copies = true},
        {.name = "DeleteFolder holding a link",
         .tree = {"keep", "d/", "d/f", "d/s/", "d/s/g", "d/l>../keep"},
         .run = on([](FS& fs, P p) { return fs.PFncBln_DeleteFolder(p.at("d"), false); }),
         .deletes = true},
    };
    // The same on a volume that refuses RENAME_NOREPLACE.
    for (qsizetype i = 0, end = list.size(); i < end; ++i) {
        if (list[i].name.startsWith("Name") || list[i].renames) {
            Operation without = list[i];
            without.name += ", no RENAME_NOREPLACE";
            without.volume = faultplan::kNoReplaceRefused;
            list.append(without);
        }
    }
    list.append({.name = "read-only walk",
                 .tree = folder,
                 .run = on([](FS& fs, P p) { return fs.ChangeBln_ReadOnlyAttr(p.at("d"), true); }),
                 .swallows = true});
    return list;
}

// The snapshot without permission bits.
Snapshot withoutModes(Snapshot snapshot)
{
    for (Entry& entry : snapshot) {
        if (entry.kind == 'D')
            entry.value.clear();
        else if (entry.kind == 'F')
            entry.value = entry.value.mid(entry.value.indexOf(' ') + 1);
    }
    return snapshot;
}

}  // namespace

// Every operation that moves or copies what the user owns, failed at each of
// its system calls in turn with each errno: afterwards nothing is lost or
// doubled, nothing half-written or temporary is left, and a failure is told
// as one.
class SweepTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_base;
    ScopedMount m_mounts;
    Places m_places;
    bool m_mounted = false;

    QByteArray disk() const { return rt::encodeName(m_places.disk); }
    QByteArray other() const { return rt::encodeName(m_places.other); }

    void arrange(const QStringList& tree)
    {
        emptyTree(disk());
        if (m_mounted)
            emptyTree(other());
        DiskTree::make(m_places.disk, tree);
        pinTimes(disk());
    }
    Snapshot snapshot() const
    {
        Snapshot result;
        addTree(result, disk(), "disk");
        if (m_mounted)
            addTree(result, other(), "other");
        return result;
    }

    // Why the state after a run is wrong, or empty.
    static QString judge(const Operation& op, const Outcome& outcome, Call injected, int error,
                         const Snapshot& before, const Snapshot& expected, const Snapshot& after)
    {
        if (op.swallows)
            return withoutModes(after) == withoutModes(before) ? QString()
                                                               : QStringLiteral("entries changed");
        // Told that the folder to delete is not there, the delete has nothing to do.
        if (outcome.ok && op.deletes && error == ENOENT && after == before)
            return QString();
        if (outcome.ok)
            return after == expected ? QString() : QStringLiteral("success, but not the result");
        if (outcome.error == 0)
            return QStringLiteral("failure without an error number");
        if (op.renames) {
            // Where each step left its entry, the pass has checked itself.
            return contentCounts(after) == contentCounts(before) ? QString()
                                                                 : QStringLiteral("files changed");
        }
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            // A folder keeps the permissions it was made with when the call
            // that gives it its source's fails.
            if (injected == Call::Chmod && it->kind == 'D' && expected.value(it.key()).kind == 'D')
                continue;
            if (before.value(it.key()) != *it && expected.value(it.key()) != *it)
                return QStringLiteral("%1 is neither as it was nor as it should be")
                    .arg(QString::fromUtf8(it.key()));
        }
        if (op.deletes)
            return QString();
        const QMap<QByteArray, int> now = contentCounts(after);
        const QMap<QByteArray, int> was = contentCounts(before);
        for (auto it = was.cbegin(); it != was.cend(); ++it) {
            if (now.value(it.key()) < 1)
                return QStringLiteral("lost ") + QString::fromUtf8(it.key());
            if (!op.copies && now.value(it.key()) > 1)
                return QStringLiteral("doubled ") + QString::fromUtf8(it.key());
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_base.isValid());
        const QByteArray base = rt::encodeName(m_base.path());
        QVERIFY(::mkdir(base + "/disk", 0755) == 0 && ::mkdir(base + "/other", 0755) == 0);
        m_places = {m_base.path() + "/disk", m_base.path() + "/other"};
        // Two fresh volumes make the runs fast and the moves cross a volume.
        m_mounted =
            m_mounts.tmpfs(base + "/disk").isEmpty() && m_mounts.tmpfs(base + "/other").isEmpty();
    }

    void sweep_data()
    {
        QTest::addColumn<int>("index");
        const QList<Operation> list = operations();
        for (int i = 0; i < list.size(); ++i)
            QTest::newRow(list[i].name.constData()) << i;
    }
    void sweep()
    {
        QFETCH(int, index);
        const Operation op = operations()[index];
        if (op.acrossVolumes && !m_mounted)
            QSKIP("needs two mounted volumes (root)");

        arrange(op.tree);
        const Snapshot before = snapshot();
        std::vector<Call> calls;
        QString detail;
        {
            const faultplan::Recording recording(op.volume);
            const Outcome outcome = op.run(m_places, detail);
            calls = recording.calls();
            QVERIFY2(outcome.ok && detail.isEmpty(), qPrintable(detail));
        }
        const Snapshot expected = snapshot();
        QVERIFY(expected != before);

        int seen[rt::sys::kCallKinds] = {};
        int failures = 0;
        int runs = 0;
        for (const Call kind : calls) {
            const int nth = seen[static_cast<int>(kind)]++;
            for (const int error : kErrnos) {
                // An unlink answered "no such entry" has nothing left to do.
                if (kind == Call::Unlink && error == ENOENT)
                    continue;
                arrange(op.tree);
                Outcome outcome;
                detail.clear();
                {
                    const faultplan::Failing plan(kind, nth, error, op.volume);
                    outcome = op.run(m_places, detail);
                    QVERIFY(plan.fired());
                }
                ++runs;
                failures += outcome.ok ? 0 : 1;
                const QString wrong =
                    judge(op, outcome, kind, error, before, expected, snapshot()) + detail;
                QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("%1 #%2 failing with %3: %4")
                                                         .arg(faultplan::nameOf(kind))
                                                         .arg(nth)
                                                         .arg(std::strerror(error), wrong)));
            }
        }
        qInfo("%s: %zu calls, %d runs, %d reported failures", op.name.constData(), calls.size(),
              runs, failures);
    }
};

QTEST_GUILESS_MAIN(SweepTest)
#include "tst_Sweep.moc"
