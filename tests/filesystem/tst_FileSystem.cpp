#include "DiskFixture.h"
#include "filesystem/Cls_FileSystem.h"
#include "filesystem/mdl_FileSystem.h"
#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/statvfs.h>

using disk::join;

namespace {

// Removes a temporary tree even after a test left parts of it read-only.
struct TempTree {
    QTemporaryDir dir;
    QString path = dir.path();
    ~TempTree() { disk::emptyFolder(path); }
};

rt::Currency kib(std::int64_t scaled)
{
    return rt::Currency{scaled};
}

QByteArray osPath(const QString& path)
{
    return rt::encodeName(path);
}

}  // namespace

namespace rt {
// Readable values in failure messages.
char* toString(const Currency& value)
{
    return QTest::toString(QString::number(value.toDouble(), 'f', 4));
}
}  // namespace rt

Q_DECLARE_METATYPE(rt::Currency)

class FileSystemTest : public QObject {
    Q_OBJECT

private slots:
    void readOnlyAttrArithmetic_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("expected");
        QTest::newRow("set on plain file") << 32 << true << 33;
        QTest::newRow("hidden kept") << (2 | 32) << true << (1 | 2 | 32);
        QTest::newRow("folder bit dropped") << (16 | 1) << false << 0;
        QTest::newRow("compressed dropped") << (2048 | 32) << true << 33;
        QTest::newRow("alias dropped") << (1024 | 32 | 1) << false << 32;
        QTest::newRow("high bits dropped") << static_cast<int>(0xF0000020u) << true << 0x21;
        QTest::newRow("bit 27 kept") << 0x08000000 << true << 0x08000001;
        QTest::newRow("all bits, set") << -1 << true << 0x0FFFF3EF;
        QTest::newRow("all bits, clear") << -1 << false << 0x0FFFF3EE;
    }
    void readOnlyAttrArithmetic()
    {
        QFETCH(int, value);
        QFETCH(bool, readOnly);
        QFETCH(int, expected);
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(value, readOnly), expected);
    }

    void deleteMissingSucceedsAndRecordsNothing()
    {
        TempTree t;
        Cls_FileSystem fs;
        fs.PFncCur_GetFolderSize(join(t.path, "missing"));
        QVERIFY(fs.GetLng_ErrorNo() != 0);  // an error to be cleared
        QVERIFY(fs.PFncBln_DeleteFile(join(t.path, "missing"), false));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
        QVERIFY(fs.GetStr_ErrorDetail().isEmpty());

        fs.PFncCur_GetFolderSize(join(t.path, "missing"));
        QVERIFY(fs.PFncBln_DeleteFolder(join(t.path, "missing"), false));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
    }

    void deleteReadOnly_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder with a read-only file") << true;
    }
    void deleteReadOnly()
    {
        QFETCH(bool, folder);
        TempTree t;
        const QString target = join(t.path, "target");
        const QString file = folder ? join(target, "f") : target;
        if (folder)
            disk::makeFolder(target);
        disk::makeFile(file, "keep");
        Cls_FileSystem fs;
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(file, true));
        QVERIFY(!disk::writable(file));

        const auto remove = [&](bool force) {
            return folder ? fs.PFncBln_DeleteFolder(target, force)
                          : fs.PFncBln_DeleteFile(target, force);
        };
        QVERIFY(!remove(false));
        QVERIFY(fs.GetLng_ErrorNo() != 0);
        QVERIFY(!fs.GetStr_ErrorDetail().isEmpty());
        QCOMPARE(disk::content(file), QByteArray("keep"));

        QVERIFY(remove(true));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
        QVERIFY(!disk::exists(target));
    }

    void copyOntoExisting()
    {
        TempTree t;
        disk::makeFile(join(t.path, "new"), "new");
        disk::makeFile(join(t.path, "old"), "old");
        disk::makeFolder(join(t.path, "src"));
        disk::makeFolder(join(t.path, "dst"));
        disk::makeFile(join(t.path, "src/f"), "new");
        disk::makeFile(join(t.path, "dst/f"), "old");
        Cls_FileSystem fs;

        QVERIFY(!fs.PFncBln_CopyFile(join(t.path, "new"), join(t.path, "old"), false));
        QVERIFY(fs.GetLng_ErrorNo() != 0);
        QCOMPARE(disk::content(join(t.path, "old")), QByteArray("old"));
        QVERIFY(!fs.PFncBln_CopyFolder(join(t.path, "src"), join(t.path, "dst"), false));
        QVERIFY(fs.GetLng_ErrorNo() != 0);
        QCOMPARE(disk::content(join(t.path, "dst/f")), QByteArray("old"));

        QVERIFY(fs.PFncBln_CopyFile(join(t.path, "new"), join(t.path, "old"), true));
        QCOMPARE(disk::content(join(t.path, "old")), QByteArray("new"));
        QVERIFY(fs.PFncBln_CopyFolder(join(t.path, "src"), join(t.path, "dst"), true));
        QCOMPARE(disk::content(join(t.path, "dst/f")), QByteArray("new"));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
    }

    // Both the class and the module helper create missing levels top down and
    // stop at the first level that cannot be created.
    void createFolderLevels()
    {
        TempTree t;
        const QString deep = join(t.path, "a/b");
        Cls_FileSystem fs;
        QVERIFY(fs.PFncBln_CreateFolder(deep));
        QVERIFY(fs.PFncBln_CheckFolderExists(deep));
        QVERIFY(fs.PFncBln_CreateFolder(deep));  // already there
        QVERIFY(FncBln_CreateFolderTree(join(t.path, "c/d/e")));
        QVERIFY(FncBln_FolderExists(join(t.path, "c/d/e")));

        // A regular file where the first missing level would go: its own
        // "already exists" is recorded, not the "path not found" of a deeper
        // level that should never be tried.
        disk::makeFile(join(t.path, "plain"), "data");
        QVERIFY(!fs.PFncBln_CreateFolder(join(t.path, "plain/x/y")));
        QCOMPARE(fs.GetLng_ErrorNo(), int(rt::kFileAlreadyExists));
        QVERIFY(!FncBln_CreateFolderTree(join(t.path, "plain/x/y")));
        QCOMPARE(disk::content(join(t.path, "plain")), QByteArray("data"));
    }

    void movesKeepEarlierError()
    {
        TempTree t;
        disk::makeFile(join(t.path, "a"), "a");
        disk::makeFile(join(t.path, "b"), "b");
        disk::makeFolder(join(t.path, "d"));
        Cls_FileSystem fs;
        QVERIFY(!fs.PFncBln_CopyFile(join(t.path, "a"), join(t.path, "b"), false));
        const int copyError = fs.GetLng_ErrorNo();
        QVERIFY(copyError != 0);
        QVERIFY(fs.PFncBln_MoveFile(join(t.path, "a"), join(t.path, "c")));
        QCOMPARE(fs.GetLng_ErrorNo(), copyError);
        QVERIFY(fs.PFncBln_MoveDirectory(join(t.path, "d"), join(t.path, "e")));
        QCOMPARE(fs.GetLng_ErrorNo(), copyError);
        QVERIFY(fs.PFncBln_CopyFile(join(t.path, "c"), join(t.path, "f"), false));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
    }

    void folderSize_data()
    {
        QTest::addColumn<QList<int>>("sizes");  // file sizes, the second one in a subfolder
        QTest::addColumn<rt::Currency>("expected");
        QTest::newRow("1536 bytes") << QList<int>{1536} << kib(15000);
        QTest::newRow("100 bytes") << QList<int>{100} << kib(977);
        QTest::newRow("nested") << QList<int>{1024, 512} << kib(15000);
        QTest::newRow("empty") << QList<int>{} << kib(0);
    }
    void folderSize()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(rt::Currency, expected);
        TempTree t;
        disk::makeFolder(join(t.path, "sub"));
        for (int i = 0; i < sizes.size(); ++i)
            disk::makeFile(join(t.path, i == 0 ? "f" : "sub/g"), QByteArray(sizes[i], 'x'));
        Cls_FileSystem fs;
        QCOMPARE(fs.PFncCur_GetFolderSize(t.path), expected);
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
        QCOMPARE(fs.PFncCur_GetFolderSize(join(t.path, "missing")), kib(0));
        QCOMPARE(fs.GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    void driveFreeSpaceIsAvailableKiB()
    {
        TempTree t;
        struct statvfs before {
        }, after{};
        Cls_FileSystem fs;
        rt::Currency space;
        QCOMPARE(::statvfs(osPath(t.path).constData(), &before), 0);
        QVERIFY(fs.PFncBln_GetDriveFreeSpace(t.path, space));
        QCOMPARE(::statvfs(osPath(t.path).constData(), &after), 0);
        // Other processes write meanwhile: the bounds are the two readings,
        // widened by 1 %, which still tells available from free space and
        // KiB from bytes or blocks.
        const auto kibOf = [](const struct statvfs& s) {
            return double(s.f_bavail) * double(s.f_frsize) / 1024.0;
        };
        const double low = std::min(kibOf(before), kibOf(after)) * 0.99;
        const double high = std::max(kibOf(before), kibOf(after)) * 1.01;
        QVERIFY2(space.toDouble() >= low && space.toDouble() <= high,
                 qPrintable(QString::number(space.toDouble())));
        QCOMPARE(fs.PFncStr_GetDriveName(t.path), rt::mountPointOf(t.path));
    }

    void readOnlyTree()
    {
        TempTree t;
        const QString root = join(t.path, "root");
        const QStringList folders = {root, join(root, "sub"), join(root, "sub/deeper")};
        const QStringList files = {join(root, "a"), join(root, ".hidden"),
                                   join(root, "sub/deeper/b")};
        for (const QString& folder : folders)
            disk::makeFolder(folder);
        for (const QString& file : files)
            disk::makeFile(file);
        const QStringList entries = folders + files;
        disk::makeFile(join(t.path, "outside"));
        Cls_FileSystem fs;
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(root, true));
        for (const QString& e : entries)
            QVERIFY2(!disk::writable(e), qPrintable(e));
        QCOMPARE(fs.FSO->GetFile(join(root, ".hidden")).Attributes() & 3, 3);
        QVERIFY(disk::writable(join(t.path, "outside")));

        QVERIFY(fs.ChangeBln_ReadOnlyAttr(root, false));
        for (const QString& e : entries)
            QVERIFY2(disk::writable(e), qPrintable(e));

        QVERIFY(fs.ChangeBln_ReadOnlyAttr(join(t.path, "outside"), true));  // a single file
        QVERIFY(!disk::writable(join(t.path, "outside")));
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(join(t.path, "missing"), true));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
    }

    // A file that refuses the change ends its folder's level only: later files
    // of that folder and its subfolders stay as they were, sibling folders
    // are still walked. An immutable file refuses even root.
    void readOnlyWalkStopsAtRefusingFile()
    {
        TempTree t;
        const QString top = join(t.path, "top");
        const QString stuck = join(top, "stuck");
        disk::makeFolder(top);
        disk::makeFolder(stuck);
        disk::makeFolder(join(stuck, "below"));
        disk::makeFile(join(stuck, "below/x"));
        for (const char* name : {"f1", "f2", "f3", "f4", "f5", "refuses"})
            disk::makeFile(join(stuck, name));
        for (const char* name : {"sibling1", "sibling2"}) {
            disk::makeFolder(join(top, name));
            disk::makeFile(join(top, QString(name) + "/g"));
        }
        const QString refusing = join(stuck, "refuses");
        if (!disk::setImmutable(refusing, true))
            QSKIP("cannot mark a file immutable here (needs root and an ext file system)");
        struct Release {
            QString path;
            ~Release() { disk::setImmutable(path, false); }
        } release{refusing};

        Cls_FileSystem fs;
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(top, true));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
        QVERIFY(!disk::writable(top));
        QVERIFY(!disk::writable(stuck));
        bool reached = false;
        for (const QString& name : disk::normalFileNames(stuck)) {
            reached = reached || name == "refuses";
            QCOMPARE(disk::writable(join(stuck, name)), reached);
        }
        QVERIFY(disk::writable(join(stuck, "below")));
        QVERIFY(disk::writable(join(stuck, "below/x")));
        for (const char* name : {"sibling1/g", "sibling2/g"})
            QVERIFY2(!disk::writable(join(top, name)), name);
    }

    void existenceTests_data()
    {
        QTest::addColumn<QString>("path");  // below the temporary folder
        QTest::addColumn<bool>("folderTest");
        QTest::addColumn<bool>("fileTest");
        QTest::newRow("folder") << "dir" << true << false;
        QTest::newRow("hidden folder") << ".dir" << true << false;
        QTest::newRow("file") << "file.txt" << true << true;
        QTest::newRow("hidden file") << ".hidden" << false << false;
        QTest::newRow("link to file") << "filelink" << true << true;
        QTest::newRow("missing") << "missing" << false << false;
        QTest::newRow("pattern matching a file") << "*.txt" << true << true;
        QTest::newRow("pattern matching only a folder") << "dir/*" << true << false;
        QTest::newRow("pattern matching nothing") << "*.doc" << false << false;
    }
    void existenceTests()
    {
        QFETCH(QString, path);
        QFETCH(bool, folderTest);
        QFETCH(bool, fileTest);
        TempTree t;
        disk::makeFolder(join(t.path, "dir"));
        disk::makeFolder(join(t.path, "dir/inner"));
        disk::makeFolder(join(t.path, ".dir"));
        disk::makeFile(join(t.path, "file.txt"));
        disk::makeFile(join(t.path, ".hidden"));
        disk::makeLink("file.txt", join(t.path, "filelink"));
        const QString full = join(t.path, path);
        Cls_FileSystem fs;
        QCOMPARE(fs.PFncBln_CheckFolderExists(full), folderTest);
        QCOMPARE(FncBln_FolderExists(full), folderTest);
        QCOMPARE(fs.PFncBln_CheckFileExists(full), fileTest);
        QCOMPARE(FncBln_FileExists(full), fileTest);
    }

    void drives()
    {
        TempTree t;
        Cls_FileSystem fs;
        const QString root = rt::kPathSeparatorText;
        for (const QString& path : {root, t.path, rt::mountPointOf(t.path)}) {
            QVERIFY2(fs.PFncBln_CheckDriveExists(path), qPrintable(path));
            QVERIFY2(fs.ChkBln_IsDriveValid(path), qPrintable(path));
        }
        for (const QString& path : {QString("relative/path"), QString()}) {
            QVERIFY(!fs.PFncBln_CheckDriveExists(path));
            QVERIFY(!fs.ChkBln_IsDriveValid(path));
        }
        QCOMPARE(fs.GetStr_ParentFolderPath(root), QString());
        QCOMPARE(FncStr_ParentFolder(root), QString());
        QCOMPARE(fs.GetStr_ParentFolderPath(join(t.path, "x")), t.path);
        QCOMPARE(FncStr_ParentFolder(join(t.path, "x")), t.path);
    }

    void enumFileList()
    {
        TempTree t;
        const QString only = join(t.path, "onlyFoldersAndHidden");
        disk::makeFolder(only);
        disk::makeFolder(join(only, "sub"));
        disk::makeFile(join(only, ".hidden"));
        const QString mixed = join(t.path, "mixed");
        disk::makeFolder(mixed);
        for (const char* name : {"b", "a", "c", "readonly"})
            disk::makeFile(join(mixed, name));
        disk::makeFolder(join(mixed, "sub"));
        disk::makeLink("a", join(mixed, "fileLink"));
        disk::makeLink("sub", join(mixed, "folderLink"));
        disk::makeLink("nowhere", join(mixed, "dangling"));

        Cls_FileSystem fs;
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(join(mixed, "readonly"), true));
        QVERIFY(fs.PFncCol_EnumFileList(join(only, "*")).isEmpty());
        QVERIFY(fs.GetCol_EnumFileList(join(only, "*")).isEmpty());
        const QStringList expected = disk::normalFileNames(mixed);  // readdir order
        QCOMPARE(expected.size(), 5);
        QCOMPARE(fs.PFncCol_EnumFileList(join(mixed, "*")), expected);
        QCOMPARE(fs.GetCol_EnumFileList(join(mixed, "*")), expected);

        fs.PFncCur_GetFolderSize(join(t.path, "missing"));  // records 76
        QVERIFY(fs.PFncCol_EnumFileList(join(t.path, "missing/*")).isEmpty());
        QVERIFY(fs.GetCol_EnumFileList(join(t.path, "missing/*")).isEmpty());
        QCOMPARE(fs.GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    void enumSubDirList()
    {
        TempTree t;
        disk::makeFolder(join(t.path, "sub"));
        disk::makeFolder(join(t.path, ".hiddenSub"));
        disk::makeFolder(join(t.path, "sub/grandchild"));
        disk::makeFile(join(t.path, "file"));
        disk::makeLink("sub", join(t.path, "folderLink"));
        Cls_FileSystem fs;
        MsgBoxRecorder boxes;
        QStringList listed = fs.GetCol_EnumSubDirList(t.path);
        listed.sort();
        QCOMPARE(listed, QStringList({".hiddenSub", "sub"}));
        QVERIFY(boxes.boxes().isEmpty());

        QVERIFY(fs.GetCol_EnumSubDirList(join(t.path, "missing")).isEmpty());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 16);
        QCOMPARE(boxes.boxes()[0].title.value_or(QString()), QString("VB Error"));
        QVERIFY(boxes.boxes()[0].prompt.startsWith("76 "));
        QCOMPARE(fs.GetLng_ErrorNo(), 0);
    }

    void folderNameValidation_data()
    {
        QTest::addColumn<QString>("path");  // "@" stands for the temporary folder
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("root alone") << "/" << false;
        QTest::newRow("two characters") << "/a" << false;
        QTest::newRow("three characters") << "/ab" << true;
        QTest::newRow("three characters ending in separator") << "/a/" << false;
        QTest::newRow("plain name") << "@/new" << true;
        QTest::newRow("trailing separator") << "@/new/" << true;
        QTest::newRow("existing folder") << "@/dir" << true;
        QTest::newRow("japanese name") << "@/新しい フォルダ/下" << true;
        QTest::newRow("dot dot") << "@/dir/../new" << false;
        QTest::newRow("dot") << "@/./new" << false;
        QTest::newRow("doubled separator") << "@//new" << false;
        QTest::newRow("relative") << "dir/new" << false;
        QTest::newRow("existing file") << "@/file" << false;
        QTest::newRow("existing file, trailing separator") << "@/file/" << false;
        for (const char* c : {"\\", ":", ",", ";", "*", "?", "\"", "<", ">", "|", "'"}) {
            QTest::addRow("%s first", c) << QString("@/%1x/y").arg(c) << false;
            QTest::addRow("%s middle", c) << QString("@/x/a%1b/y").arg(c) << false;
            QTest::addRow("%s last", c) << QString("@/x/y%1").arg(c) << false;
        }
    }
    void folderNameValidation()
    {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        TempTree t;
        disk::makeFolder(join(t.path, "dir"));
        disk::makeFile(join(t.path, "file"));
        Cls_FileSystem fs;
        fs.PFncCur_GetFolderSize(join(t.path, "missing"));  // the checks must not touch it
        QCOMPARE(fs.ChkBln_IsFolderNameValid(path.replace('@', t.path)), valid);
        QCOMPARE(fs.GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    // The drive part (a mount point) is cut off before the names are checked,
    // whichever mount the path lies on.
    void folderNameValidationOnMounts()
    {
        TempTree t;
        Cls_FileSystem fs;
        for (const QString& mount : {rt::kPathSeparatorText, rt::mountPointOf(t.path)}) {
            const QString base =
                mount.endsWith(rt::kPathSeparator) ? mount : mount + rt::kPathSeparator;
            QVERIFY2(fs.ChkBln_IsFolderNameValid(base + "nemirou-new"), qPrintable(mount));
            QVERIFY2(!fs.ChkBln_IsFolderNameValid(base + "nemirou:new"), qPrintable(mount));
        }
    }

    // A name that is not UTF-8 is listed and renamed back and forth without
    // losing a byte.
    void nonUtf8NameRoundTrip()
    {
        TempTree t;
        const QByteArray raw("caf\xe9-\xff.txt");
        const QString name = rt::decodeName(raw);
        disk::makeFile(join(t.path, name), "body");
        Cls_FileSystem fs;
        QCOMPARE(fs.PFncCol_EnumFileList(join(t.path, "*")), QStringList{name});
        QVERIFY(fs.PFncBln_ChangeFileName(join(t.path, name), join(t.path, "plain")));
        QCOMPARE(disk::rawNames(t.path), QList<QByteArray>{"plain"});
        QVERIFY(fs.PFncBln_ChangeFileName(join(t.path, "plain"), join(t.path, name)));
        QCOMPARE(disk::rawNames(t.path), QList<QByteArray>{raw});
        QCOMPARE(disk::content(join(t.path, name)), QByteArray("body"));
    }

    void wildcardsInFolderNameAreLiteral()
    {
        TempTree t;
        for (const char* folder : {"a*b?", "aXbY"})
            disk::makeFolder(join(t.path, folder));
        disk::makeFile(join(t.path, "a*b?/inLiteral"));
        disk::makeFile(join(t.path, "aXbY/inLookalike"));
        Cls_FileSystem fs;
        QCOMPARE(fs.PFncCol_EnumFileList(join(t.path, "a*b?/*")), QStringList{"inLiteral"});
    }

    void renamesNeverReplace_data()
    {
        QTest::addColumn<int>("operation");  // 0 rename, 1 move file, 2 move folder
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("rename onto a file") << 0 << "a"
                                            << "b";
        QTest::newRow("rename onto itself") << 0 << "a"
                                            << "a";
        QTest::newRow("move file onto a file") << 1 << "a"
                                               << "b";
        QTest::newRow("move folder onto an empty folder") << 2 << "full"
                                                          << "empty";
        QTest::newRow("rename folder onto an empty folder") << 0 << "full"
                                                            << "empty";
    }
    void renamesNeverReplace()
    {
        QFETCH(int, operation);
        QFETCH(QString, from);
        QFETCH(QString, to);
        TempTree t;
        disk::makeFile(join(t.path, "a"), "A");
        disk::makeFile(join(t.path, "b"), "B");
        disk::makeFolder(join(t.path, "full"));
        disk::makeFile(join(t.path, "full/inside"), "I");
        disk::makeFolder(join(t.path, "empty"));
        Cls_FileSystem fs;
        const QString source = join(t.path, from), target = join(t.path, to);
        const bool done = operation == 0   ? fs.PFncBln_ChangeFileName(source, target)
                          : operation == 1 ? fs.PFncBln_MoveFile(source, target)
                                           : fs.PFncBln_MoveDirectory(source, target);
        QVERIFY(!done);
        QCOMPARE(fs.GetLng_ErrorNo(), int(rt::kFileAlreadyExists));
        QCOMPARE(disk::content(join(t.path, "a")), QByteArray("A"));
        QCOMPARE(disk::content(join(t.path, "b")), QByteArray("B"));
        QCOMPARE(disk::content(join(t.path, "full/inside")), QByteArray("I"));
        QVERIFY(disk::rawNames(join(t.path, "empty")).isEmpty());
    }

    // Links inside a tree are entries of their own: a walk neither loops nor
    // counts, copies, changes or deletes anything through them.
    void linkLoopsAreNotFollowed()
    {
        TempTree t;
        const QString root = join(t.path, "root");
        disk::makeFolder(root);
        disk::makeFolder(join(root, "sub"));
        disk::makeFile(join(root, "a"), QByteArray(100, 'a'));
        disk::makeFile(join(root, "sub/b"), QByteArray(1436, 'b'));
        disk::makeFile(join(t.path, "outside"), "O");
        disk::makeLink("..", join(root, "sub/up"));
        disk::makeLink(".", join(root, "self"));
        disk::makeLink("loopB", join(root, "loopA"));
        disk::makeLink("loopA", join(root, "loopB"));
        disk::makeLink("../outside", join(root, "out"));
        Cls_FileSystem fs;

        QCOMPARE(fs.PFncCur_GetFolderSize(root), kib(15000));
        QVERIFY(fs.PFncBln_CopyFolder(root, join(t.path, "copy"), false));
        QCOMPARE(disk::content(join(t.path, "copy/sub/b")), QByteArray(1436, 'b'));
        QCOMPARE(fs.PFncCur_GetFolderSize(join(t.path, "copy")), kib(15000));
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(root, true));
        QVERIFY(!disk::writable(join(root, "sub/b")));
        QVERIFY(disk::writable(join(t.path, "outside")));
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(root, false));
        QVERIFY(fs.ChangeBln_ReadOnlyAttr(join(root, "a"), true));
        QVERIFY(fs.PFncBln_DeleteFolder(root, true));
        QVERIFY(!disk::exists(root));
        QCOMPARE(disk::content(join(t.path, "outside")), QByteArray("O"));
    }

    void nameOverLimitFailsCleanly_data()
    {
        QTest::addColumn<QString>("longName");
        QTest::newRow("256 ASCII bytes") << QString(256, 'n');
        QTest::newRow("86 kana, 258 bytes") << QString(86, QChar(0x3042));
    }
    void nameOverLimitFailsCleanly()
    {
        QFETCH(QString, longName);
        TempTree t;
        const QString file = join(t.path, "f"), target = join(t.path, longName);
        disk::makeFile(file, "F");
        Cls_FileSystem fs;
        QVERIFY(!fs.PFncBln_ChangeFileName(file, target));
        QVERIFY(fs.GetLng_ErrorNo() != 0);
        QVERIFY(!fs.PFncBln_MoveFile(file, target));
        QVERIFY(!fs.PFncBln_CopyFile(file, target, true));
        QVERIFY(!fs.PFncBln_CreateFolder(target));
        QVERIFY(fs.GetLng_ErrorNo() != 0);
        QCOMPARE(disk::rawNames(t.path), QList<QByteArray>{"f"});
        QCOMPARE(disk::content(file), QByteArray("F"));
    }
};

QTEST_GUILESS_MAIN(FileSystemTest)
#include "tst_FileSystem.moc"
