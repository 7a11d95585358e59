#include "CliTest.h"
#include "runtime/RenameAt.h"

#include <map>

namespace {

const QStringList kVolumes{"exfat", "vfat", "ntfs"};

QString statuses(const RunOutcome& outcome)
{
    QStringList words;
    for (const RenameStep& step : outcome.steps)
        words.append(stepStatus(step) + u' ' + step.fromName + u'>' + step.toName);
    words.sort();  // in the order the volume lists its names
    return words.join(u", ");
}

}  // namespace

// Cards, sticks and Windows drives as their FUSE drivers present them. Each
// case is previewed, applied through the journal, undone after the volume
// was taken out and put back, and run as the window runs it: the preview
// must be what both runs did, and every file's contents must be there
// exactly once throughout.
class VolumesTest : public QObject, private EngineTest {
    Q_OBJECT

    QTemporaryDir m_Scratch;
    std::map<QString, LoopVolume> m_Volumes;  // unmounted before m_Scratch goes
    std::map<QString, QString> m_Why;         // why a volume could not be mounted
    int m_Serial = 0;

    // The tree of root, then its files' contents, sorted: each file holds
    // its first name.
    static QStringList snapshot(const QString& root)
    {
        QStringList found;
        for (const QString& entry : tree(root)) {
            if (!entry.endsWith(u'/'))
                found.append(QString::fromUtf8(readFile(raw(root + u'/' + entry))));
        }
        return tree(root) + sorted(found);
    }

    // A fresh folder on the volume, or empty when it could not be mounted.
    QString folderOn(const QString& volume)
    {
        const QString root = m_Volumes[volume].path() + u"/t"_qs + QString::number(++m_Serial);
        return m_Why[volume].isEmpty() && ::mkdir(raw(root).constData(), 0755) == 0 ? root
                                                                                    : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_Scratch.isValid());
        qputenv("XDG_STATE_HOME", raw(m_Scratch.path() + u"/state"_qs));
        for (const QString& type : kVolumes)
            m_Why[type] = m_Volumes[type].make(m_Scratch.filePath(type), type);
    }
    void cleanupTestCase() { qunsetenv("XDG_STATE_HOME"); }

    void cases_data()
    {
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("options");   // as runOf reads them
        QTest::addColumn<QString>("expected");  // the preview's steps
        QTest::addColumn<QStringList>("after");
        for (const QString& volume : kVolumes) {
            const bool folds = volume != u"ntfs";  // ntfs-3g keeps case
            const auto row = [&](const char* tag, const QStringList& entries, const char* options,
                                 const QString& expected, const QStringList& after) {
                QTest::newRow(qPrintable(volume + u": "_qs + QString::fromUtf8(tag)))
                    << volume << entries << QString::fromUtf8(options) << expected << after;
            };
            row("case-only file renames", {"IMG_0001.JPG", "IMG_0002.JPG", "notes.txt"},
                "--tail --from .JPG --to .jpg",
                "ok IMG_0001.JPG>IMG_0001.jpg, ok IMG_0002.JPG>IMG_0002.jpg",
                {"IMG_0001.jpg", "IMG_0002.jpg", "notes.txt"});
            // fusefat loses what a renamed folder holds: only an empty one is renamed.
            const bool full = volume != u"vfat";
            const QString canon = full ? u"100CANON.dir"_qs : u"100CANON.DIR"_qs;
            row("case-only folder renames", {"100CANON.DIR/", "100CANON.DIR/A.JPG", "EMPTY.DIR/"},
                "--tail --from .DIR --to .dir --dirs",
                (full ? u"ok"_qs : u"error"_qs) +
                    " 100CANON.DIR>100CANON.dir, ok EMPTY.DIR>EMPTY.dir",
                {canon + u'/', canon + u"/A.JPG"_qs, "EMPTY.dir/"});
            row("taken in another case", {"b.JPEG", "B.jpg"}, "--tail --from .JPEG --to .jpg",
                folds ? "exists b.JPEG>b.jpg" : "ok b.JPEG>b.jpg",
                folds ? QStringList{"B.jpg", "b.JPEG"} : QStringList{"B.jpg", "b.jpg"});
            row("a character the volume refuses", {"a.txt"}, "--tail --from .txt --to ?.txt",
                "invalid a.txt>a?.txt", {"a.txt"});
            row("a name ending in a dot", {"b.txt"}, "--tail --from .txt --to .",
                "invalid b.txt>b.", {"b.txt"});
            row("narrowing only, nothing to narrow", {"plain.txt"}, "--head --from  --to  --narrow",
                "", {"plain.txt"});
        }
    }

    void cases()
    {
        QFETCH(QString, volume);
        QFETCH(QStringList, entries);
        QFETCH(QString, options);
        QFETCH(QString, expected);
        QFETCH(QStringList, after);
        const QString root = folderOn(volume);
        if (root.isEmpty())
            QSKIP(qPrintable(m_Why[volume]));
        make(root, entries);
        const QStringList before = snapshot(root);
        after += before.mid(tree(root).size());  // the same contents, under the new names

        CliSettings run = runOf(root, options);
        const RunOutcome preview = runCommand(run).preview;
        QCOMPARE(statuses(preview), expected);
        QCOMPARE(snapshot(root), before);

        run.apply = true;
        const CommandResult applied = runCommand(run);
        QCOMPARE(statuses(applied.applied.steps.isEmpty() ? preview : applied.applied), expected);
        QCOMPARE(snapshot(root), after);

        if (!applied.journal.isEmpty()) {
            QVERIFY(m_Volumes[volume].remount().isEmpty());
            bool complete = false;
            const RunOutcome undone = undoAt(applied.journal, complete);
            QVERIFY2(complete && undone.skipped == 0, qPrintable(statuses(undone)));
            QCOMPARE(snapshot(root), before);
        }

        Cls_RenameDiskReal disk;  // the window's run
        QCOMPARE(statuses(runRename(run, disk)), expected);
        QCOMPARE(snapshot(root), after);
    }

    // A volume that answers a rename as done and changes nothing: the step
    // fails (the folder is asked) in the window's run and in the command
    // line's journaled one, and the file keeps its name.
    void renameAnsweredButNotDone()
    {
        for (const QString& volume : kVolumes) {
            const QString root = folderOn(volume);
            if (root.isEmpty())
                QSKIP(qPrintable(m_Why[volume]));
            make(root, {"a.JPG"});
            for (const QString to : {".jpg", ".png"}) {  // a change of case, another name
                CliSettings run = runOf(root, u"--tail --from .JPG --to "_qs + to);
                const faultplan::FailingAll liar(
                    {rt::sys::Call::RenameNoReplace, rt::sys::kAnsweredDone});
                Cls_RenameDiskReal disk;
                QCOMPARE(statuses(runRename(run, disk)), u"error a.JPG>a"_qs + to);
                run.apply = true;
                QCOMPARE(statuses(runCommand(run).applied), u"error a.JPG>a"_qs + to);
                QCOMPARE(tree(root), QStringList{"a.JPG"});
            }
        }
    }

    // A run killed between the two steps of a case-only rename leaves the
    // file at its temporary name, which the journal holds: undo gives the
    // file its old name back.
    void killedBetweenTheTwoSteps()
    {
        const QString root = folderOn(u"exfat"_qs);
        if (root.isEmpty())
            QSKIP(qPrintable(m_Why[u"exfat"_qs]));
        make(root, {"IMG_0001.JPG"});
        const pid_t child = ::fork();
        if (child == 0) {
            // The second attempt to rename without replacing is the second
            // step's: the process dies there.
            rt::sys::faultHook = [](rt::sys::Call call) {
                static int renames = 0;
                if (call == rt::sys::Call::RenameNoReplace && ++renames == 2)
                    ::_exit(9);
                return 0;
            };
            runCommand(runOf(root, u"--tail --from .JPG --to .jpg --apply"_qs));
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 9);
        const QString temporary = QString::fromUtf8(rt::temporaryNameFor("IMG_0001.JPG", 0))
                                      .replace(QString::number(::getpid()), QString::number(child));
        QCOMPARE(tree(root), QStringList{temporary});

        bool complete = false;
        const RunOutcome undone = undoAt(newestJournal(), complete);
        QVERIFY2(complete, qPrintable(statuses(undone)));
        QCOMPARE(snapshot(root), (QStringList{"IMG_0001.JPG", "IMG_0001.JPG"}));
    }
};

NEMIROU_CLI_TESTS(VolumesTest)

#include "tst_Volumes.moc"
