#include "Snapshot.h"
#include "engine/EngineTestSupport.h"
#include "filesystem/Cls_FileSystem.h"
#include "runtime/VbError.h"
#include "support/FaultPlan.h"
#include "support/MsgBoxRecorder.h"
#include "support/ScopedMount.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <sys/wait.h>

namespace {

// One rename pass: the part `from` at the head (or the tail) becomes `to`.
struct Pass {
    bool folders = false;
    bool tail = false;
    QString from{};
    QString to{};
    bool narrow = false;
    bool deep = false;
    QString start{};
};

// The numbers the boxes of a run began with, and the renamed count.
struct Told {
    QList<int> boxes;
    int renamed = 0;
};

Told runPass(const QString& root, const Pass& p)
{
    MsgBoxRecorder boxes;
    Cls_FileRename job;
    EngineTest::configure(job, p.start.isEmpty() ? root : root + u'/' + p.start, !p.tail, p.from,
                          p.to);
    job.setIsNarrow(p.narrow);
    job.setIsNoAnderTheWorld(!p.deep);
    job.MsgDisplayFlg_Prop(true);
    if (!(p.folders ? job.PFncBln_DirectoryRename() : job.PFncBln_FileRename()))
        return {{-1}, 0};
    Told told{{}, Cls_FileRenameTestAccess{job}.renameCount()};
    for (const MsgBoxRecorder::Box& box : boxes.boxes())
        told.boxes.append(box.prompt.section(u' ', 0, 0).toInt());
    return told;
}

// A service operation on the disk and the other volume.
using Operation = std::function<bool(Cls_FileSystem&, const QString& disk, const QString& other)>;
// A change made to the disk under the scratch root while a pass runs.
using Change = std::function<void(const QByteArray& root)>;

}  // namespace

Q_DECLARE_METATYPE(Pass)
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Change)

// The hard cases of a bulk rename and of the service's moves and copies, each
// named: what the disk holds afterwards (nothing lost, nothing half-made) and
// how the failure was told.
class FaultMatrixTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
    // Each row runs on a volume with RENAME_NOREPLACE and on one that refuses
    // it (every renameat2 answered with EINVAL through the seam).
    void pass_data()
    {
        QTest::addColumn<Pass>("p");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QList<int>>("boxes");
        QTest::addColumn<int>("renamed");
        const auto row = [](const char* name, const Pass& p, const QStringList& before,
                            const QStringList& after, const QList<int>& boxes, int renamed) {
            QTest::newRow(name) << p << before << after << boxes << renamed;
        };
        const Pass jpeg{.tail = true, .from = ".jpeg", .to = ".jpg"};
        row("file onto an existing file", jpeg, {"a.jpeg", "a.jpg"}, {"a.jpeg", "a.jpg"}, {58}, 0);
        row("folder onto an existing empty folder", {.folders = true, .from = "old_", .to = "new_"},
            {"old_x/", "old_x/f", "new_x/"}, {"old_x/", "old_x/f", "new_x/"}, {58}, 0);
        row("rename onto itself", {.from = "a", .to = "a"}, {"a"}, {"a"}, {58}, 0);
        row("case-only rename", {.from = "a", .to = "A"}, {"a.txt"}, {"A.txt"}, {}, 1);
        // The first rename makes the full-width solidus, the half-width step
        // would make it a separator.
        row("separator from the half-width step", {.from = "a", .to = u"ｂ／"_qs, .narrow = true},
            {"a"}, {u"ｂ／"_qs}, {52}, 1);
        row("256-byte name", {.from = "a", .to = QString(256, u'x')}, {"a"}, {"a"}, {52}, 0);
    }
    void pass()
    {
        QFETCH(Pass, p);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QList<int>, boxes);
        QFETCH(int, renamed);
        for (const bool refused : {false, true}) {
            QTemporaryDir dir;
            make(dir.path(), before);
            std::optional<faultplan::FailingAll> volume;
            if (refused)
                volume.emplace(faultplan::kNoReplaceRefused);
            const Told told = runPass(dir.path(), p);
            const char* where = refused ? "without RENAME_NOREPLACE" : "with RENAME_NOREPLACE";
            QVERIFY2(tree(dir.path()) == sorted(after), where);
            QVERIFY2(told.boxes == boxes && told.renamed == renamed, where);
            reliability::emptyTree(raw(dir.path()));  // QTemporaryDir loses undecodable names
        }
    }

    // The disk changes after the listing, just before the first rename (or
    // every rename fails with `fault`): the renames stay with the entries the
    // pass listed and opened, nothing outside the tree is renamed, no file's
    // content is lost or doubled, and the boxes tell what failed.
    void disturbed_data()
    {
        QTest::addColumn<Pass>("p");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QList<int>>("boxes");
        QTest::addColumn<int>("renamed");
        // Moves `from` to `to`; `put` ("/" a folder, else a link to it) takes its place.
        const auto move = [](const char* from, const char* to, const char* put = "") {
            return Change([=](const QByteArray& root) {
                ::rename(root + '/' + from, root + '/' + to);
                if (put == QByteArray("/"))
                    ::mkdir(root + '/' + from, 0755);
                else if (*put)
                    ::symlink(root + '/' + put, root + '/' + from);
            });
        };
        const Pass jpeg{.tail = true, .from = ".jpeg", .to = ".jpg"};
        const Pass deepIn{.tail = true, .from = ".jpeg", .to = ".jpg", .deep = true, .start = "in"};
        const QStringList twoTrees{"in/",  "in/a.jpeg",  "in/sub/",  "in/sub/b.jpeg",
                                   "out/", "out/a.jpeg", "out/sub/", "out/sub/b.jpeg"};
        const QStringList outTree{"out/", "out/a.jpeg", "out/sub/", "out/sub/b.jpeg"};
        QTest::newRow("file vanishes")
            << jpeg << QStringList{"a.jpeg", "elsewhere/"} << move("a.jpeg", "elsewhere/a.jpeg")
            << 0 << QStringList{"elsewhere/", "elsewhere/a.jpeg"} << QList<int>{rt::kFileNotFound}
            << 0;
        QTest::newRow("file replaced by a folder")
            << jpeg << QStringList{"a.jpeg", "elsewhere/"}
            << move("a.jpeg", "elsewhere/a.jpeg", "/") << 0
            << QStringList{"a.jpg/", "elsewhere/", "elsewhere/a.jpeg"} << QList<int>{} << 1;
        QTest::newRow("start folder swapped for a link")
            << deepIn << twoTrees << move("in", "moved", "out") << 0
            << QStringList{"in", "moved/", "moved/a.jpg", "moved/sub/", "moved/sub/b.jpg"} + outTree
            << QList<int>{} << 2;
        // The folder listed as sub is gone (76); the link in its place is not followed.
        QTest::newRow("subfolder swapped for a link")
            << deepIn << twoTrees << move("in/sub", "in/moved", "out/sub") << 0
            << QStringList{"in/", "in/a.jpg", "in/moved/", "in/moved/b.jpeg", "in/sub"} + outTree
            << QList<int>{rt::kPathNotFound} << 1;
        // Nothing is copied instead: old_a keeps its name, and so does old_b inside it.
        QTest::newRow("folder renames across volumes")
            << Pass{.folders = true, .from = "old_", .to = "new_", .deep = true}
            << QStringList{"old_a/", "old_a/f", "old_a/old_b/"} << Change() << EXDEV
            << QStringList{"old_a/", "old_a/f", "old_a/old_b/"} << QList<int>{74, 74} << 0;
    }
    void disturbed()
    {
        QFETCH(Pass, p);
        QFETCH(QStringList, before);
        QFETCH(Change, change);
        QFETCH(int, fault);
        QFETCH(QStringList, after);
        QFETCH(QList<int>, boxes);
        QFETCH(int, renamed);
        QTemporaryDir dir;
        make(dir.path(), before);
        const QByteArray root = raw(dir.path());
        reliability::Snapshot was, now;
        reliability::addTree(was, root, "");
        Told told;
        if (fault != 0) {
            const faultplan::FailingAll plan({faultplan::Call::RenameNoReplace, fault});
            told = runPass(dir.path(), p);
        } else {
            const faultplan::Before plan(faultplan::Call::RenameNoReplace, [&] { change(root); });
            told = runPass(dir.path(), p);
        }
        reliability::addTree(now, root, "");
        QCOMPARE(tree(dir.path()), sorted(after));
        QCOMPARE(reliability::contentCounts(now), reliability::contentCounts(was));
        QCOMPARE(told.boxes, boxes);
        QCOMPARE(told.renamed, renamed);
    }

    // As a user without rights (so also when the suite runs as root): a
    // folder without write permission keeps its file's name (70), one without
    // read permission is not listed (70); the rest of the run goes on.
    void foldersWithoutPermission()
    {
        QTemporaryDir dir;
        make(dir.path(), {"locked/", "locked/a.jpeg", "unread/", "unread/b.jpeg", "c.jpeg"});
        const QByteArray root = raw(dir.path());
        const uid_t nobody = 65534;
        for (const char* path :
             {"", "/locked", "/locked/a.jpeg", "/unread", "/unread/b.jpeg", "/c.jpeg"})
            QCOMPARE(::chown(root + path, nobody, nobody), 0);
        QCOMPARE(::chmod(root + "/locked", 0555), 0);
        QCOMPARE(::chmod(root + "/unread", 0333), 0);
        int channel[2];
        QCOMPARE(::pipe(channel), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(2);
            const Told told =
                runPass(dir.path(), {.tail = true, .from = ".jpeg", .to = ".jpg", .deep = true});
            QByteArray text = QByteArray::number(told.renamed);
            for (const int box : told.boxes)
                text += ' ' + QByteArray::number(box);
            ::_exit(::write(channel[1], text.constData(), size_t(text.size())) == text.size() ? 0
                                                                                              : 3);
        }
        ::close(channel[1]);
        char buffer[256] = {};
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
        ::close(channel[0]);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0 && got > 0);
        ::chmod(root + "/locked", 0755);
        ::chmod(root + "/unread", 0755);
        QCOMPARE(tree(dir.path()),
                 QStringList({"c.jpg", "locked/", "locked/a.jpeg", "unread/", "unread/b.jpeg"}));
        QCOMPARE(QByteArray(buffer), QByteArray("1 70 70"));
    }

    // A full disk under the service's moves across volumes and copies: the
    // failure is recorded as 61, the source (and a file that was to be
    // replaced) is as it was, nothing is left half-made at the destination.
    void diskFull_data()
    {
        QTest::addColumn<Operation>("operation");
        using FS = Cls_FileSystem&;
        using S = const QString&;
        QTest::newRow("file moved across volumes")
            << Operation([](FS fs, S d, S o) { return fs.PFncBln_MoveFile(d + "/a", o + "/a"); });
        QTest::newRow("folder moved across volumes") << Operation(
            [](FS fs, S d, S o) { return fs.PFncBln_MoveDirectory(d + "/t", o + "/t"); });
        QTest::newRow("copy over a file") << Operation(
            [](FS fs, S d, S) { return fs.PFncBln_CopyFile(d + "/a", d + "/b", true); });
    }
    void diskFull()
    {
        QFETCH(Operation, operation);
        QTemporaryDir dir;
        const QByteArray root = raw(dir.path());
        QCOMPARE(::mkdir(root + "/disk", 0755), 0);
        QCOMPARE(::mkdir(root + "/other", 0755), 0);
        ScopedMount mounts;
        if (const QByteArray why = mounts.tmpfs(root + "/other"); !why.isEmpty())
            QSKIP(why.constData());
        const QString d = dir.path() + "/disk", o = dir.path() + "/other";
        const QStringList disk{"a", "b", "t/", "t/f"};
        make(d, disk);
        Cls_FileSystem fs;
        {
            const faultplan::FailingAll full({faultplan::Call::Write, ENOSPC});
            QVERIFY(!operation(fs, d, o));
        }
        QCOMPARE(fs.GetLng_ErrorNo(), 61);
        QCOMPARE(tree(d), disk);
        QCOMPARE(tree(o), QStringList());
        QCOMPARE(readFile(root + "/disk/b"), QByteArray("b"));
    }
};

QTEST_GUILESS_MAIN(FaultMatrixTest)
#include "tst_FaultMatrix.moc"
