#include "filesystem/Cls_FileSystem.h"
#include "filesystem/mdl_FileSystem.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"
#include "support/DiskTree.h"
#include "support/FaultPlan.h"
#include "support/MsgBoxRecorder.h"
#include "support/ScopedMount.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <utility>

#include <sys/statvfs.h>

namespace stdfs = std::filesystem;

// Each test gets a fresh folder d and service fs. Trees are arranged and
// inspected on raw name bytes, apart from the service.
class FileSystemTest : public QObject, private DiskTree {
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString d;
    std::optional<Cls_FileSystem> fs;
    QString m_immutable;  // released by cleanup()

    static stdfs::path os(const QString& path) { return rt::encodeName(path).toStdString(); }
    QString at(const QString& name) const { return d + rt::kPathSeparator + name; }
    static int mode(const QString& p) { return int(stdfs::symlink_status(os(p)).permissions()); }
    static bool writable(const QString& path) { return mode(path) & 0222; }
    bool recorded() { return fs->GetLng_ErrorNo() && !fs->GetStr_ErrorDetail().isEmpty(); }
    qint64 sizeOf(const QString& folder) { return fs->PFncCur_GetFolderSize(folder).scaled; }
    static QByteArray content(const QString& path) { return readFile(raw(path)); }
    void make(const QStringList& entries) { DiskTree::make(d, entries); }
    // Entry names in readdir order: all, or only those wanted.
    static QByteArrayList rawNames(const QString& folder, const QByteArrayList& wanted = {})
    {
        QByteArrayList names;
        for (const auto& entry : stdfs::directory_iterator(os(folder))) {
            const QByteArray name = QByteArray::fromStdString(entry.path().filename().native());
            if (wanted.isEmpty() || wanted.contains(name))
                names.append(name);
        }
        return names;
    }

private slots:
    void init()
    {
        d = m_dir.emplace().path();
        fs.emplace();
    }
    // Removes the tree even where a test left parts of it read-only or not UTF-8.
    void cleanup()
    {
        fs.reset();
        if (!m_immutable.isEmpty())
            QProcess::execute("chattr", {"-i", std::exchange(m_immutable, QString())});
        QProcess::execute("chmod", {"-R", "u+w", d});  // links are not followed
        std::error_code ec;
        stdfs::remove_all(os(d), ec);
        m_dir.reset();
    }

    void readOnlyAttrArithmetic()
    {
        // Folder, alias, compressed and the four highest bits go; the rest stays.
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(2 | 32, true), 1 | 2 | 32);
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(-1, true), 0x0FFFF3EF);
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(-1, false), 0x0FFFF3EE);
    }

    void missingEntriesSucceedRecordingNothing()
    {
        for (int call = 0; call < 3; ++call) {
            QCOMPARE(sizeOf(at("missing")), 0);  // records 76, for the next call to clear
            QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPathNotFound));
            QVERIFY(call == 0   ? fs->PFncBln_DeleteFile(at("missing"), false)
                    : call == 1 ? fs->PFncBln_DeleteFolder(at("missing"), false)
                                : fs->ChangeBln_ReadOnlyAttr(at("missing"), true));
            QCOMPARE(fs->GetLng_ErrorNo(), 0);
            QVERIFY(fs->GetStr_ErrorDetail().isEmpty());
        }
    }

    // Copies replace only when told to; a successful move keeps the recorded error.
    void copyOntoExistingAndMovesKeepError()
    {
        make({"new", "old", "src/", "dst/", "src/f", "dst/f", "d/"});
        QVERIFY(!fs->PFncBln_CopyFolder(at("src"), at("dst"), false) && recorded());
        QVERIFY(!fs->PFncBln_CopyFile(at("new"), at("old"), false) && recorded());
        QCOMPARE(content(at("old")) + content(at("dst/f")), QByteArray("olddst/f"));
        const int copyError = fs->GetLng_ErrorNo();
        QVERIFY(fs->PFncBln_MoveFile(at("new"), at("n")) &&
                fs->PFncBln_MoveDirectory(at("d"), at("e")));
        QCOMPARE(fs->GetLng_ErrorNo(), copyError);
        QVERIFY(rawNames(d, {"e", "n"}).size() == 2 && rawNames(d, {"d", "new"}).isEmpty());
        QVERIFY(fs->PFncBln_CopyFile(at("n"), at("old"), true));
        QCOMPARE(fs->GetLng_ErrorNo(), 0);
        QVERIFY(fs->PFncBln_CopyFolder(at("src"), at("dst"), true));
        QCOMPARE(content(at("old")) + content(at("dst/f")), QByteArray("newsrc/f"));
    }

    // Both the class and the module helper create missing levels top down.
    void createFolderLevels()
    {
        make({"plain"});
        QVERIFY(fs->PFncBln_CreateFolder(at("a/b")) && fs->PFncBln_CreateFolder(at("a/b")));
        QVERIFY(FncBln_CreateFolderTree(at("c/d/e")));
        QVERIFY(stdfs::is_directory(os(at("a/b"))) && stdfs::is_directory(os(at("c/d/e"))));
        // A file where the first missing level goes: its own 58 is recorded,
        // not the 76 of a deeper level that must never be tried.
        QVERIFY(!fs->PFncBln_CreateFolder(at("plain/x/y")));
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kFileAlreadyExists));
        QVERIFY(!FncBln_CreateFolderTree(at("plain/x/y")));
        QCOMPARE(content(at("plain")), QByteArray("plain"));
    }

    void sizesInKiB()
    {
        makeFile(raw(at("f")), QByteArray(100, 'x'));
        QCOMPARE(sizeOf(d), 977);  // 0.0977 after the currency's rounding
        makeFile(raw(at("g")), QByteArray(1436, 'x'));
        QCOMPARE(sizeOf(d), 15000);  // 1536 bytes, 1.5
        QCOMPARE(fs->GetLng_ErrorNo(), 0);
        rt::Currency space;
        struct statvfs info = {};
        QVERIFY(fs->PFncBln_GetDriveFreeSpace(d, space) && ::statvfs(os(d).c_str(), &info) == 0);
        // Available (not free) space; others write meanwhile, hence the 1 % margin.
        const double kib = double(info.f_bavail) * double(info.f_frsize) / 1024.0;
        QVERIFY2(qAbs(space.toDouble() - kib) <= kib / 100, qPrintable(QString::number(kib)));
    }

    // A file that refuses the change ends its folder's level only: later files
    // and subfolders of that folder stay as they were, sibling folders do not.
    void readOnlyWalkStopsAtRefusingFile()
    {
        make({"top/", "top/s1/", "top/s1/g", "top/x/", "top/x/below/", "top/x/below/y", "top/x/f1",
              "top/x/f2", "top/x/f3", "top/x/f4", "top/x/no", "top/s2/", "top/s2/g"});
        m_immutable = at("top/x/no");  // refuses a permission change even to root
        if (QProcess::execute("chattr", {"+i", m_immutable}) != 0)
            QSKIP("cannot mark a file immutable here (needs root and an ext file system)");
        QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("top"), true));
        QCOMPARE(fs->GetLng_ErrorNo(), 0);
        QVERIFY(!writable(at("top")) && !writable(at("top/x")));
        bool reached = false;
        for (const QByteArray& name : rawNames(at("top/x"), {"f1", "f2", "f3", "f4", "no"})) {
            reached = reached || name == "no";
            QCOMPARE(writable(at("top/x/" + name)), reached);
        }
        QVERIFY(writable(at("top/x/below")) && writable(at("top/x/below/y")));
        QVERIFY(!writable(at("top/s1/g")) && !writable(at("top/s2/g")));
    }

    // A mount point inside the tree is another volume: the read-only walk
    // ends that level there and the deletion fails with 70, and nothing on
    // the mounted volume changes.
    void walksStayOnTheirVolume()
    {
        make({"top/", "top/keep", "top/mnt/"});
        ScopedMount mounts;
        if (const QByteArray why = mounts.tmpfs(rt::encodeName(at("top/mnt"))); !why.isEmpty())
            QSKIP(why.constData());
        make({"top/mnt/sub/", "top/mnt/sub/precious", "top/mnt/top"});
        QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("top"), true));
        QVERIFY(!writable(at("top")) && !writable(at("top/keep")));
        for (const char* entry : {"top/mnt", "top/mnt/top", "top/mnt/sub", "top/mnt/sub/precious"})
            QVERIFY2(writable(at(entry)), entry);

        QVERIFY(!fs->PFncBln_DeleteFolder(at("top"), true));
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPermissionDenied));
        QCOMPARE(content(at("top/mnt/sub/precious")), QByteArray("top/mnt/sub/precious"));
        QCOMPARE(content(at("top/mnt/top")), QByteArray("top/mnt/top"));
    }

    // A folder that fails part-way through its listing: the subfolder list
    // holds what was read before the failure, and the read-only walk still
    // works on the files read before it.
    void listingThatFailsPartWay()
    {
        make({"dirs/", "dirs/s1/", "dirs/s2/", "dirs/s3/", "dirs/s4/", "files/", "files/f1",
              "files/f2", "files/f3", "files/f4"});
        const QByteArrayList dirs = rawNames(at("dirs"));
        const QByteArrayList files = rawNames(at("files"));
        MsgBoxRecorder boxes;
        // Every listing yields "." and ".." first; the read after two names fails.
        {
            const faultplan::Failing fault(faultplan::Call::Readdir, 2 + 2, EIO);
            QCOMPARE(fs->GetCol_EnumSubDirList(at("dirs")).join('|'),
                     QString(dirs.mid(0, 2).join('|')));
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.boxes()[0].prompt.startsWith("57 "));
        {
            const faultplan::Failing fault(faultplan::Call::Readdir, 2 + 2, EIO);
            QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("files"), true));
        }
        QCOMPARE(files.size(), 4);
        for (int i = 0; i < files.size(); ++i)
            QVERIFY2(writable(at("files/" + files[i])) == (i >= 2), files[i].constData());
    }

    void existenceTests()
    {
        make({"dir/", "dir/inner/", "file.txt", ".hidden"});
        // Path, folder test, file test.
        const std::tuple<const char*, bool, bool> rows[] = {
            {"dir", true, false},      {"file.txt", true, true}, {".hidden", false, false},
            {"missing", false, false}, {"*.txt", true, true},    {"dir/*", true, false}};
        for (const auto& [path, folder, file] : rows) {
            QVERIFY2(fs->PFncBln_CheckFolderExists(at(path)) == folder, path);
            QVERIFY2(FncBln_FolderExists(at(path)) == folder, path);
            QVERIFY2(fs->PFncBln_CheckFileExists(at(path)) == file, path);
        }
    }

    // The listing itself is the runtime's; the service only keeps the error.
    void enumFileListKeepsError()
    {
        QCOMPARE(sizeOf(at("missing")), 0);  // records 76, which the listing must leave
        QVERIFY(fs->GetCol_EnumFileList(at("missing/*")).isEmpty());
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    void enumSubDirList()
    {
        make({"sub/", ".hiddenSub/", "sub/grandchild/", "file", "folderLink>sub"});
        MsgBoxRecorder boxes;
        QStringList listed = fs->GetCol_EnumSubDirList(d);
        listed.sort();
        QCOMPARE(listed, QStringList({".hiddenSub", "sub"}));
        QVERIFY(boxes.boxes().isEmpty() && fs->GetCol_EnumSubDirList(at("missing")).isEmpty());
        QCOMPARE(boxes.boxes().size(), 1);
        const MsgBoxRecorder::Box& box = boxes.boxes()[0];
        QVERIFY(box.style == 16 && box.title == QString("VB Error") &&
                box.prompt.startsWith("76 "));
    }

    void folderNameValidation()
    {
        make({"dir/", "file"});
        sizeOf(at("missing"));  // records 76, which the checks must leave
        const auto valid = [&](QString path) {
            return fs->ChkBln_IsFolderNameValid(path.replace('@', d));
        };
        for (const char* path : {"/ab", "@/new/", "@/dir", "@/新しい フォルダ/下"})  // "@" is d
            QVERIFY2(valid(path), path);
        for (const char* path : {"", "/a", "/a/", "@/dir/../new", "@//new", "dir/new", "@/file",
                                 "@/\\x/y", "@/x/a:b/y", "@/x/y'", "@/x*/y"})
            QVERIFY2(!valid(path), path);
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    void nonUtf8NameRoundTrip()
    {
        const QByteArray bytes("caf\xe9-\xff.txt");
        const QString name = rt::decodeName(bytes);
        makeFile(raw(at(name)), "body");
        QCOMPARE(fs->PFncCol_EnumFileList(at("*")), QStringList{name});
        QVERIFY(fs->PFncBln_ChangeFileName(at(name), at("plain")));
        QCOMPARE(rawNames(d), QByteArrayList{"plain"});
        QVERIFY(fs->PFncBln_ChangeFileName(at("plain"), at(name)));
        QCOMPARE(rawNames(d), QByteArrayList{bytes});
        QCOMPARE(content(at(name)), QByteArray("body"));
    }

    // Links inside a tree are entries of their own: a walk neither loops nor
    // counts, copies, changes or deletes anything through them.
    void linkLoopsAreNotFollowed()
    {
        make({"outside", "root/", "root/sub/", "root/sub/up>..", "root/self>.", "root/loopA>loopB",
              "root/loopB>loopA", "root/out>../outside"});
        makeFile(raw(at("root/sub/b")), QByteArray(1024, 'b'));
        QCOMPARE(sizeOf(at("root")), 10000);
        QVERIFY(fs->PFncBln_CopyFolder(at("root"), at("copy"), false));
        QCOMPARE(content(at("copy/sub/b")), QByteArray(1024, 'b'));
        QCOMPARE(sizeOf(at("copy")), 10000);
        QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("root"), true));
        QVERIFY(!writable(at("root")) && !writable(at("root/sub")) && !writable(at("root/sub/b")));
        QVERIFY(writable(at("outside")));
        QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("root"), false));
        QVERIFY(writable(at("root/sub")) && writable(at("root/sub/b")));
        QVERIFY(fs->ChangeBln_ReadOnlyAttr(at("root/sub/b"), true) && !writable(at("root/sub/b")));
        QVERIFY(fs->PFncBln_DeleteFolder(at("root"), true) && rawNames(d, {"root"}).isEmpty());
        QCOMPARE(content(at("outside")), QByteArray("outside"));
    }
};

QTEST_GUILESS_MAIN(FileSystemTest)
#include "tst_FileSystem.moc"
