#include "DiskFixture.h"

#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"
#include "scripting/FileSystemObject.h"
#include "support/ErrorNumber.h"
#include "support/FaultPlan.h"
#include "support/ScopedMount.h"

#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace fixture;
using scripting::FileSystemObject;

namespace {

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
        QTest::newRow("below root") << "/a"
                                    << "/";
        QTest::newRow("trailing separator") << "/a/b/"
                                            << "/a";
        QTest::newRow("root") << "/"
                              << "";
        QTest::newRow("bare name") << "a"
                                   << "";
        QTest::newRow("relative") << "a/b"
                                  << "a";
        QTest::newRow("repeated separators") << "/a//b"
                                             << "/a";
        QTest::newRow("empty") << ""
                               << "";
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
        QCOMPARE(errorNumberOf([&] { fso.GetDrive(text(m_root)); }), 68);
        QCOMPARE(errorNumberOf([&] { fso.GetDrive(QStringLiteral("relative")); }), 68);

        if (rt::mountPointOf(QStringLiteral("/dev/shm")) == QStringLiteral("/dev/shm"))
            QVERIFY(fso.DriveExists(QStringLiteral("/dev/shm/")));
    }

    void attributeMapping()
    {
        writeFile(at("plain"), "x");
        writeFile(at(".hidden"), "x");
        writeFile(at("readonly"), "x", 0444);
        makeFolder(at("folder"));
        makeFolder(at(".hfolder"));
        makeLink("plain", at("link"));
        QCOMPARE(::mkfifo(at("pipe").constData(), 0644), 0);

        using namespace scripting;
        QCOMPARE(fso.GetFile(path("plain")).Attributes(), kArchive);
        QCOMPARE(fso.GetFile(path(".hidden")).Attributes(), kArchive | kHidden);
        QCOMPARE(fso.GetFile(path("readonly")).Attributes(), kArchive | kReadOnly);
        QCOMPARE(fso.GetFolder(path("folder")).Attributes(), kDirectory);
        QCOMPARE(fso.GetFolder(path(".hfolder")).Attributes(), kDirectory | kHidden);
        QCOMPARE(fso.GetFile(path("link")).Attributes(), kAlias | kArchive);
        QCOMPARE(File(path("pipe")).Attributes(), kSystem);
        QCOMPARE(errorNumberOf([&] { File(path("missing")).Attributes(); }), 53);
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

    void listings()
    {
        writeFile(at("a"), "x");
        writeFile(at(".b"), "x", 0444);
        makeFolder(at("sub"));
        makeFolder(at(".hsub"));
        makeLink("a", at("linkToFile"));
        makeLink("sub", at("linkToFolder"));
        makeLink("nowhere", at("dangling"));
        QCOMPARE(::mkfifo(at("pipe").constData(), 0644), 0);

        const scripting::Folder folder = fso.GetFolder(path(""));
        QCOMPARE(namesOf(folder.Files()), QStringList({".b", "a", "linkToFile"}));
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
        QCOMPARE(errorNumberOf([&] { fso.GetFolder(path("missing")); }), 76);
        QCOMPARE(errorNumberOf([&] { fso.GetFile(path("missing")); }), 53);
        QCOMPARE(errorNumberOf([&] { fso.GetFile(path("sub")); }), 53);
        QCOMPARE(errorNumberOf([&] { scripting::Folder(path("missing")).SubFolders(); }), 76);
    }

    void createFolder()
    {
        const mode_t previous = ::umask(022);
        const scripting::Folder created = fso.CreateFolder(path("new/"));
        ::umask(previous);
        QCOMPARE(created.Path(), path("new"));
        QCOMPARE(permissions(at("new")), mode_t(0755));
        QCOMPARE(errorNumberOf([&] { fso.CreateFolder(path("new")); }), 58);
        QCOMPARE(errorNumberOf([&] { fso.CreateFolder(path("missing/new")); }), 76);
        QVERIFY(!exists(at("missing")));
    }

    void sizeOfTreeIgnoresLinks()
    {
        makeFolder(at("outside"));
        writeFile(at("outside/big"), QByteArray(4096, 'o'));
        makeFolder(at("t"));
        makeFolder(at("t/a"));
        writeFile(at("t/one"), QByteArray(1024, '1'));
        writeFile(at("t/a/two"), QByteArray(512, '2'));
        makeLink("../..", at("t/a/loop"));
        makeLink(at("outside"), at("t/out"));
        makeLink(at("outside/big"), at("t/bigLink"));
        QCOMPARE(fso.GetFolder(path("t")).Size(), std::int64_t(1536));
    }

    void sizeOfUnreadableFolderFails()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        makeFolder(at("t"));
        makeFolder(at("t/closed"), 0);
        QCOMPARE(errorNumberOf([&] { fso.GetFolder(path("t")).Size(); }), 70);
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

    void movesNeverReplace()
    {
        writeFile(at("a"), "a");
        writeFile(at("b"), "b");
        QCOMPARE(errorNumberOf([&] { fso.MoveFile(path("a"), path("b")); }), 58);
        QCOMPARE(readFile(at("a")), QByteArray("a"));
        QCOMPARE(readFile(at("b")), QByteArray("b"));

        makeFolder(at("src"));
        writeFile(at("src/inner"), "inner");
        makeFolder(at("empty"));
        QCOMPARE(errorNumberOf([&] { fso.MoveFolder(path("src"), path("empty")); }), 58);
        QCOMPARE(readFile(at("src/inner")), QByteArray("inner"));
        QVERIFY(!exists(at("empty/inner")));

        makeFolder(at("src/sub"));
        QCOMPARE(errorNumberOf([&] { fso.MoveFolder(path("src"), path("src/sub/x")); }), 5);
        QCOMPARE(errorNumberOf([&] { fso.MoveFolder(path("src"), path("src/sub/")); }), 5);
        QVERIFY(exists(at("src/inner")));
        QVERIFY(!exists(at("src/sub/x")));
        QVERIFY(!exists(at("src/sub/src")));

        QCOMPARE(errorNumberOf([&] { fso.MoveFile(path("missing"), path("c")); }), 53);
        QCOMPARE(errorNumberOf([&] { fso.MoveFolder(path("missing"), path("c")); }), 76);

        fso.MoveFile(path("a"), path("empty/"));
        QCOMPARE(readFile(at("empty/a")), QByteArray("a"));
        fso.MoveFolder(path("src"), path("empty/"));
        QCOMPARE(readFile(at("empty/src/inner")), QByteArray("inner"));
    }

    void copyFile()
    {
        writeFile(at("src"), "new content", 0640);
        setModified(at("src"), 1167577199);
        writeFile(at("dst"), "old");

        QCOMPARE(errorNumberOf([&] { fso.CopyFile(path("src"), path("dst"), false); }), 58);
        QCOMPARE(readFile(at("dst")), QByteArray("old"));

        fso.CopyFile(path("src"), path("dst"), true);
        QCOMPARE(readFile(at("dst")), QByteArray("new content"));
        QCOMPARE(permissions(at("dst")), mode_t(0640));
        QCOMPARE(statusOf(at("dst")).st_mtim.tv_sec, time_t(1167577199));

        const int ontoItself =
            errorNumberOf([&] { fso.CopyFile(path("src"), path("./src"), true); });
        QVERIFY(ontoItself == 58 || ontoItself == 70);
        QCOMPARE(readFile(at("src")), QByteArray("new content"));

        writeFile(at("locked"), "locked", 0444);
        QCOMPARE(errorNumberOf([&] { fso.CopyFile(path("src"), path("locked"), true); }), 70);
        QCOMPARE(readFile(at("locked")), QByteArray("locked"));

        makeFolder(at("into"));
        fso.CopyFile(path("src"), path("into/"), false);
        QCOMPARE(readFile(at("into/src")), QByteArray("new content"));

        QCOMPARE(errorNumberOf([&] { fso.CopyFile(path("missing"), path("x"), true); }), 53);
        QCOMPARE(errorNumberOf([&] { fso.CopyFile(path("into"), path("x"), true); }), 53);
        QCOMPARE(errorNumberOf([&] { fso.CopyFile(path("src"), path("nofolder/x"), true); }), 76);
        // No temporary copy is left behind by the refused overwrites.
        QCOMPARE(namesOf(fso.GetFolder(path("")).Files()), QStringList({"dst", "locked", "src"}));
    }

    void copyFolder()
    {
        makeFolder(at("src"));
        makeFolder(at("src/sub"), 0750);
        writeFile(at("src/same"), "from source");
        writeFile(at("src/sub/only"), "only");
        makeFolder(at("dst"));
        writeFile(at("dst/same"), "at destination");
        writeFile(at("dst/mine"), "mine");

        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("src"), path("dst"), false); }), 58);
        QCOMPARE(readFile(at("dst/same")), QByteArray("at destination"));

        fso.CopyFolder(path("src"), path("dst"), true);
        QCOMPARE(readFile(at("dst/same")), QByteArray("from source"));
        QCOMPARE(readFile(at("dst/sub/only")), QByteArray("only"));
        QCOMPARE(readFile(at("dst/mine")), QByteArray("mine"));
        QCOMPARE(permissions(at("dst/sub")), mode_t(0750));

        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("src"), path("src/sub/again"), true); }),
                 5);
        QVERIFY(!exists(at("src/sub/again")));
        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("src"), path("src"), true); }), 5);
        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("src"), path("no/dst"), true); }), 76);
        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("missing"), path("x"), true); }), 76);
        QCOMPARE(errorNumberOf([&] { fso.CopyFolder(path("src"), path("dst/same"), true); }), 58);
    }

    void deleteFile()
    {
        writeFile(at("ro"), "ro", 0444);
        QCOMPARE(errorNumberOf([&] { fso.DeleteFile(path("ro"), false); }), 70);
        QCOMPARE(readFile(at("ro")), QByteArray("ro"));
        fso.DeleteFile(path("ro"), true);
        QVERIFY(!exists(at("ro")));

        writeFile(at("target"), "target", 0444);
        makeLink("target", at("link"));
        fso.DeleteFile(path("link"), false);
        QVERIFY(!exists(at("link")));
        QCOMPARE(readFile(at("target")), QByteArray("target"));

        makeFolder(at("folder"));
        QCOMPARE(errorNumberOf([&] { fso.DeleteFile(path("missing")); }), 53);
        QCOMPARE(errorNumberOf([&] { fso.DeleteFile(path("folder")); }), 53);
        QVERIFY(exists(at("folder")));
    }

    void deleteFolder()
    {
        makeFolder(at("t"));
        makeFolder(at("t/closed"));
        writeFile(at("t/closed/ro"), "ro", 0444);
        ::chmod(at("t/closed").constData(), 0500);

        QCOMPARE(errorNumberOf([&] { fso.DeleteFolder(path("t"), false); }), 70);
        QCOMPARE(readFile(at("t/closed/ro")), QByteArray("ro"));
        fso.DeleteFolder(path("t/"), true);
        QVERIFY(!exists(at("t")));

        QCOMPARE(errorNumberOf([&] { fso.DeleteFolder(path("t")); }), 76);
        writeFile(at("file"), "file");
        QCOMPARE(errorNumberOf([&] { fso.DeleteFolder(path("file")); }), 76);
        QCOMPARE(errorNumberOf([&] { fso.DeleteFolder(QStringLiteral("/")); }), 70);
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
        QStringList folderOrder, fileOrder;
        for (const scripting::Folder& sub : folders.SubFolders())
            folderOrder.append(sub.Name());
        for (const scripting::File& file : files.Files())
            fileOrder.append(file.Name());
        QCOMPARE(folderOrder.size(), 4);
        QCOMPARE(fileOrder.size(), 4);

        // Every listing yields "." and ".." first: the read after them and
        // `entries` names fails.
        std::optional<faultplan::Failing> fault;
        const auto failAfter = [&](int entries) {
            fault.reset();  // one plan at a time
            fault.emplace(faultplan::Call::Readdir, entries + 2, EIO);
        };
        QStringList seen;
        failAfter(2);
        QCOMPARE(errorNumberOf([&] {
                     folders.SubFolders(
                         [&](const scripting::Folder& sub) { seen.append(sub.Name()); });
                 }),
                 int(rt::kDeviceIoError));
        QCOMPARE(seen, folderOrder.mid(0, 2));
        failAfter(2);
        QCOMPARE(errorNumberOf([&] { folders.SubFolders(); }), int(rt::kDeviceIoError));
        seen.clear();
        failAfter(3);
        QCOMPARE(errorNumberOf([&] {
                     files.Files([&](const scripting::File& file) { seen.append(file.Name()); });
                 }),
                 int(rt::kDeviceIoError));
        QCOMPARE(seen, fileOrder.mid(0, 3));
    }
};

QTEST_GUILESS_MAIN(FileSystemObjectTest)
#include "tst_FileSystemObject.moc"
