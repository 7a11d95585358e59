#include "CliTest.h"
#include "engine/RenamePlan.h"

namespace {

// Pieces names are made of: colliding ASCII, full-width and half-width
// forms (some narrow onto others), kana that take a voiced mark, the
// full-width solidus, a dot and an undecodable byte (kept as U+DCFF).
const QStringList kPieces =
    u"a b ab .jpeg .jpg ａ ｂ ＡＢ AB テスト ﾃｽﾄ ガ ｶﾞ ／ １ 1 ."_qs.split(u' ') << QChar(0xDCFF);

// On a card's volume: names in both cases (one name there), no byte that
// is not UTF-8 (the volume cannot hold it); a new name may take a
// character the volume refuses, or end in a dot or a blank.
const QStringList kCardPieces =
    u"a A b B ab AB .jpeg .JPG .jpg ａ Ａ テスト ﾃｽﾄ ガ ／ ？ 1 ."_qs.split(u' ');
const QStringList kRefusedPieces{"?", ":", " ", "|"};

QString randomText(QRandomGenerator& random, int most, const QStringList& pieces)
{
    QString text;
    for (int count = random.bounded(most + 1); count > 0; --count)
        text += pieces[random.bounded(pieces.size())];
    return text;
}

// A random tree (entries for EngineTest::make) and settings s; card: for a
// card's volume (no links, names that fold equal made once).
QStringList randomCase(QRandomGenerator& random, bool card, CliSettings& s)
{
    QStringList entries;
    QStringList folders{QString()};
    QSet<QString> taken;
    const QStringList& pieces = card ? kCardPieces : kPieces;
    for (int count = 2 + random.bounded(14); count > 0; --count) {
        const QString parent = folders[random.bounded(folders.size())];
        const QString dot = random.bounded(6) == 0 ? u"."_qs : QString();  // a hidden one
        QString name;  // one that can exist on disk: no separator, not "." or ".."
        while (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/'))
            name = dot + randomText(random, 3, pieces);
        const QString path = parent + name;
        // Each name once: a file or folder made at the name of a link would
        // be made through it, outside the tree.
        const QString key = card ? path.toCaseFolded() : path;
        if (taken.contains(key))
            continue;
        taken.insert(key);
        // A folder, a file, or a link: to a file, to a folder (which may
        // hold files), dangling.
        static const QStringList targets{"../x", ".", "nowhere", "/"};
        const int kind = random.bounded(8);
        const bool folder = kind < 2 && path.count(u'/') < 2;
        if (folder)
            folders.append(path + u'/');
        entries.append(folder               ? path + u'/'
                       : kind == 2 && !card ? path + u'>' + targets[random.bounded(4)]
                                            : path);
    }
    s.head = random.bounded(2) == 0;
    // Half the time the part is the head or tail of a name of the tree, so
    // that most cases rename something.
    s.from = randomText(random, 2, pieces);
    if (random.bounded(2) == 0) {
        const QString last = entries[random.bounded(entries.size())]
                                 .section(u'>', 0, 0)
                                 .section(u'/', -1, -1, QString::SectionSkipEmpty);
        const qsizetype length = random.bounded(last.size() + 1);
        s.from = s.head ? last.left(length) : last.right(length);
    }
    s.to = randomText(random, 2, card && random.bounded(4) == 0 ? kRefusedPieces : pieces);
    s.whole = random.bounded(4) == 0;
    s.narrow = s.head && random.bounded(2) == 0;
    s.folders = random.bounded(3) == 0;
    s.recursive = random.bounded(2) == 0;
    return entries;
}

// A run's steps and counts, a line each.
QStringList described(const RunOutcome& outcome)
{
    QStringList lines;
    for (const RenameStep& step : outcome.steps)
        lines << step.from() + u" > "_qs + step.to() + u" ["_qs + QString::number(step.error) +
                     u'/' + QString::number(step.systemError) + u']';
    return lines << QString::asprintf("renamed %lld skipped %lld examined %lld", outcome.renamed,
                                      outcome.skipped, outcome.examined);
}

// The tree as the preview says the run leaves it: each ok step renames an
// entry (and carries a folder's contents along). prefix: the length of the
// start folder as the run was given it, with its separator. On a card a
// step's old name reaches the entry in any letter case.
QStringList predicted(QStringList tree, qsizetype prefix, const RunOutcome& preview, bool card)
{
    const auto key = [card](const QString& path) { return card ? path.toCaseFolded() : path; };
    for (const RenameStep& step : preview.steps) {
        const QString from = key(step.from().mid(prefix));
        for (QString& entry : tree) {
            const QString at = key(entry);
            if (step.error == 0 && (at == from || at.startsWith(from + u'/')))
                entry = step.to().mid(prefix) + entry.mid(from.size());
        }
    }
    return DiskTree::sorted(tree);
}

// An oracle written apart from the passes, from the rules as a user reads
// them, for runs without the half-width step: each folder is listed once in
// the order it yields its names; the entries of the run's kind that are
// not hidden are examined in that order and renamed to their new names,
// never onto a name the folder holds; the subfolders are entered afterwards
// when the run descends (a folder run enters a renamed one under its new
// name). Steps read "old > new status", relative to the start folder.
struct Oracle {
    const CliSettings& run;
    QStringList steps;
    qint64 examined = 0;

    void folder(const QByteArray& path, const QString& relative)
    {
        QList<QPair<QString, bool>> entries;  // name, is a folder
        QSet<QString> present;
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), ::closedir);
        while (const dirent* entry = dir ? ::readdir(dir.get()) : nullptr) {
            const QString name = rt::decodeName(entry->d_name);
            struct stat info {};
            if (name == u"." || name == u"..")
                continue;
            present.insert(name);
            const QByteArray at = path + '/' + entry->d_name;
            // Not hidden; a folder, or a file (through a link too).
            if (!name.startsWith(u'.') && ::lstat(at.constData(), &info) == 0 &&
                (S_ISDIR(info.st_mode) ||
                 (::stat(at.constData(), &info) == 0 && S_ISREG(info.st_mode))))
                entries.append({name, S_ISDIR(info.st_mode)});
        }
        QList<QPair<QString, QString>> subfolders;  // on disk, as the run has it
        for (const auto& [name, isFolder] : std::as_const(entries)) {
            if (isFolder)
                subfolders.append({name, name});
            if (isFolder != run.folders)
                continue;
            ++examined;
            const qsizetype n = run.from.size();
            if (!(run.head ? name.startsWith(run.from) : name.endsWith(run.from)))
                continue;
            const QString to = run.whole  ? run.to
                               : run.head ? run.to + name.mid(n)
                                          : name.chopped(n) + run.to;
            if (to == name)
                continue;
            // Not one name: the generator makes none too long, none with a
            // separator or a NUL.
            const QString status = to.isEmpty() || to == u"." || to == u".." ? "invalid"
                                   : present.contains(to)                    ? "exists"
                                                                             : "ok";
            steps.append(relative + name + u" > "_qs + relative + to + u' ' + status);
            if (status != u"ok")
                continue;
            present.remove(name);
            present.insert(to);
            if (isFolder)
                subfolders.last().second = to;
        }
        for (const auto& [onDisk, now] : std::as_const(subfolders)) {
            if (run.recursive && !now.startsWith(u'.'))
                folder(path + '/' + rt::encodeName(onDisk), relative + now + u'/');
        }
    }
};

}  // namespace

// The preview is the truth: on random small trees with random settings,
// the applied run takes exactly the steps the preview showed and leaves
// the tree the preview implies; undoing the journal's steps restores it.
class DifferentialTest : public QObject, private EngineTest {
    Q_OBJECT

private slots:
    // A renamed file replaced since by another one of the same name is left
    // alone by undo, and reported so; the rest of the run is taken back.
    void undoLeavesAReplacedFileAlone()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        qputenv("XDG_STATE_HOME", raw(scratch.path() + u"/state"_qs));
        const QString root = scratch.path() + u"/t"_qs;
        make(scratch.path(), {"t/", "t/a.jpeg", "t/b.jpeg"});
        // The folder as typed, with a separator too many.
        const CommandResult result =
            runCommand(runOf(root + u"//"_qs, u"--tail --from .jpeg --to .jpg --apply"_qs));
        QCOMPARE(result.applied.renamed, 2);
        // A new b.jpg, made before the renamed one goes, so it cannot take
        // over its inode number.
        makeFile(raw(root + u"/b.new"_qs), "another");
        QCOMPARE(::rename(raw(root + u"/b.new"_qs), raw(root + u"/b.jpg"_qs)), 0);
        {
            // While a run of the folder holds its lock, no undo starts.
            RunLock run(root);
            run.lock();
            QVERIFY(!RunLock(root + u"/."_qs).tryLock());
        }
        bool complete = true;
        const RunOutcome undone = undoAt(result.journal, complete);
        QVERIFY(!complete);  // a later undo tries b again
        QCOMPARE(tree(root), (QStringList{"a.jpeg", "b.jpg"}));
        QCOMPARE((QList<qint64>{undone.renamed, undone.skipped}), (QList<qint64>{1, 1}));
        for (const RenameStep& step : undone.steps)
            QCOMPARE(step.error, step.fromName == u"b.jpg" ? kChangedSince : 0);

        // Journals kept: the newest 100, and any younger than 90 days.
        const QString folder = journalFolder();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto journalsAt = [&](int count, qint64 step, qint64 skip) {
            for (int i = 1; i <= count; ++i)
                if (i != skip)
                    make(folder,
                         {now.addSecs(-i * step).toString(u"yyyyMMdd-HHmmss-zzz'-1.journal'"_qs)});
            pruneJournals(now);
            return QDir(folder).entryList({"*.journal"}, QDir::Files, QDir::Name);
        };
        // This run's and the days 1 to 100 but 90: old ones among the newest
        // 100 stay.
        QStringList kept = journalsAt(120, 86400, 90);
        QCOMPARE(kept.size(), 100);
        QVERIFY(kept.first().startsWith(now.addDays(-100).toString(u"yyyyMMdd"_qs)));
        // 150 more of the last hours: every young one stays, the rest go.
        kept = journalsAt(150, 60, 0);
        QCOMPARE(kept.size(), 1 + 150 + 89);
        qunsetenv("XDG_STATE_HOME");
    }

    // tmpfs when there is one (thousands of small trees come and go), and a
    // card's volume, which folds case and refuses some names: exFAT through
    // exfat-fuse on a loop device.
    void previewEqualsApply_data()
    {
        QTest::addColumn<bool>("card");
        QTest::newRow("tmpfs") << false;
        QTest::newRow("exFAT") << true;
    }
    void previewEqualsApply()
    {
        QFETCH(bool, card);
        // Random cases until so many ran or the time is spent; at least
        // minimum must have run.
        const int cases = card ? 300 : 2000, minimum = card ? 100 : 1000;
        const qint64 budget = card ? 10000 : 40000;
        QTemporaryDir scratch(!card && QDir(u"/dev/shm"_qs).exists()
                                  ? u"/dev/shm/nemirou-diff-XXXXXX"_qs
                                  : QDir::tempPath() + "/nemirou-diff-XXXXXX");
        QVERIFY(scratch.isValid());
        LoopVolume volume;
        const QString why = card ? volume.make(scratch.path(), u"exfat"_qs) : QString();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        const QString scratchPath = card ? volume.path() : scratch.path();
        const quint32 seed = qEnvironmentVariableIsSet("NEMIROU_SEED")
                                 ? qEnvironmentVariable("NEMIROU_SEED").toUInt()
                                 : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QDeadlineTimer deadline(budget);
        int done = 0;
        for (; done < cases && !deadline.hasExpired(); ++done) {
            CliSettings s;
            const QStringList entries = randomCase(random, card, s);
            const QString root = scratchPath + u'/' + QString::number(done);
            QCOMPARE(::mkdir(raw(root).constData(), 0755), 0);
            make(root, entries);
            // The folder as a user may type it: with a trailing separator,
            // a doubled one or a "." component.
            s.folder = root + QStringList{"", "", "/", "//", "/."}[random.bounded(5)];
            const qsizetype prefix = s.folder.size() + (s.folder.endsWith(u'/') ? 0 : 1);
            const QStringList before = tree(root);
            Oracle oracle{s, {}, 0};
            oracle.folder(raw(root), QString());
            // On a failed check: the case, and how to run it again.
            const auto report = qScopeGuard([&] {
                if (QTest::currentTestFailed())
                    qWarning() << "NEMIROU_SEED" << seed << "case" << done << entries << s.folder
                               << s.from << s.to << "head whole narrow dirs recursive" << s.head
                               << s.whole << s.narrow << s.folders << s.recursive;
            });

            const RunOutcome preview = runCommand(s).preview;
            QCOMPARE(tree(root), before);  // a preview changes nothing
            // Without the half-width step, on a volume that keeps case, the
            // preview is checked against the oracle too.
            QStringList shown;
            for (const RenameStep& step : preview.steps)
                shown.append(step.from().mid(prefix) + u" > "_qs + step.to().mid(prefix) + u' ' +
                             stepStatus(step));
            if (!card && !s.narrow) {
                QCOMPARE(shown, oracle.steps);
                QCOMPARE(preview.examined, oracle.examined);
            }
            Cls_RenameDiskReal disk;
            const RunOutcome applied = runRename(s, disk);
            const QStringList after = predicted(before, prefix, preview, card);
            QCOMPARE(described(applied), described(preview));
            QCOMPARE(tree(root), after);

            // Its journal holds the steps that went well; the command line's
            // --apply carries the preview's steps out itself: on the restored
            // tree it must land where the run did.
            Journal journal{{}, s.folder, {}, {}, false, {}};
            RunOutcome plan{{}, preview.renamed, preview.skipped, preview.examined};
            for (const RenameStep& step : preview.steps) {
                plan.steps.append(step);
                if (step.error == 0)
                    journal.steps.append(step);
            }
            QCOMPARE(undoJournal(journal, disk).skipped, 0);
            QCOMPARE(tree(root), before);
            QCOMPARE(described(applyPlan(s.folder, std::move(plan), disk)), described(preview));
            QCOMPARE(tree(root), after);
            removeTree(root);
        }
        qInfo("%d cases in %lld ms, seed %u", done, budget - deadline.remainingTime(), seed);
        QVERIFY2(done >= minimum, "too few cases ran in the time allowed");
    }
};

NEMIROU_CLI_TESTS(DifferentialTest)

#include "tst_Differential.moc"
