#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"
#include "scripting/FileSystemObject.h"
#include "support/ErrorNumber.h"
#include "support/FaultPlan.h"
#include "support/ScopedMount.h"

#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using scripting::FileSystemObject;

namespace {

// Raw POSIX set-up and inspection: paths are bytes, so names that are not
// UTF-8 are made and checked exactly.
void writeFile(const QByteArray& path, const QByteArray& content, mode_t mode = 0644)
{
    std::ofstream(path.toStdString(), std::ios::binary) << content.toStdString();
    QCOMPARE(::chmod(path.constData(), mode), 0);
}

QByteArray readFile(const QByteArray& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return in ? QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}})
              : QByteArray("<missing>");
}

void makeFolder(const QByteArray& path, mode_t mode = 0755)
{
    QVERIFY2(::mkdir(path.constData(), 0700) == 0 && ::chmod(path.constData(), mode) == 0,
             path.constData());
}

void makeLink(const QByteArray& target, const QByteArray& path)
{
    QVERIFY2(::symlink(target.constData(), path.constData()) == 0, path.constData());
}

QByteArray linkTarget(const QByteArray& path)
{
    char buffer[4096];
    const ssize_t length = ::readlink(path.constData(), buffer, sizeof buffer);
    return length < 0 ? QByteArray() : QByteArray(buffer, length);
}

struct stat statusOf(const QByteArray& path)  // of the entry itself, links not followed
{
    struct stat status {};
    ::lstat(path.constData(), &status);
    return status;
}

bool exists(const QByteArray& path)
{
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0;
}

mode_t permissions(const QByteArray& path)
{
    return statusOf(path).st_mode & 07777;
}

// Whatever the names' bytes and permissions (QDir cannot): folders are opened
// up on the way down, everything removed on the way up.
void removeTree(const QByteArray& path)
{
    const auto open = [](const char* entry, const struct stat* status, int, FTW*) {
        if (S_ISDIR(status->st_mode))
            ::chmod(entry, 0700);
        return 0;
    };
    const auto remove = [](const char* entry, const struct stat*, int, FTW*) {
        ::remove(entry);
        return 0;
    };
    ::nftw(path.constData(), open, 16, FTW_PHYS);
    ::nftw(path.constData(), remove, 16, FTW_PHYS | FTW_DEPTH);
}

QString text(const QByteArray& bytes)
{
    return rt::decodeName(bytes);
}

template <typename Entry> QStringList namesOf(const QList<Entry>& entries)
{
    QStringList names;
    for (const Entry& entry : entries)
        names.append(entry.Name());
    names.sort();
    return names;
}

void setModified(const QByteArray& path, time_t seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Every folder below folder, by SubFolders alone; gives up past a depth no
// test tree reaches, so a walk that goes through a link loop fails, not hangs.
void collectFolders(const scripting::Folder& folder, const QString& prefix, QStringList& out,
                    int depth = 0)
{
    QVERIFY(depth < 20);
    for (const scripting::Folder& sub : folder.SubFolders()) {
        out.append(prefix + sub.Name());
        collectFolders(sub, prefix + sub.Name() + QLatin1Char('/'), out, depth + 1);
    }
}

}  // namespace

class FileSystemObjectTest : public QObject {
    Q_OBJECT

private:
    FileSystemObject fso;
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_root;
    QByteArray m_startFolder;

    QByteArray m_otherVolume;

    // A fresh folder on another volume than the temporary folder, removed at
    // cleanup; empty when there is none.
    QByteArray otherVolume()
    {
        QTemporaryDir other(QStringLiteral("/dev/shm/scripting-XXXXXX"));
        if (!other.isValid() || rt::mountPointOf(other.path()) == rt::mountPointOf(text(m_root)))
            return QByteArray();
        other.setAutoRemove(false);
        m_otherVolume = rt::encodeName(other.path());
        return m_otherVolume;
    }

    QByteArray at(const QByteArray& relative) const { return m_root + '/' + relative; }
    QString path(const QByteArray& relative) const { return text(at(relative)); }

    // What every refusal must leave untouched: each entry below the root
    // with its mode and its content or link target.
    QByteArrayList snapshot(const QByteArray& folder = {}) const
    {
        QByteArrayList entries;
        DIR* dir = ::opendir(at(folder).constData());
        if (dir == nullptr)
            return {"<unreadable>"};
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const QByteArray relative = folder.isEmpty() ? name : folder + '/' + name;
            const mode_t mode = statusOf(at(relative)).st_mode;
            entries.append(relative + ' ' + QByteArray::number(mode, 8) + ' ' +
                           (S_ISREG(mode)   ? readFile(at(relative))
                            : S_ISLNK(mode) ? linkTarget(at(relative))
                                            : QByteArray()));
            if (S_ISDIR(mode))
                entries += snapshot(relative);
        }
        ::closedir(dir);
        std::sort(entries.begin(), entries.end());
        return entries;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dir->setAutoRemove(false);  // removeTree does it
        m_root = rt::encodeName(m_dir->path());
        char cwd[4096];
        QVERIFY(::getcwd(cwd, sizeof cwd) != nullptr);
        m_startFolder = cwd;
    }

    void cleanup()
    {
        QCOMPARE(::chdir(m_startFolder.constData()), 0);
        removeTree(m_root);
        QVERIFY(!exists(m_root));
        if (!m_otherVolume.isEmpty())
            removeTree(std::exchange(m_otherVolume, QByteArray()));
        m_dir.reset();
    }

    void parentFolderName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("parent");
        // clang-format off
        QTest::newRow("below root") << "/a" << "/";
        QTest::newRow("trailing separator") << "/a/b/" << "/a";
        QTest::newRow("root") << "/" << "";
        QTest::newRow("bare name") << "a" << "";
        QTest::newRow("relative") << "a/b" << "a";
        QTest::newRow("repeated separators") << "/a//b" << "/a";
        QTest::newRow("empty") << "" << "";
        // clang-format on
    }
    void parentFolderName()
    {
        QFETCH(QString, input);
        QFETCH(QString, parent);
        QCOMPARE(fso.GetParentFolderName(input), parent);
    }

    void absolutePathName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("fromCurrent");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dots and doubles") << "/a/./b//c/" << false << "/a/b/c";
        QTest::newRow("dot dot") << "/a/b/../c" << false << "/a/c";
        QTest::newRow("above root") << "/../../x" << false << "/x";
        QTest::newRow("root") << "/" << false << "/";
        QTest::newRow("only separators") << "///" << false << "/";
        QTest::newRow("relative") << "x/../y/." << true << "/y";
        QTest::newRow("empty") << "" << true << "";
        QTest::newRow("relative dot dot") << "sub/.." << true << "";
    }
    void absolutePathName()
    {
        QFETCH(QString, input);
        QFETCH(bool, fromCurrent);
        QFETCH(QString, expected);
        QCOMPARE(::chdir(m_root.constData()), 0);
        QCOMPARE(fso.GetAbsolutePathName(input), fromCurrent ? text(m_root) + expected : expected);
    }

    void drives()
    {
        QCOMPARE(fso.GetDriveName(QStringLiteral("/")), QStringLiteral("/"));
        QCOMPARE(fso.GetDriveName(QStringLiteral("relative/path")), QString());
        QVERIFY(fso.DriveExists(QStringLiteral("/")));
        QVERIFY(!fso.DriveExists(QString()));
        QVERIFY(!fso.DriveExists(QStringLiteral("relative")));

        const QString drive = fso.GetDriveName(text(m_root));
        QVERIFY(fso.DriveExists(drive));
        QVERIFY(!fso.DriveExists(text(m_root)));
        QCOMPARE(fso.GetDrive(drive).Path(), drive);

        const scripting::Drive root = fso.GetDrive(QStringLiteral("/"));
        QVERIFY(root.IsReady());
        QVERIFY(root.AvailableSpace() > 0);

        if (rt::mountPointOf(QStringLiteral("/dev/shm")) == QStringLiteral("/dev/shm"))
            QVERIFY(fso.DriveExists(QStringLiteral("/dev/shm/")));
    }

    void readOnlySetAndClear()
    {
        using namespace scripting;
        writeFile(at("f"), "x", 0664);
        makeFolder(at("d"), 0775);
        makeLink("f", at("link"));

        const File file = fso.GetFile(path("f"));
        file.setAttributes(kReadOnly | kHidden | kArchive);
        QCOMPARE(permissions(at("f")), mode_t(0444));  // every write bit goes, nothing else
        QVERIFY(exists(at("f")));
        file.setAttributes(kArchive);
        QCOMPARE(permissions(at("f")), mode_t(0644));  // only the owner's comes back

        const Folder folder = fso.GetFolder(path("d"));
        folder.setAttributes(kDirectory | kReadOnly);
        QCOMPARE(permissions(at("d")), mode_t(0555));
        QCOMPARE(folder.Attributes(), kDirectory | kReadOnly);
        folder.setAttributes(kDirectory);
        QCOMPARE(permissions(at("d")), mode_t(0755));

        fso.GetFile(path("link")).setAttributes(kReadOnly);
        QCOMPARE(permissions(at("f")), mode_t(0644));  // the target is left alone
    }

    void listingsAndAttributes()
    {
        writeFile(at("a"), "x");
        writeFile(at(".b"), "x");
        writeFile(at("ro"), "x", 0444);
        makeFolder(at("sub"));
        makeFolder(at(".hsub"));
        makeLink("a", at("linkToFile"));
        makeLink("sub", at("linkToFolder"));
        makeLink("nowhere", at("dangling"));
        QCOMPARE(::mkfifo(at("pipe").constData(), 0644), 0);

        using namespace scripting;
        QCOMPARE(fso.GetFile(path("a")).Attributes(), kArchive);
        QCOMPARE(fso.GetFile(path(".b")).Attributes(), kArchive | kHidden);
        QCOMPARE(fso.GetFile(path("ro")).Attributes(), kArchive | kReadOnly);
        QCOMPARE(fso.GetFolder(path("sub")).Attributes(), kDirectory);
        QCOMPARE(fso.GetFolder(path(".hsub")).Attributes(), kDirectory | kHidden);
        QCOMPARE(fso.GetFile(path("linkToFile")).Attributes(), kAlias | kArchive);
        QCOMPARE(File(path("pipe")).Attributes(), kSystem);

        const scripting::Folder folder = fso.GetFolder(path(""));
        QCOMPARE(namesOf(folder.Files()), QStringList({".b", "a", "linkToFile", "ro"}));
        QCOMPARE(namesOf(folder.SubFolders()), QStringList({".hsub", "sub"}));
        QCOMPARE(folder.SubFolders().first().Path(),
                 text(m_root) + QLatin1Char('/') + folder.SubFolders().first().Name());

        QVERIFY(fso.FileExists(path(".b")));
        QVERIFY(fso.FileExists(path("linkToFile")));
        QVERIFY(!fso.FileExists(path("dangling")));
        QVERIFY(!fso.FileExists(path("sub")));
        QVERIFY(!fso.FileExists(path("pipe")));
        QVERIFY(fso.FolderExists(path("linkToFolder")));
        QVERIFY(fso.FolderExists(path("linkToFolder/../sub")));
        QVERIFY(!fso.FolderExists(path("a")));
    }

    void createFolder()
    {
        const mode_t previous = ::umask(022);
        const scripting::Folder created = fso.CreateFolder(path("new/"));
        ::umask(previous);
        QCOMPARE(created.Path(), path("new"));
        QCOMPARE(permissions(at("new")), mode_t(0755));
    }

    // A link to an ancestor inside the tree, and links leading out of it:
    // walks, copies and deletes neither loop nor touch anything outside.
    void linksInsideATree()
    {
        makeFolder(at("outside"));
        writeFile(at("outside/keep"), "keep");
        makeFolder(at("t"));
        makeFolder(at("t/a"));
        makeFolder(at("t/a/b"));
        writeFile(at("t/a/b/file"), "deep");
        makeLink("../..", at("t/a/b/loop"));
        makeLink(at("outside"), at("t/out"));
        makeLink(at("outside/keep"), at("t/keepLink"));

        QStringList walked;
        collectFolders(fso.GetFolder(path("t")), QString(), walked);
        walked.sort();
        QCOMPARE(walked, QStringList({"a", "a/b"}));
        QCOMPARE(fso.GetFolder(path("t")).Size(), std::int64_t(4));  // "deep" alone

        fso.CopyFolder(path("t"), path("copy"), false);
        QCOMPARE(readFile(at("copy/a/b/file")), QByteArray("deep"));
        QVERIFY(S_ISLNK(statusOf(at("copy/a/b/loop")).st_mode));
        QCOMPARE(linkTarget(at("copy/a/b/loop")), QByteArray("../.."));
        QCOMPARE(linkTarget(at("copy/out")), at("outside"));
        QCOMPARE(linkTarget(at("copy/keepLink")), at("outside/keep"));

        fso.DeleteFolder(path("t"));
        fso.DeleteFolder(path("copy"));
        QVERIFY(!exists(at("t")));
        QVERIFY(!exists(at("copy")));
        QCOMPARE(readFile(at("outside/keep")), QByteArray("keep"));

        // The folder to delete is itself a link: only the link goes.
        makeLink("outside", at("alias"));
        fso.DeleteFolder(path("alias"), true);
        QVERIFY(!exists(at("alias")));
        QCOMPARE(readFile(at("outside/keep")), QByteArray("keep"));
    }

    void nonUtf8NamesSurviveByteExact()
    {
        writeFile(at("\xff.txt"), "ff");
        makeFolder(at("d\xfe"));
        writeFile(at("d\xfe/in\x80"), "in");

        const scripting::Folder root = fso.GetFolder(path(""));
        QCOMPARE(root.Files().size(), 1);
        QCOMPARE(rt::encodeName(root.Files().first().Name()), QByteArray("\xff.txt"));
        QCOMPARE(rt::encodeName(root.SubFolders().first().Path()), at("d\xfe"));

        fso.CopyFile(root.Files().first().Path(), path("c\xfd"), false);
        QCOMPARE(readFile(at("c\xfd")), QByteArray("ff"));
        fso.CopyFolder(path("d\xfe"), path("e\xfc"), false);
        QCOMPARE(readFile(at("e\xfc/in\x80")), QByteArray("in"));
        fso.MoveFile(path("\xff.txt"), path("m\xfb"));
        QCOMPARE(readFile(at("m\xfb")), QByteArray("ff"));
        QVERIFY(!exists(at("\xff.txt")));
        fso.MoveFolder(path("d\xfe"), path("e\xfc/"));
        QCOMPARE(readFile(at("e\xfc/d\xfe/in\x80")), QByteArray("in"));
        QVERIFY(!exists(at("d\xfe")));
    }

    // Every refusal raises its number and changes nothing on disk: no move,
    // copy or deletion replaces or loses a thing, nor leaves a temporary copy.
    void refusalsChangeNothing()
    {
        writeFile(at("a"), "a");
        writeFile(at("b"), "b");
        writeFile(at("ro"), "ro", 0444);
        makeFolder(at("src"));
        writeFile(at("src/inner"), "inner");
        makeFolder(at("src/sub"));
        makeFolder(at("empty"));
        makeFolder(at("one"));
        writeFile(at("one/inner"), "from one");
        makeFolder(at("dst"));
        writeFile(at("dst/inner"), "at destination");
        makeFolder(at("nest"));
        makeFolder(at("nest/inner"));  // a folder where dst holds a file of its name
        makeFolder(at("locked"));
        writeFile(at("locked/ro"), "ro", 0444);
        makeFolder(at("sealed"));
        makeFolder(at("sealed/closed"), 0);
        const QByteArrayList before = snapshot();

        using scripting::File, scripting::Folder;
        const std::pair<int, std::function<void()>> refusals[] = {
            {58, [&] { fso.MoveFile(path("a"), path("b")); }},
            {58, [&] { fso.MoveFolder(path("src"), path("empty")); }},
            {5, [&] { fso.MoveFolder(path("src"), path("src/sub/x")); }},
            {5, [&] { fso.MoveFolder(path("src"), path("src/sub/")); }},
            {53, [&] { fso.MoveFile(path("missing"), path("c")); }},
            {76, [&] { fso.MoveFolder(path("missing"), path("c")); }},
            {58, [&] { fso.CopyFile(path("a"), path("b"), false); }},
            {70, [&] { fso.CopyFile(path("a"), path("ro"), true); }},
            {53, [&] { fso.CopyFile(path("missing"), path("x"), true); }},
            {53, [&] { fso.CopyFile(path("src"), path("x"), true); }},
            {76, [&] { fso.CopyFile(path("a"), path("no/x"), true); }},
            {58, [&] { fso.CopyFolder(path("one"), path("dst"), false); }},
            {5, [&] { fso.CopyFolder(path("src"), path("src/sub/again"), true); }},
            {5, [&] { fso.CopyFolder(path("src"), path("src"), true); }},
            {76, [&] { fso.CopyFolder(path("src"), path("no/d"), true); }},
            {76, [&] { fso.CopyFolder(path("missing"), path("x"), true); }},
            {58, [&] { fso.CopyFolder(path("src"), path("dst/inner"), true); }},
            {58, [&] { fso.CopyFolder(path("nest"), path("dst"), true); }},
            {70, [&] { fso.DeleteFile(path("ro"), false); }},
            {53, [&] { fso.DeleteFile(path("missing")); }},
            {53, [&] { fso.DeleteFile(path("empty")); }},
            {70,
             [&] {
                 const faultplan::Failing refused(rt::sys::Call::Unlink, 0, EACCES);
                 fso.DeleteFile(path("a"));
             }},
            {70, [&] { fso.DeleteFolder(path("locked"), false); }},
            {76, [&] { fso.DeleteFolder(path("missing")); }},
            {76, [&] { fso.DeleteFolder(path("a")); }},
            {70, [&] { fso.DeleteFolder(QStringLiteral("/")); }},
            {58, [&] { fso.CreateFolder(path("empty")); }},
            {76, [&] { fso.CreateFolder(path("missing/new")); }},
            {76, [&] { fso.GetFolder(path("missing")); }},
            {53, [&] { fso.GetFile(path("missing")); }},
            {53, [&] { fso.GetFile(path("src")); }},
            {76, [&] { Folder(path("missing")).SubFolders(); }},
            {53, [&] { File(path("missing")).Attributes(); }},
            {68, [&] { fso.GetDrive(text(m_root)); }},
            {68, [&] { fso.GetDrive(QStringLiteral("relative")); }},
            {::geteuid() == 0 ? 0 : 70, [&] { fso.GetFolder(path("sealed")).Size(); }},  // not root
        };
        for (std::size_t row = 0; row < std::size(refusals); ++row) {
            const QByteArray which = "row " + QByteArray::number(qulonglong(row));
            QVERIFY2(errorNumberOf(refusals[row].second) == refusals[row].first, which);
            QVERIFY2(snapshot() == before, which);
        }
    }

    void copies()
    {
        writeFile(at("src"), "new content", 0640);
        setModified(at("src"), 1167577199);
        writeFile(at("dst"), "old");
        fso.CopyFile(path("src"), path("dst"), true);
        QCOMPARE(readFile(at("dst")), QByteArray("new content"));
        QCOMPARE(permissions(at("dst")), mode_t(0640));
        QCOMPARE(statusOf(at("dst")).st_mtim.tv_sec, time_t(1167577199));
        const int ontoItself =
            errorNumberOf([&] { fso.CopyFile(path("src"), path("./src"), true); });
        QVERIFY(ontoItself == 58 || ontoItself == 70);
        QCOMPARE(readFile(at("src")), QByteArray("new content"));
        makeFolder(at("into"));
        fso.CopyFile(path("src"), path("into/"), false);
        QCOMPARE(readFile(at("into/src")), QByteArray("new content"));

        // A folder merges into an existing one, replacing only its namesakes.
        makeFolder(at("s"));
        makeFolder(at("s/sub"), 0750);
        writeFile(at("s/same"), "from source");
        writeFile(at("s/sub/only"), "only");
        makeFolder(at("d"));
        writeFile(at("d/same"), "at destination");
        writeFile(at("d/mine"), "mine");
        fso.CopyFolder(path("s"), path("d"), true);
        QCOMPARE(readFile(at("d/same")), QByteArray("from source"));
        QCOMPARE(readFile(at("d/sub/only")), QByteArray("only"));
        QCOMPARE(readFile(at("d/mine")), QByteArray("mine"));
        QCOMPARE(permissions(at("d/sub")), mode_t(0750));
    }

    void movesAndDeletes()
    {
        writeFile(at("a"), "a");
        makeFolder(at("src"));
        writeFile(at("src/inner"), "inner");
        makeFolder(at("into"));
        fso.MoveFile(path("a"), path("into/"));
        fso.MoveFolder(path("src"), path("into/"));
        QCOMPARE(readFile(at("into/a")), QByteArray("a"));
        QCOMPARE(readFile(at("into/src/inner")), QByteArray("inner"));
        QVERIFY(!exists(at("a")) && !exists(at("src")));

        writeFile(at("ro"), "ro", 0444);
        fso.DeleteFile(path("ro"), true);
        QVERIFY(!exists(at("ro")));
        // A link goes by itself, whatever its target's attributes.
        writeFile(at("target"), "target", 0444);
        makeLink("target", at("link"));
        fso.DeleteFile(path("link"), false);
        QVERIFY(!exists(at("link")));
        QCOMPARE(readFile(at("target")), QByteArray("target"));

        makeFolder(at("t"));
        makeFolder(at("t/closed"));
        writeFile(at("t/closed/ro"), "ro", 0444);
        ::chmod(at("t/closed").constData(), 0500);
        fso.DeleteFolder(path("t/"), true);
        QVERIFY(!exists(at("t")));
    }

    // Moves between two volumes copy and delete; /dev/shm is usually tmpfs.
    void movesAcrossVolumes()
    {
        const QByteArray far = otherVolume();
        if (far.isEmpty())
            QSKIP("no second volume at /dev/shm");

        writeFile(at("f"), "moved", 0640);
        setModified(at("f"), 1167577199);
        fso.MoveFile(path("f"), text(far + "/f"));
        QVERIFY(!exists(at("f")));
        QCOMPARE(readFile(far + "/f"), QByteArray("moved"));
        QCOMPARE(permissions(far + "/f"), mode_t(0640));
        QCOMPARE(statusOf(far + "/f").st_mtim.tv_sec, time_t(1167577199));

        writeFile(at("g"), "g");
        QCOMPARE(errorNumberOf([&] { fso.MoveFile(path("g"), text(far + "/f")); }), 58);
        QCOMPARE(readFile(at("g")), QByteArray("g"));
        QCOMPARE(readFile(far + "/f"), QByteArray("moved"));

        makeFolder(at("t"), 0750);
        makeFolder(at("t/\xff"));
        writeFile(at("t/\xff/ro"), "ro", 0444);
        makeLink("../..", at("t/\xff/loop"));
        fso.MoveFolder(path("t"), text(far + "/"));
        QVERIFY(!exists(at("t")));
        QCOMPARE(readFile(far + "/t/\xff/ro"), QByteArray("ro"));
        QCOMPARE(permissions(far + "/t/\xff/ro"), mode_t(0444));
        QCOMPARE(permissions(far + "/t"), mode_t(0750));
        QCOMPARE(linkTarget(far + "/t/\xff/loop"), QByteArray("../.."));

        makeFolder(at("t"));
        QCOMPARE(errorNumberOf([&] { fso.MoveFolder(path("t"), text(far + "/t")); }), 58);
        QVERIFY(exists(at("t")));
    }

    // A mount point below the start is another volume: whatever the walk
    // does, it fails with 70 and nothing on the mounted volume changes. A
    // bind mount shows the same device and must be seen all the same.
    void walksStayOnTheirVolume_data()
    {
        QTest::addColumn<bool>("bind");
        QTest::addColumn<QString>("operation");
        for (const bool bind : {false, true})
            for (const char* operation : {"delete", "move", "move mount", "copy", "size"})
                QTest::addRow("%s %s", bind ? "bind" : "tmpfs", operation)
                    << bind << QString(operation);
    }

    void walksStayOnTheirVolume()
    {
        QFETCH(bool, bind);
        QFETCH(QString, operation);
        for (const char* folder : {"a", "a/mnt", "b", "far"})
            makeFolder(at(folder));
        writeFile(at("a/keep"), "keep");
        ScopedMount mounts;
        QByteArray why = bind ? mounts.bind(at("b"), at("a/mnt")) : mounts.tmpfs(at("a/mnt"));
        if (why.isEmpty())
            why = mounts.tmpfs(at("far"));  // the other volume of the moves
        if (!why.isEmpty())
            QSKIP(why.constData());
        makeFolder(at("a/mnt/sub"));
        writeFile(at("a/mnt/sub/precious"), "precious", 0444);
        writeFile(at("a/mnt/top"), "top");
        const mode_t mountMode = permissions(at("a/mnt"));

        const std::map<QString, std::function<void()>> operations = {
            {"delete", [&] { fso.DeleteFolder(path("a"), true); }},
            {"move", [&] { fso.MoveFolder(path("a"), path("far/a")); }},
            {"move mount", [&] { fso.MoveFolder(path("a/mnt"), path("far/m")); }},
            {"copy", [&] { fso.CopyFolder(path("a"), path("c")); }},
            {"size", [&] { fso.GetFolder(path("a")).Size(); }},
        };
        QCOMPARE(errorNumberOf(operations.at(operation)), 70);
        QCOMPARE(readFile(at("a/mnt/sub/precious")), QByteArray("precious"));
        QCOMPARE(permissions(at("a/mnt/sub/precious")), mode_t(0444));
        QCOMPARE(readFile(at("a/mnt/top")), QByteArray("top"));
        QCOMPARE(permissions(at("a/mnt")), mountMode);
        // A failed move changes nothing; a deletion may have removed what it
        // met before the mount point.
        if (operation != "delete")
            QCOMPARE(readFile(at("a/keep")), QByteArray("keep"));
        QVERIFY(!exists(at("far/a")) && !exists(at("far/m")) && !exists(at("c/mnt")));
    }

    // The visiting listings hand out what was read before a failure part-way
    // through the folder, then raise; the list forms raise and return nothing.
    void listingThatFailsPartWay()
    {
        for (const char* name : {"d", "d/s1", "d/s2", "d/s3", "d/s4", "f"})
            makeFolder(at(name));
        for (const char* name : {"f/1", "f/2", "f/3", "f/4"})
            writeFile(at(name), name);
        const scripting::Folder folders = fso.GetFolder(path("d"));
        const scripting::Folder files = fso.GetFolder(path("f"));
        QStringList seen;
        const auto visitFolders = [&] {
            folders.SubFolders([&](const scripting::Folder& sub) { seen.append(sub.Name()); });
        };
        const auto visitFiles = [&] {
            files.Files([&](const scripting::File& file) { seen.append(file.Name()); });
        };
        visitFolders();
        const QStringList folderOrder = std::exchange(seen, {});
        visitFiles();
        const QStringList fileOrder = std::exchange(seen, {});
        QCOMPARE(folderOrder.size(), 4);
        QCOMPARE(fileOrder.size(), 4);

        // Every listing yields "." and ".." first: the read after them and
        // `entries` names fails.
        std::optional<faultplan::Failing> fault;
        const auto failAfter = [&](int entries) {
            fault.reset();  // one plan at a time
            fault.emplace(faultplan::Call::Readdir, entries + 2, EIO);
        };
        failAfter(2);
        QCOMPARE(errorNumberOf(visitFolders), int(rt::kDeviceIoError));
        QCOMPARE(seen, folderOrder.mid(0, 2));
        failAfter(2);
        QCOMPARE(errorNumberOf([&] { folders.SubFolders(); }), int(rt::kDeviceIoError));
        seen.clear();
        failAfter(3);
        QCOMPARE(errorNumberOf(visitFiles), int(rt::kDeviceIoError));
        QCOMPARE(seen, fileOrder.mid(0, 3));
    }
};

QTEST_GUILESS_MAIN(FileSystemObjectTest)
#include "tst_FileSystemObject.moc"
