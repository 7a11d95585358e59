#include "runtime/Dir.h"
#include "runtime/FileDateTime.h"
#include "runtime/FileRename.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"
#include "runtime/VolumeRules.h"
#include "support/DiskTree.h"
#include "support/ErrorNumber.h"
#include "support/FaultPlan.h"

#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The disk is set up and inspected with raw POSIX calls on bytes, so that
// the code under test is not checked with itself.
QByteArray join(const QByteArray& folder, const QByteArray& name)
{
    return folder + char(rt::kPathSeparator) + name;
}

// Each entry of a tree: its inode and, for a link, its target.
std::map<QByteArray, QByteArray> snapshot(const QByteArray& folder, const QByteArray& prefix = {})
{
    std::map<QByteArray, QByteArray> result;
    DIR* dir = ::opendir(folder.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const QByteArray name(entry->d_name), path = join(folder, name), key = prefix + name;
        struct stat info {};
        char target[256];
        if (name == "." || name == ".." || ::lstat(path.constData(), &info) != 0)
            continue;
        const ssize_t length = ::readlink(path.constData(), target, sizeof target);
        result[key] = QByteArray::number(qulonglong(info.st_ino)) + ':' +
                      QByteArray(target, std::max<ssize_t>(length, 0));
        if (S_ISDIR(info.st_mode))
            result.merge(snapshot(path, key + '/'));
    }
    if (dir)
        ::closedir(dir);
    return result;
}

QStringList listAll(const QString& pattern, int attributes = rt::kDirNormal)
{
    QStringList names;
    for (QString name = rt::Dir(pattern, attributes); !name.isEmpty(); name = rt::Dir())
        names.append(name);
    names.sort();
    return names;
}

// Every rename case runs with RENAME_NOREPLACE and on a volume that refuses
// that flag (every renameat2 answered with EINVAL through the seam).
void nameWithoutFlag(const QString& from, const QString& to)
{
    const faultplan::FailingAll volume(faultplan::kNoReplaceRefused);
    rt::Name(from, to);
}
const std::pair<const char*, void (*)(const QString&, const QString&)> kRenameMethods[] = {
    {"flag", rt::Name}, {"fallback", nameWithoutFlag}};

}  // namespace

class RuntimeFiles : public QObject, private DiskTree {
    Q_OBJECT

private:
    std::optional<QTemporaryDir> m_temp;
    QByteArray root() const { return rt::encodeName(m_temp->path()); }
    QString at(const QString& name) const { return m_temp->path() + rt::kPathSeparatorText + name; }

private slots:
    void init()
    {
        m_temp.emplace();
        QVERIFY(m_temp->isValid());
    }

    // Raw removal: Qt can remove neither names that are not UTF-8 nor the
    // contents of an unreadable folder.
    void cleanup()
    {
        ::chmod(join(root(), "locked").constData(), 0755);
        removeTree(m_temp->path());
        m_temp.reset();
    }

    // Must stay first: no listing may have been started in this process.
    void dirContinuationAndOneState()
    {
        QCOMPARE(errorNumberOf([] { rt::Dir(); }), int(rt::kInvalidCall));
        make(m_temp->path(), {"A/", "B/", "A/a1", "A/a2", "A/a3", "B/b1", "B/b2"});
        QVERIFY(rt::Dir(at(QStringLiteral("A/*"))).startsWith(u'a'));
        // A new listing abandons the first one; continuation follows the new one.
        QCOMPARE(listAll(at(QStringLiteral("B/*"))), (QStringList{"b1", "b2"}));
        QCOMPARE(rt::Dir(), QString());  // ended: stays empty
    }

    void dirAttributes()
    {
        make(m_temp->path(), {"file.txt", "readonly.txt", ".hidden", ".hiddendir/", "sub/", "pipe|",
                              "tofile>file.txt", "tofolder>sub", "dangling>nowhere"});
        QCOMPARE(::chmod(join(root(), "readonly.txt").constData(), 0444), 0);
        const QStringList normal{"file.txt", "readonly.txt", "tofile"};
        const QStringList withFolders{"file.txt", "readonly.txt", "sub", "tofile"};
        for (int attributes : {rt::kDirNormal, rt::kDirDirectory}) {
            const QStringList& expected = attributes == rt::kDirNormal ? normal : withFolders;
            QCOMPARE(listAll(at(QStringLiteral("*")), attributes), expected);
            // A name without wildcards is looked up alone; it must admit the same.
            for (const char* name :
                 {"file.txt", "readonly.txt", ".hidden", ".hiddendir", "sub", "pipe", "tofile",
                  "tofolder", "dangling", "missing.txt", ".", ".."}) {
                QCOMPARE(rt::Dir(at(name), attributes), expected.contains(name) ? name : QString());
                QCOMPARE(rt::Dir(), QString());
            }
        }
    }

    // Case-sensitive; "?" stands for one code unit. Only the last component
    // is a pattern; an empty one means "*", and a pattern without a separator
    // looks in the current folder.
    void dirPatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("names");
        const auto row = [](const char* pattern, const QStringList& names) {
            QTest::newRow(*pattern ? pattern : "empty") << QString::fromUtf8(pattern) << names;
        };
        row("*.TXT", {"b.TXT"});
        row("???.txt", {"abc.txt", "テスト.txt"});
        row("a*c*", {"abc.txt"});
        row("**t", {"ab.txt", "abc.txt", "テスト.txt"});
        row("a*b?/*", {"in.txt"});
        row("a*b?/in.txt", {"in.txt"});
        row("a*b?/other.txt", {});
        row("missing/*", {});
        row("", {"ab.txt", "abc.txt", "b.TXT", "テスト.txt"});
        row("./a*c*", {"abc.txt"});  // relative: in the current folder
        row("./ab.txt", {"ab.txt"});
    }
    void dirPatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, names);
        make(m_temp->path(), {"ab.txt", "abc.txt", "b.TXT", "テスト.txt", "a*b?/", "a*b?/in.txt",
                              "aXbY/", "aXbY/other.txt"});
        const bool relative = pattern.startsWith("./");
        const QString previous = QDir::currentPath();
        QVERIFY(!relative || QDir::setCurrent(m_temp->path()));
        const QStringList listed = listAll(relative ? pattern.mid(2) : at(pattern));
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(listed, names);
    }

    void dirUnreadableFolderThrows()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        make(m_temp->path(), {"locked/", "locked/in.txt"});
        QCOMPARE(::chmod(join(root(), "locked").constData(), 0), 0);
        for (const char* pattern : {"locked/*", "locked/in.txt"})
            QCOMPARE(errorNumberOf([&] { rt::Dir(at(pattern)); }), int(rt::kPermissionDenied));
    }

    void name_data()
    {
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<int>("error");  // 0: renamed
        const auto row = [](const char* tag, const char* from, const QString& to, int error) {
            QTest::newRow(tag) << QString::fromUtf8(from) << to << error;
        };
        row("case only", "a.txt", "A.txt", 0);
        row("folder", "full", "moved", 0);
        row("link, not its target", "link", "link2", 0);
        row("japanese", "a.txt", "テスト１.txt", 0);
        row("onto a file", "a.txt", "b.txt", rt::kFileAlreadyExists);
        row("folder onto empty folder", "full", "empty", rt::kFileAlreadyExists);
        row("onto itself", "a.txt", "a.txt", rt::kFileAlreadyExists);
        row("hard link pair", "a.txt", "twin.txt", rt::kFileAlreadyExists);
        row("hard links differing in case", "h.txt", "H.txt", rt::kFileAlreadyExists);
        row("empty new name: the folder itself", "a.txt", "", rt::kFileAlreadyExists);
        row("over 255 bytes, 86 characters", "a.txt", QString(86, u'あ'), rt::kBadFileName);
        row("missing folder", "a.txt", "nodir/a.txt", rt::kPathNotFound);
        row("folder part is a file", "a.txt", "b.txt/a.txt", rt::kPathNotFound);
        row("missing source", "none.txt", "c.txt", rt::kFileNotFound);
        row("missing source and folder", "none.txt", "nodir/c", rt::kFileNotFound);
    }

    // A refused rename leaves the tree exactly as it was; a done one moves the
    // entry and everything below it, inodes included, to the new name.
    void name()
    {
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        QFETCH(int, error);
        for (const auto& [method, rename] : kRenameMethods) {
            const QByteArray base = join(root(), method);
            QCOMPARE(::mkdir(base.constData(), 0755), 0);
            make(rt::decodeName(base), {"a.txt", "b.txt", "h.txt", "twin.txt=a.txt", "H.txt=h.txt",
                                        "full/", "full/inner.txt", "empty/", "link>a.txt"});
            const auto before = snapshot(base);
            const QString prefix = rt::decodeName(base) + rt::kPathSeparatorText;
            int raised = 0;
            try {
                rename(prefix + oldName, prefix + newName);
            } catch (const rt::VbError& e) {
                raised = e.number();
                QCOMPARE(e.source(), QStringLiteral("Name"));
            }
            QVERIFY2(raised == error, qPrintable(QStringLiteral("%1: %2").arg(method).arg(raised)));
            const QByteArray oldKey = oldName.toUtf8(), newKey = newName.toUtf8();
            std::map<QByteArray, QByteArray> expected;
            for (const auto& [key, entry] : before) {
                const bool moves = error == 0 && (key == oldKey || key.startsWith(oldKey + '/'));
                expected[moves ? newKey + key.mid(oldKey.size()) : key] = entry;
            }
            QVERIFY2(snapshot(base) == expected, method);
        }
    }

    // What each kind of volume does with names, from its type as the mount
    // table gives it (a FUSE block mount with its device's type), and which
    // names such a volume refuses.
    void volumeRules_data()
    {
        QTest::addColumn<QString>("mountType");
        QTest::addColumn<QString>("deviceType");
        QTest::addColumn<QString>("expected");  // folds, windows, trailing, stable, checked
        const auto row = [](const char* mount, const char* device, const char* expected) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(mount, device)))
                << QString::fromLatin1(mount) << QString::fromLatin1(device)
                << QString::fromLatin1(expected);
        };
        row("ext4", "", "-----");
        row("tmpfs", "", "-----");
        row("fuse.sshfs", "", "----c");
        row("vfat", "", "fwtsc");
        row("msdos", "", "fwtsc");
        row("fuse.fusefat", "", "fwtsc");
        row("exfat", "", "fwtsc");
        row("fuseblk", "exfat", "fwtsc");
        row("fuseblk", "ntfs", "-wt-c");
        row("fuseblk", "", "-wtsc");
        row("ntfs3", "", "-wt-c");
        row("fuse.ntfs-3g", "", "-wt-c");
        row("cifs", "", "fwtsc");
        row("smb3", "", "fwtsc");
    }

    void volumeRules()
    {
        QFETCH(QString, mountType);
        QFETCH(QString, deviceType);
        QFETCH(QString, expected);
        const rt::VolumeRules rules = rt::rulesOfType(mountType, deviceType);
        const QString flags =
            QString(rules.foldsCase ? u'f' : u'-') + (rules.windowsNames ? u'w' : u'-') +
            (rules.noTrailingDotOrBlank ? u't' : u'-') + (rules.stableInodes ? u'-' : u's') +
            (rules.checkRenames ? u'c' : u'-');
        QCOMPARE(flags, expected);
        for (const char* name : {"IMG_0001.jpg", "写真？.jpg", ".hidden", "a.b c"})
            QVERIFY2(!rt::refusesName(rules, name), name);
        for (const char* name :
             {"a?b", "A:B.txt", "a*", "a\"b", "<a>", "a|b", "a\\b", "a\x01", "trail.", "trail "})
            QVERIFY2(rt::refusesName(rules, name) == rules.windowsNames, name);
    }

    // Local time in whole seconds (the .7 s on disk dropped, not rounded); a link
    // reports its target's time, a dangling one its own.
    void fileDateTime()
    {
        make(m_temp->path(), {"target.txt", "link>target.txt", "dangling>nowhere"});
        const QDateTime target(QDate(2006, 12, 31), QTime(23, 59, 59));
        const QDateTime own(QDate(2001, 2, 3), QTime(4, 5, 6));
        const std::pair<const char*, QDateTime> stamps[] = {
            {"target.txt", target}, {"link", own}, {"dangling", own}};
        for (const auto& [name, time] : stamps) {
            const timespec when{time.toSecsSinceEpoch(), 700000000}, times[2] = {when, when};
            const QByteArray path = join(root(), name);
            QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
        }
        const QDateTime stamp = rt::FileDateTime(at(QStringLiteral("target.txt")));
        QCOMPARE(stamp, target);
        QCOMPARE(stamp.timeSpec(), Qt::LocalTime);
        QCOMPARE(rt::FileDateTime(at(QStringLiteral("link"))), target);
        QCOMPARE(rt::FileDateTime(at(QStringLiteral("dangling"))), own);
        QCOMPARE(errorNumberOf([&] { rt::FileDateTime(at(QStringLiteral("missing"))); }),
                 int(rt::kFileNotFound));
    }
};

QTEST_GUILESS_MAIN(RuntimeFiles)
#include "tst_RuntimeFiles.moc"
