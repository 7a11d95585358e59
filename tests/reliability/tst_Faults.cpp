#include "engine/EngineTestSupport.h"
#include "filesystem/Cls_FileSystem.h"
#include "support/FaultPlan.h"
#include "support/MsgBoxRecorder.h"
#include "support/ScopedMount.h"

#include <QTemporaryDir>
#include <QtTest>

using faultplan::Call;
using Holdings = QMap<QString, QByteArray>;

namespace {

// The content of every file in a tree, with its number of copies.
QMap<QByteArray, int> contentCounts(const Holdings& holdings)
{
    QMap<QByteArray, int> counts;
    for (const QByteArray& held : holdings)
        if (held.contains('\n'))
            ++counts[held.mid(held.indexOf('\n') + 1)];
    return counts;
}

// One rename pass: the part `from` at the head (or the tail) becomes `to`.
struct Pass {
    bool folders = false, tail = false;
    QString from{}, to{};
    bool deep = false;
    QString start{};
};

// Runs a pass with its boxes shown (and recorded): the renamed count (-1 when
// the pass failed), then the number each box began with. Every step reported
// must be where it was reported on the disk, in the count and in the trail;
// detail tells what is not.
QList<int> runPass(const QString& root, const Pass& p, QString& detail)
{
    StepLog steps;
    MsgBoxRecorder boxes;
    Cls_FileRename job;
    EngineTest::configure(job, p.start.isEmpty() ? root : root + u'/' + p.start, !p.tail, p.from,
                          p.to);
    job.setIsNoAnderTheWorld(!p.deep);
    job.MsgDisplayFlg_Prop(true);
    job.setStepSink(&steps);
    const bool done = p.folders ? job.PFncBln_DirectoryRename() : job.PFncBln_FileRename();
    QStringList trail;
    for (const RenameStep& step : steps.steps) {
        struct stat info {};
        const bool atNew = ::lstat(rt::encodeName(step.to()).constData(), &info) == 0;
        const bool atOld = ::lstat(rt::encodeName(step.from()).constData(), &info) == 0;
        if (step.error == 0)
            trail.append(step.from());
        if (step.error == 0 ? (!atNew || atOld) : (atNew || !atOld))
            detail += step.from() + u" is not where its step left it; "_qs;
    }
    if (job.getReport_FileList() != (trail.isEmpty() ? u"なし"_qs : trail.join("\r\n") + "\r\n"))
        detail += u"the trail is not the steps; "_qs;
    if (!job.GetStr_Report().contains(u"【 %1 】"_qs.arg(trail.size())))
        detail += u"count is not %1; "_qs.arg(trail.size());
    QList<int> told{done ? Cls_FileRenameTestAccess{job}.renameCount() : -1};
    for (const MsgBoxRecorder::Box& box : boxes.boxes())
        told.append(box.prompt.section(u' ', 0, 0).toInt());
    return told;
}

// What an operation may do to the contents: renames stop part-way.
enum Kind { Moves, Renames, Copies, Deletes };

struct Operation {
    QByteArray name;
    QStringList tree;  // made under base/disk
    Kind kind;
    // 0 when it succeeded, else the number the failure was told with (-1: none).
    std::function<int(const QString& base, QString& detail)> run;
    std::optional<faultplan::Always> volume{};  // how the volume answers every such call
};

// Each errno a call fails with, and the number a failure is then told with
// (0: any; "no such entry" can mean another entry).
const std::pair<int, int> kErrnos[] = {{EIO, 57},          {ENOSPC, 61}, {EACCES, 70}, {EPERM, 70},
                                       {EXDEV, 74},        {EINVAL, 75}, {ENOENT, 0},  {EBUSY, 70},
                                       {ENAMETOOLONG, 52}, {EMLINK, 67}};

// The operations of the sweep, on base/disk and the volume base/other.
QList<Operation> operations()
{
    using FS = Cls_FileSystem;
    using B = const QString&;
    QList<Operation> list;
    const auto pass = [&](const char* name, const QStringList& tree, const Pass& setup) {
        list.append(
            {name, tree, Renames, [setup](B base, QString& detail) {
                 const QList<int> told = runPass(base + "/disk", setup, detail);
                 return told.size() == 1 && told[0] >= 0 ? 0 : told.value(1) == 0 ? -1 : told[1];
             }});
    };
    pass("file pass", {"a.jpeg", "b.jpeg", "s/", "s/c.jpeg", "s/d.txt"},
         {.tail = true, .from = ".jpeg", .to = ".jpg", .deep = true});
    pass("directory pass", {"old_a/", "old_a/f", "old_a/old_b/", "old_a/old_b/g", "old_c/"},
         {.folders = true, .from = "old_", .to = "new_", .deep = true});
    // A service call on the paths of disk and other.
    const auto call = [&](const char* name, const QStringList& tree, Kind kind,
                          bool (*run)(FS&, B, B)) {
        list.append(
            {name, tree, kind, [run](B base, QString&) {
                 FS service;
                 const bool ok = run(service, base + "/disk/", base + "/other/");
                 return ok ? 0 : service.GetLng_ErrorNo() == 0 ? -1 : service.GetLng_ErrorNo();
             }});
    };
    const QStringList folder{"d/", "d/f", "d/s/", "d/s/g", "d/l>f"};
    call("Name of a file", {"a", "b/"}, Moves,
         [](FS& s, B d, B) { return s.PFncBln_ChangeFileName(d + "a", d + "b/a"); });
    call("Name of a folder", folder, Moves,
         [](FS& s, B d, B) { return s.PFncBln_ChangeFileName(d + "d", d + "e"); });
    call("MoveFile across volumes", {"a"}, Moves,
         [](FS& s, B d, B o) { return s.PFncBln_MoveFile(d + "a", o + "a"); });
    call("MoveFolder across volumes", folder, Moves,
         [](FS& s, B d, B o) { return s.PFncBln_MoveDirectory(d + "d", o + "d"); });
    call("CopyFile", {"a"}, Copies,
         [](FS& s, B d, B) { return s.PFncBln_CopyFile(d + "a", d + "b", false); });
    call("CopyFile with overwrite", {"a", "b"}, Copies,
         [](FS& s, B d, B) { return s.PFncBln_CopyFile(d + "a", d + "b", true); });
    call("CopyFolder", folder + QStringList{"e/", "e/f"}, Copies,
         [](FS& s, B d, B) { return s.PFncBln_CopyFolder(d + "d", d + "e", true); });
    call("DeleteFolder holding a link", {"keep", "d/", "d/f", "d/s/", "d/s/g", "d/l>../keep"},
         Deletes, [](FS& s, B d, B) { return s.PFncBln_DeleteFolder(d + "d", false); });
    for (int i = 0; i < 4; ++i) {  // the passes and Names on a volume without the flag
        list.append(Operation(list[i]));
        list.back().name += ", no RENAME_NOREPLACE";
        list.back().volume = faultplan::kNoReplaceRefused;
    }
    return list;
}

// Why the state after a run is wrong, or empty.
QString judge(const Operation& op, int told, Call injected, int error, int number,
              const Holdings& before, const Holdings& expected, const Holdings& after)
{
    // Told that the folder to delete is not there, a delete has nothing to do.
    if (told == 0 && after != expected &&
        !(op.kind == Deletes && error == ENOENT && after == before))
        return u"success, but not the result"_qs;
    if (told == 0)
        return QString();
    if (told < 0)
        return u"failure without an error number"_qs;
    // A failed stat can also make an entry look missing or present.
    if (number != 0 && injected != Call::Stat && told != number)
        return u"failure told as %1"_qs.arg(told);
    // A pass has checked where each step left its entry.
    for (auto it = after.cbegin(); op.kind != Renames && it != after.cend(); ++it) {
        // A folder keeps the permissions it was made with when the call that
        // gives it its source's fails.
        if (injected == Call::Chmod && it.key().endsWith(u'/') && expected.contains(it.key()))
            continue;
        if (before.value(it.key()) != *it && expected.value(it.key()) != *it)
            return it.key() + u" is neither as it was nor as it should be"_qs;
    }
    // Only what the result no longer holds (a delete's, a file copied over) may go.
    const QMap<QByteArray, int> now = contentCounts(after), kept = contentCounts(expected);
    for (const QByteArray& content : contentCounts(before).keys()) {
        if (kept.contains(content) && !now.contains(content))
            return u"lost "_qs + content;
        if (op.kind != Copies && now.value(content) > 1)
            return u"doubled "_qs + content;
    }
    return QString();
}

}  // namespace

Q_DECLARE_METATYPE(Pass)
Q_DECLARE_METATYPE(Operation)

class FaultsTest : public QObject, private EngineTest {
    Q_OBJECT

    QTemporaryDir m_base;
    ScopedMount m_mounts;

    void arrange(const QStringList& tree)
    {
        for (const char* volume : {"/disk", "/other"})
            removeTree(m_base.path() + volume);  // a mount point stays, emptied
        make(m_base.path(), {"disk/", "other/"});
        make(m_base.path() + "/disk", tree);
        for (const QString& entry : DiskTree::tree(m_base.path()))  // runs compare
            setStamp(m_base.path() + u'/' + entry, QDateTime::fromSecsSinceEpoch(1600000000));
    }

private slots:
    void initTestCase()
    {
        arrange({});
        // Two fresh volumes make the runs fast and the moves cross a volume.
        m_mounts.tmpfs(raw(m_base.path() + "/disk"));
        m_mounts.tmpfs(raw(m_base.path() + "/other"));
    }

    // Every operation that moves or copies what the user owns, failed at each
    // of its system calls in turn with each errno: afterwards nothing is lost
    // or doubled, nothing half-written or temporary is left, and a failure is
    // told as one.
    void sweep_data()
    {
        QTest::addColumn<Operation>("op");
        for (const Operation& op : operations())
            QTest::newRow(op.name.constData()) << op;
    }
    void sweep()
    {
        QFETCH(Operation, op);
        arrange(op.tree);
        const Holdings before = holdings(m_base.path());
        QString detail;
        std::optional<faultplan::Failing> recording(std::in_place, Call::Open, -1, 0, op.volume);
        QVERIFY2(op.run(m_base.path(), detail) == 0 && detail.isEmpty(), qPrintable(detail));
        const std::vector<Call> calls = recording->calls();
        recording.reset();
        const Holdings expected = holdings(m_base.path());
        QVERIFY(expected != before);
        // A fault-free run keeps every content (a move) or adds only whole copies.
        const QMap<QByteArray, int> was = contentCounts(before), is = contentCounts(expected);
        QVERIFY(op.kind >= Copies || is == was);
        for (const QByteArray& content : is.keys())
            QVERIFY2(was.contains(content), content.constData());
        int seen[rt::sys::kCallKinds] = {};
        for (const Call kind : calls) {
            const int nth = seen[static_cast<int>(kind)]++;
            for (const auto& [error, number] : kErrnos) {
                // An unlink answered "no such entry" has nothing left to do.
                if (kind == Call::Unlink && error == ENOENT)
                    continue;
                arrange(op.tree);
                detail.clear();
                // The plan lasts through the checks, which do not use the seam.
                const faultplan::Failing plan(kind, nth, error, op.volume);
                const int told = op.run(m_base.path(), detail);
                QVERIFY(plan.fired());
                detail +=
                    judge(op, told, kind, error, number, before, expected, holdings(m_base.path()));
                const QString call = u"call %1 #%2 failing with errno %3: "_qs.arg(int(kind));
                QVERIFY2(detail.isEmpty(), qPrintable(call.arg(nth).arg(error) + detail));
            }
        }
    }

    // The disk changes after the listing, just before the first rename (`move`
    // from, to, and what takes from's place: "/" a folder, else a link to it),
    // or every rename fails with `fault`: the renames stay with the entries the
    // pass listed and opened, nothing outside the tree is renamed, no file's
    // content is lost or doubled, and the boxes tell what failed.
    void disturbed_data()
    {
        QTest::addColumn<Pass>("p");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("move");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QList<int>>("told");  // renamed, then the boxes' numbers
        const auto row = [](const char* name, const Pass& p, const QStringList& before,
                            const QStringList& move, int fault, const QStringList& after,
                            const QList<int>& told) {
            QTest::newRow(name) << p << before << move << fault << after << told;
        };
        const Pass jpeg{.tail = true, .from = ".jpeg", .to = ".jpg"};
        const Pass deepIn{.tail = true, .from = ".jpeg", .to = ".jpg", .deep = true, .start = "in"};
        const QStringList twoTrees{"in/",  "in/a.jpeg",  "in/sub/",  "in/sub/b.jpeg",
                                   "out/", "out/a.jpeg", "out/sub/", "out/sub/b.jpeg"};
        const QStringList outTree = twoTrees.mid(4);
        row("file vanishes", jpeg, {"a.jpeg", "elsewhere/"}, {"a.jpeg", "elsewhere/a.jpeg", ""}, 0,
            {"elsewhere/", "elsewhere/a.jpeg"}, {0, 53});
        row("file replaced by a folder", jpeg, {"a.jpeg", "elsewhere/"},
            {"a.jpeg", "elsewhere/a.jpeg", "/"}, 0, {"a.jpg/", "elsewhere/", "elsewhere/a.jpeg"},
            {1});
        row("start folder swapped for a link", deepIn, twoTrees, {"in", "moved", "out"}, 0,
            QStringList{"in", "moved/", "moved/a.jpg", "moved/sub/", "moved/sub/b.jpg"} + outTree,
            {2});
        // The folder listed as sub is gone (76); the link in its place is not followed.
        row("subfolder swapped for a link", deepIn, twoTrees, {"in/sub", "in/moved", "out/sub"}, 0,
            QStringList{"in/", "in/a.jpg", "in/moved/", "in/moved/b.jpeg", "in/sub"} + outTree,
            {1, 76});
        // Nothing is copied instead, and the pass goes on: old_a keeps its
        // name, and so does old_b inside it.
        const QStringList olds{"old_a/", "old_a/f", "old_a/old_b/"};
        row("folder renames across volumes",
            {.folders = true, .from = "old_", .to = "new_", .deep = true}, olds, {}, EXDEV, olds,
            {0, 74, 74});
    }
    void disturbed()
    {
        QFETCH(Pass, p);
        QFETCH(QStringList, before);
        QFETCH(QStringList, move);
        QFETCH(int, fault);
        QTemporaryDir dir;
        make(dir.path(), before);
        const Holdings was = holdings(dir.path());
        const auto at = [&](int i) { return raw(dir.path() + u'/' + move.value(i)); };
        const auto change = [&] {
            ::rename(at(0), at(1));
            if (move[2] == u"/")
                ::mkdir(at(0), 0755);
            else if (!move[2].isEmpty())
                ::symlink(at(2), at(0));
        };
        const faultplan::Failing plan(Call::RenameNoReplace, move.isEmpty() ? -1 : 0, 0,
                                      faultplan::Always{Call::RenameNoReplace, fault}, change);
        QString detail;  // the steps may name a moved path
        const QList<int> told = runPass(dir.path(), p, detail);
        QTEST(tree(dir.path()), "after");
        QCOMPARE(contentCounts(holdings(dir.path())), contentCounts(was));
        QTEST(told, "told");
    }
};

QTEST_GUILESS_MAIN(FaultsTest)
#include "tst_Faults.moc"
