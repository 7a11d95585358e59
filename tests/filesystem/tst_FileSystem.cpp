#include "filesystem/Cls_FileSystem.h"
#include "filesystem/mdl_FileSystem.h"
#include "runtime/Currency.h"
#include "runtime/Dir.h"
#include "runtime/FileDateTime.h"
#include "runtime/FileRename.h"
#include "runtime/KeyedStringList.h"
#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"
#include "runtime/VolumeRules.h"
#include "scripting/FileSystemObject.h"
#include "support/DiskTree.h"
#include "support/ErrorNumber.h"
#include "support/FaultPlan.h"
#include "support/MsgBoxRecorder.h"
#include "support/ScopedMount.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include <sys/statvfs.h>

namespace stdfs = std::filesystem;
using scripting::File, scripting::Folder;

// The runtime, the scripting file-system object fso and the service fs over
// it, each test on a fresh folder d. Trees are made and read back on raw
// name bytes, apart from the code under test.
class FileSystemTest : public QObject, private DiskTree {
    Q_OBJECT

    std::list<QTemporaryDir> m_dirs;  // removed by cleanup(), whatever is left in them
    QString d;
    scripting::FileSystemObject fso;
    std::optional<Cls_FileSystem> fs;
    const QString m_start = QDir::currentPath();

    static stdfs::path os(const QString& path) { return raw(path).toStdString(); }
    static QString odd(const char* bytes) { return rt::decodeName(bytes); }  // not UTF-8
    QString at(const QString& name) const { return d + u'/' + name; }
    static int mode(const QString& p) { return int(stdfs::symlink_status(os(p)).permissions()); }
    static QByteArray content(const QString& path) { return readFile(raw(path)); }
    static QByteArray target(const QString& p) { return stdfs::read_symlink(os(p)).c_str(); }
    void make(const QStringList& entries) { DiskTree::make(d, entries); }
    void chmod(const QString& name, int mode) { QCOMPARE(::chmod(os(at(name)).c_str(), mode), 0); }
    bool recorded() { return fs->GetLng_ErrorNo() && !fs->GetStr_ErrorDetail().isEmpty(); }
    qint64 sizeOf(const QString& folder) { return fs->PFncCur_GetFolderSize(folder).scaled; }
    // Text with code units a QStringLiteral cannot hold: "\xDCE9" is one unit
    // (fromUtf16 would drop a byte-order mark).
    static QString units(const char16_t* text) { return QStringView(text).toString(); }
    static QStringList listAll(const QString& pattern, int attributes = rt::kDirNormal)
    {
        QStringList names;
        for (QString name = rt::Dir(pattern, attributes); !name.isEmpty(); name = rt::Dir())
            names.append(name);
        return sorted(names);
    }

    // The modes of entries below d, in octal: "644 755".
    QString modes(const QString& names) const
    {
        QStringList result;
        for (const QString& name : names.split(u' '))
            result.append(QString::number(mode(at(name)), 8));
        return result.join(u' ');
    }
    QString scratch(const QString& pattern = QDir::tempPath() + "/nemirou-XXXXXX")
    {
        const QTemporaryDir& dir = m_dirs.emplace_back(pattern);
        return dir.isValid() ? dir.path() : QString();
    }
    // One call of the object, or of the service ("fs." members), written as
    // "Member path [path] [flag]", paths below d: the number raised or
    // recorded, 0 when it was done.
    int call(const QString& text)
    {
        const QStringList w = text.split(u' ');
        const QString a = at(w.value(1)), b = at(w.value(2));
        const bool flag = w.last() == "1";
        const auto done = [&](bool ok) {
            if (!ok)
                rt::raiseError(fs->GetLng_ErrorNo(), QString());
        };
        const std::map<QString, std::function<void()>> members = {
            {"MoveFile", [&] { fso.MoveFile(a, b); }},
            {"MoveFolder", [&] { fso.MoveFolder(a, b); }},
            {"CopyFile", [&] { fso.CopyFile(a, b, flag); }},
            {"CopyFolder", [&] { fso.CopyFolder(a, b, flag); }},
            {"DeleteFile", [&] { fso.DeleteFile(a, flag); }},
            {"DeleteFolder", [&] { fso.DeleteFolder(a, flag); }},
            {"CreateFolder", [&] { fso.CreateFolder(a); }},
            {"GetFolder", [&] { fso.GetFolder(a); }},
            {"GetFile", [&] { fso.GetFile(a); }},
            {"GetDrive", [&] { fso.GetDrive(a); }},
            {"IsMountPoint", [&] { fso.IsMountPoint(a); }},
            {"Size", [&] { fso.GetFolder(a).Size(); }},
            {"SubFolders", [&] { Folder(a).SubFolders(); }},
            {"Attributes", [&] { File(a).Attributes(); }},
            {"fs.DeleteFile", [&] { done(fs->PFncBln_DeleteFile(a, flag)); }},
            {"fs.DeleteFolder", [&] { done(fs->PFncBln_DeleteFolder(a, flag)); }},
            {"fs.ReadOnly", [&] { done(fs->ChangeBln_ReadOnlyAttr(a, flag)); }},
            {"fs.Rename", [&] { done(fs->PFncBln_ChangeFileName(a, b)); }},
        };
        return errorNumberOf(members.at(w[0]));
    }

private slots:
    void init()
    {
        d = scratch();
        QVERIFY(!d.isEmpty());
        fs.emplace();
        ::umask(022);  // the modes every check expects
    }
    // Removes the scratch folders even where a test left parts of them
    // unreadable, read-only or not UTF-8 (links are not followed).
    void cleanup()
    {
        QVERIFY(QDir::setCurrent(m_start));
        for (const QTemporaryDir& dir : m_dirs) {
            QProcess::execute("chmod", {"-R", "u+rwX", dir.path()});
            removeTree(dir.path());
        }
        m_dirs.clear();
    }

    // The runtime. Must stay first: no listing may have been started in this
    // process.
    void dirContinuationAndOneState()
    {
        QCOMPARE(errorNumberOf([] { rt::Dir(); }), int(rt::kInvalidCall));
        make({"A/", "B/", "A/a1", "A/a2", "A/a3", "B/b1", "B/b2"});
        QVERIFY(rt::Dir(at("A/*")).startsWith(u'a'));
        // A new listing abandons the first one; continuation follows the new one.
        QCOMPARE(listAll(at("B/*")), (QStringList{"b1", "b2"}));
        QCOMPARE(rt::Dir(), QString());  // ended: stays empty
    }

    // Bytes that are not UTF-8 (a latin-1 letter, an encoded surrogate, above
    // U+10FFFF, an overlong four-byte form, a stray byte after a kana) become
    // U+DC80..U+DCFF and back, while the last code point stays itself; a text
    // that can name nothing (NUL, a surrogate outside that range) is refused.
    void codec()
    {
        const std::pair<QByteArray, QString> cases[] = {
            {"caf\xe9.txt", units(u"caf\xDCE9.txt")},
            {"\xed\xa0\x80", units(u"\xDCED\xDCA0\xDC80")},
            {"\xf4\x90\x80\x80", units(u"\xDCF4\xDC90\xDC80\xDC80")},
            {"\xf0\x8f\xbf\xbf", units(u"\xDCF0\xDC8F\xDCBF\xDCBF")},
            {"\xe3\x81\x82\x80z", units(u"\x3042\xDC80z")},
            {"\xf4\x8f\xbf\xbfx", units(u"\xDBFF\xDFFFx")}};
        for (const auto& [bytes, text] : cases) {
            QCOMPARE(rt::decodeName(bytes), text);
            QCOMPARE(rt::encodeName(text), bytes);
        }
        for (const QString& text :
             {QStringLiteral("a") + QChar(0) + u'b', units(u"a\xD800"), units(u"\xD83Dx"),
              units(u"\xDC7F"), units(u"\xDD00"), units(u"\xDE00\xD83D")})
            QCOMPARE(errorNumberOf([&] { rt::encodeName(text); }), int(rt::kBadFileName));
    }

    // Every string of one or two bytes, and of three with a three-byte lead,
    // survives decode and encode.
    void codecRoundTripsShortByteStrings()
    {
        int mismatches = 0;
        for (int a = 1; a < 256; ++a)
            for (int b = 0; b < 256; ++b)
                for (int c = 0; c < (a >> 4 == 0xE && b >> 6 == 2 ? 256 : 1); ++c) {
                    const char raw[] = {char(a), char(b), char(c)};
                    const QByteArray bytes(raw, b == 0 ? 1 : c == 0 ? 2 : 3);  // NUL ends it
                    mismatches += rt::encodeName(rt::decodeName(bytes)) != bytes;
                }
        QCOMPARE(mismatches, 0);
    }

    void narrow()
    {
        // Voiced and semi-voiced kana, combining and spacing marks, full-width
        // letters and signs; an escaped byte is kept.
        const std::pair<const char16_t*, const char16_t*> cases[] = {
            {u"ガパヴ", u"ｶﾞﾊﾟｳﾞ"},
            {u"ヷヺワヲ", u"ﾜﾞｦﾞﾜｦ"},
            {u"カ\x3099ハ\x309A゛゜", u"ｶﾞﾊﾟﾞﾟ"},
            {u"ＡＢＣ１／！～　z", u"ABC1/!~ z"},
            {u"\xDCE9\xFF21", u"\xDCE9\x41"}};
        for (const auto& [text, narrow] : cases)
            QCOMPARE(rt::StrConvNarrow(units(text)), units(narrow));
        // Unchanged: no half-width form, or only an NFKC one.
        for (const char* same :
             {"ひらがな", "漢字", "㍍①", "ﾃｽﾄｶﾞﾊﾟ", "ヮヰヱヵヶヸヹヽヾ", "￠￡￢￣￤￥￦｟｠"})
            QCOMPARE(rt::StrConvNarrow(QString::fromUtf8(same)), QString::fromUtf8(same));
    }

    // Unicode maps each half-width kana to its wide form; the table must
    // invert those mappings exactly, and map no katakana elsewhere.
    void narrowInvertsCompatibilityMappings()
    {
        for (char16_t half = 0xFF61; half <= 0xFF9D; ++half) {
            const QString wide = QString(QChar(half)).normalized(QString::NormalizationForm_KC);
            QCOMPARE(rt::StrConvNarrow(wide), QString(QChar(half)));
        }
        for (char16_t kana = 0x30A1; kana <= 0x30FC; ++kana) {
            const QString narrow = rt::StrConvNarrow(QString(QChar(kana)));
            if (narrow != QString(QChar(kana)))
                QCOMPARE(narrow.normalized(QString::NormalizationForm_KC), QString(QChar(kana)));
        }
    }

    // Keys are case-folded, full width is a key of its own.
    void lcaseAndKeyedList()
    {
        QCOMPARE(rt::LCase("ABC.TXT ÄΣＡ"), QStringLiteral("abc.txt äσａ"));
        rt::KeyedStringList list;
        for (const char* item : {"Foo", "bar", "ＦＯＯ"})
            list.Add(item);
        QCOMPARE(errorNumberOf([&] { list.Add("FOO"); }), int(rt::kKeyAlreadyExists));
        QCOMPARE(list.Items(), QStringList({"Foo", "bar", "ＦＯＯ"}));
        QCOMPARE(list.Item("fOO") + list.Item("ｆｏｏ"), QStringLiteral("FooＦＯＯ"));
        QVERIFY(list.Contains("BAR") && !list.Contains("baz"));
        QCOMPARE(errorNumberOf([&] { list.Item("baz"); }), int(rt::kInvalidCall));
    }

    // Four decimal places, ties to even; out of range is an overflow.
    void currency()
    {
        QList<qint64> scaled;
        for (double value : {0.03125, 0.09375, -0.03125, 9.0e14})
            scaled.append(rt::Currency::fromDouble(value).scaled);
        QCOMPARE(scaled, QList<qint64>({312, 938, -312, 9000000000000000000}));
        for (double value : {1.0e15, -1.0e15, std::nan("")})
            QCOMPARE(errorNumberOf([&] { rt::Currency::fromDouble(value); }), int(rt::kOverflow));
    }

    // The longest mount point that is a whole-component prefix; octal escapes
    // in the mount table are decoded (a non-UTF-8 byte kept escaped), the type
    // is found after the optional fields, and unreadable lines are left out.
    void mountTable()
    {
        const QList<rt::MountPoint> table = {{QStringLiteral("/"), QStringLiteral("ext4")},
                                             {QStringLiteral("/mnt/a/b c"), QStringLiteral("vfat")},
                                             {QStringLiteral("/mnt/a"), QStringLiteral("tmpfs")}};
        const std::pair<const char*, const char*> cases[] = {
            {"/mnt/a/x.txt", "/mnt/a"},     {"/mnt/a", "/mnt/a"}, {"/mnt/ab", "/"},
            {"/mnt/a/b c/d", "/mnt/a/b c"}, {"/", "/"},           {"mnt/a", ""}};
        for (const auto& [path, mount] : cases)
            QCOMPARE(rt::mountPointOf(QString::fromUtf8(path), table), QString::fromUtf8(mount));
        QCOMPARE(rt::mountPointOf(QStringLiteral("/")), QStringLiteral("/"));  // the live table

        const QByteArray text =
            "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
            "30 22 8:2 / /mnt/my\\040disk\\134\\011 rw shared:2 master:3 - vfat /dev/sdb1 rw\n"
            "31 22 8:4 / /mnt/caf\\351 rw - xfs /dev/sdd1 rw\n"
            "garbage line\n";
        QStringList parsed;
        for (const rt::MountPoint& mount : rt::parseMountInfo(text))
            parsed.append(mount.path + u'|' + mount.fsType + u'|' + mount.source);
        QCOMPARE(parsed, QStringList({"/|ext4|/dev/sda1", "/mnt/my disk\\\t|vfat|/dev/sdb1",
                                      units(u"/mnt/caf\xDCE9|xfs|/dev/sdd1")}));
    }

    // Hidden entries, fifos and links to folders or nowhere are never listed;
    // a name without wildcards is looked up alone and must admit the same.
    void dirAttributes()
    {
        make({"file.txt", ".hidden", ".hiddendir/", "sub/", "pipe|", "tofile>file.txt",
              "tofolder>sub", "dangling>nowhere"});
        for (int attributes : {rt::kDirNormal, rt::kDirDirectory}) {
            const QStringList expected = attributes == rt::kDirNormal
                                             ? QStringList{"file.txt", "tofile"}
                                             : QStringList{"file.txt", "sub", "tofile"};
            QCOMPARE(listAll(at("*"), attributes), expected);
            for (const char* name : {"file.txt", ".hidden", ".hiddendir", "sub", "pipe", "tofile",
                                     "tofolder", "dangling", "missing.txt", ".", ".."}) {
                QCOMPARE(rt::Dir(at(name), attributes), expected.contains(name) ? name : QString());
                QCOMPARE(rt::Dir(), QString());
            }
        }
    }

    // Case-sensitive; "?" stands for one code unit. Only the last component
    // is a pattern; an empty one means "*", and a pattern without a separator
    // looks in the current folder.
    void dirPatterns()
    {
        make({"ab.txt", "abc.txt", "b.TXT", "テスト.txt", "a*b?/", "a*b?/in.txt", "aXbY/",
              "aXbY/other.txt"});
        QVERIFY(QDir::setCurrent(d));  // cleanup() goes back
        // The pattern, then the names it lists; "./" is in the current folder.
        for (const QString row :
             {"*.TXT=b.TXT", "???.txt=abc.txt テスト.txt", "a*c*=abc.txt",
              "**t=ab.txt abc.txt テスト.txt", "a*b?/*=in.txt", "a*b?/in.txt=in.txt",
              "a*b?/other.txt=", "missing/*=", "=ab.txt abc.txt b.TXT テスト.txt", "./a*c*=abc.txt",
              "./ab.txt=ab.txt"}) {
            const QString pattern = row.section(u'=', 0, 0);
            const QStringList listed =
                listAll(pattern.startsWith("./") ? pattern.mid(2) : at(pattern));
            QVERIFY2(listed.join(u' ') == row.section(u'=', 1), qPrintable(row));
        }
    }

    // A folder that cannot be opened or looked in raises 70; a listing that
    // fails part-way raises 57 on the call that meets the failure.
    void dirFailures()
    {
        make({"d/", "d/a", "d/b"});
        for (const auto call : {faultplan::Call::Open, faultplan::Call::Stat}) {
            // A pattern opens its folder, a name is looked at alone.
            const faultplan::Failing refused(call, 0, EACCES);
            const QString pattern = at(call == faultplan::Call::Open ? "d/*" : "d/a");
            QCOMPARE(errorNumberOf([&] { rt::Dir(pattern); }), int(rt::kPermissionDenied));
        }
        const faultplan::Failing broken(faultplan::Call::Readdir, 3, EIO);  // ".", ".." first
        QVERIFY(!rt::Dir(at("d/*")).isEmpty());
        QCOMPARE(errorNumberOf([] { rt::Dir(); }), int(rt::kDeviceIoError));
        QCOMPARE(rt::Dir(), QString());  // the failed listing is over
    }

    // Done: case only, a folder, a link (not its target), a Japanese name.
    // Refused, leaving the tree exactly as it was: onto a file, a folder onto
    // an empty folder, onto itself, onto its hard-link twin (also in another
    // case), an empty new name (the folder itself), over 255 bytes in 86
    // characters, a name that cannot be encoded, a missing folder or one that
    // is a file, a missing source (also with a missing folder). Each case runs
    // with RENAME_NOREPLACE and on a volume that refuses that flag.
    void name()
    {
        const std::pair<int, QStringList> cases[] = {
            {0, {"a.txt A.txt", "full moved", "link link2", "a.txt テスト１.txt"}},
            {rt::kFileAlreadyExists,
             {"a.txt b.txt", "full empty", "a.txt a.txt", "a.txt twin.txt", "h.txt H.txt",
              "a.txt "}},
            {rt::kBadFileName, {"a.txt " + QString(86, u'あ'), "a.txt " + units(u"\xD800")}},
            {rt::kPathNotFound, {"a.txt nodir/a.txt", "a.txt b.txt/a.txt"}},
            {rt::kFileNotFound, {"none.txt c.txt", "none.txt nodir/c"}}};
        for (const auto& [error, renames] : cases)
            for (const QString& names : renames)
                for (const bool flag : {true, false}) {
                    const QString oldName = names.section(u' ', 0, 0), to = names.section(u' ', 1);
                    const QString base = scratch();
                    QVERIFY(!base.isEmpty());  // never a path from the root
                    DiskTree::make(base,
                                   {"a.txt", "b.txt", "h.txt", "twin.txt=a.txt", "H.txt=h.txt",
                                    "full/", "full/inner.txt", "empty/", "link>a.txt"});
                    QStringList expected;
                    for (const QString& entry : tree(base)) {
                        const bool moves =
                            error == 0 && (entry == oldName || entry.startsWith(oldName + u'/'));
                        expected.append(moves ? to + entry.mid(oldName.size()) : entry);
                    }
                    std::optional<faultplan::FailingAll> refusing;  // every renameat2: EINVAL
                    if (!flag)
                        refusing.emplace(faultplan::kNoReplaceRefused);
                    const int raised =
                        errorNumberOf([&] { rt::Name(base + u'/' + oldName, base + u'/' + to); });
                    QVERIFY2(
                        raised == error && tree(base) == sorted(expected),
                        qPrintable(QStringLiteral("%1 %2: %3").arg(names).arg(flag).arg(raised)));
                }
    }

    void volumeRules()
    {
        // Folds case, Windows names, no trailing dot or blank, unstable inodes,
        // renames checked.
        const std::tuple<const char*, const char*, const char*> cases[] = {
            {"ext4", "", "-----"},    {"tmpfs", "", "-----"},        {"fuse.sshfs", "", "----c"},
            {"vfat", "", "fwtsc"},    {"msdos", "", "fwtsc"},        {"fuse.fusefat", "", "fwtsc"},
            {"exfat", "", "fwtsc"},   {"fuseblk", "exfat", "fwtsc"}, {"fuseblk", "ntfs", "-wt-c"},
            {"fuseblk", "", "-wtsc"}, {"ntfs3", "", "-wt-c"},        {"fuse.ntfs-3g", "", "-wt-c"},
            {"cifs", "", "fwtsc"},    {"smb3", "", "fwtsc"}};
        for (const auto& [mount, device, expected] : cases) {
            const rt::VolumeRules rules = rt::rulesOfType(mount, device);
            const QString flags =
                QString(rules.foldsCase ? u'f' : u'-') + (rules.windowsNames ? u'w' : u'-') +
                (rules.noTrailingDotOrBlank ? u't' : u'-') + (rules.stableInodes ? u'-' : u's') +
                (rules.checkRenames ? u'c' : u'-');
            QVERIFY2(flags == expected, mount);
            for (const char* name : {"IMG_0001.jpg", "写真？.jpg", ".hidden", "a.b c"})
                QVERIFY2(!rt::refusesName(rules, name), name);
            for (const char* name : {"a?b", "A:B.txt", "a*", "a\"b", "<a>", "a|b", "a\\b", "a\x01",
                                     "trail.", "trail "})
                QVERIFY2(rt::refusesName(rules, name) == rules.windowsNames, name);
        }
    }

    // Local time in whole seconds (the .7 s on disk dropped, not rounded); a
    // link reports its target's time, a dangling one its own.
    void fileDateTime()
    {
        make({"target.txt", "link>target.txt", "dangling>nowhere"});
        const QDateTime target = local(2006, 12, 31, 23, 59, 59), own = local(2001, 2, 3, 4, 5, 6);
        for (const char* name : {"target.txt", "link", "dangling"}) {
            const timespec when{(*name == 't' ? target : own).toSecsSinceEpoch(), 700000000};
            const timespec times[2] = {when, when};
            QVERIFY(!::utimensat(AT_FDCWD, os(at(name)).c_str(), times, AT_SYMLINK_NOFOLLOW));
        }
        QCOMPARE(rt::FileDateTime(at("target.txt")).timeSpec(), Qt::LocalTime);
        QCOMPARE(QList<QDateTime>({rt::FileDateTime(at("target.txt")), rt::FileDateTime(at("link")),
                                   rt::FileDateTime(at("dangling"))}),
                 QList<QDateTime>({target, target, own}));
        QCOMPARE(errorNumberOf([&] { rt::FileDateTime(at("missing")); }), int(rt::kFileNotFound));
    }

    // The scripting file-system object and the service.
    void namesAndDrives()
    {
        QVERIFY(QDir::setCurrent(d));
        // The parent (p), absolute (a) or drive (d) name of a path; "@" is the
        // current folder.
        for (const QString row :
             {"p|/a|/", "p|/a/b/|/a", "p|/|", "p|a|", "p|a/b|a", "p|/a//b|/a", "p||",
              "a|/a/./b//c/|/a/b/c", "a|/a/b/../c|/a/c", "a|/../../x|/x", "a|/|/", "a|///|/",
              "a|x/../y/.|@/y", "a||@", "a|sub/..|@", "d|/|/", "d|relative/path|"}) {
            const QString path = row.section(u'|', 1, 1);
            const QString got = row[0] == u'p'   ? fso.GetParentFolderName(path)
                                : row[0] == u'a' ? fso.GetAbsolutePathName(path)
                                                 : fso.GetDriveName(path);
            QVERIFY2(got == row.section(u'|', 2).replace(u'@', d), qPrintable(row + u' ' + got));
        }
        const QString drive = fso.GetDriveName(d);
        QVERIFY(fso.DriveExists("/") && fso.DriveExists(drive) && !fso.DriveExists(d) &&
                !fso.DriveExists("") && !fso.DriveExists("relative"));
        QCOMPARE(fso.GetDrive(drive).Path(), drive);
        if (rt::mountPointOf("/dev/shm") == "/dev/shm")
            QVERIFY(fso.DriveExists("/dev/shm/"));
        // The service's free space: available (not free) space in KiB; others
        // write meanwhile, hence the 1 % margin.
        rt::Currency space;
        struct statvfs info = {};
        QVERIFY(fs->PFncBln_GetDriveFreeSpace(d, space) && ::statvfs(os(d).c_str(), &info) == 0);
        const double kib = double(info.f_bavail) * double(info.f_frsize) / 1024.0;
        QVERIFY2(qAbs(space.toDouble() - kib) <= kib / 100, qPrintable(QString::number(kib)));
    }

    void attributesAndExistence()
    {
        using namespace scripting;
        make({"a", ".b", "ro", "sub/", "sub/inner/", ".hsub/", "linkToFile>a", "linkToFolder>sub",
              "dangling>nowhere", "pipe|"});
        chmod("ro", 0444);
        const std::pair<const char*, int> attributes[] = {
            {"a", kArchive},     {".b", kArchive | kHidden},      {"ro", kArchive | kReadOnly},
            {"sub", kDirectory}, {".hsub", kDirectory | kHidden}, {"linkToFile", kAlias | kArchive},
            {"pipe", kSystem}};
        for (const auto& [name, value] : attributes)
            QVERIFY2(File(at(name)).Attributes() == value, name);
        const Folder folder = fso.GetFolder(d);
        QStringList names;
        for (const File& file : folder.Files())
            names.append(file.Name());
        for (const Folder& sub : folder.SubFolders())
            names.append(sub.Path().mid(d.size()) + u'/');
        QCOMPARE(sorted(names), QStringList({".b", "/.hsub/", "/sub/", "a", "linkToFile", "ro"}));
        QCOMPARE(sorted(fs->GetCol_EnumSubDirList(d)), QStringList({".hsub", "sub"}));

        // FileExists, FolderExists, then the service's file and folder tests,
        // which take patterns, never see hidden entries and count a file as a
        // folder: "1011" is a file to all but FolderExists.
        for (const QString row :
             {"a 1011", ".b 1000", "linkToFile 1011", "dangling 0000", "sub 0101", "pipe 0000",
              "linkToFolder 0101", "linkToFolder/../sub 0101", "missing 0000", "a* 0011",
              "sub/* 0001"}) {
            const QString path = at(row.section(u' ', 0, 0));
            const bool folderTest = fs->PFncBln_CheckFolderExists(path);
            QString got;
            for (const bool yes : {fso.FileExists(path), fso.FolderExists(path),
                                   fs->PFncBln_CheckFileExists(path), folderTest})
                got += yes ? u'1' : u'0';
            QVERIFY2(got == row.section(u' ', 1) && FncBln_FolderExists(path) == folderTest,
                     qPrintable(row + u' ' + got));
        }

        // Read-only takes every write bit, clearing it gives back the owner's;
        // a link is left alone, and so is its target.
        chmod("a", 0664);
        chmod("sub", 0775);
        const File file = fso.GetFile(at("a"));
        const Folder sub = fso.GetFolder(at("sub"));
        file.setAttributes(kReadOnly | kHidden | kArchive);
        sub.setAttributes(kDirectory | kReadOnly);
        QCOMPARE(modes("a sub"), QStringLiteral("444 555"));
        QCOMPARE(sub.Attributes(), kDirectory | kReadOnly);
        file.setAttributes(kArchive);
        sub.setAttributes(kDirectory);
        fso.GetFile(at("linkToFile")).setAttributes(kReadOnly);
        QCOMPARE(modes("a sub"), QStringLiteral("644 755"));

        // The service drops folder, alias, compressed and the four highest bits.
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(2 | 32, true), 1 | 2 | 32);
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(-1, true), 0x0FFFF3EF);
        QCOMPARE(Cls_FileSystem::FncLng_ReadOnlyAttr(-1, false), 0x0FFFF3EE);
    }

    // The object makes one level; the service and the module helper make the
    // missing levels top down, and stop at a file where the first one goes:
    // its own 58 is recorded, not the 76 of a deeper level never to be tried.
    void createFolders()
    {
        make({"plain"});
        QCOMPARE(fso.CreateFolder(at("new/")).Path(), at("new"));
        QCOMPARE(mode(at("new")), 0755);
        QVERIFY(fs->PFncBln_CreateFolder(at("a/b")) && fs->PFncBln_CreateFolder(at("a/b")));
        QVERIFY(FncBln_CreateFolderTree(at("c/d/e")));
        QVERIFY(!fs->PFncBln_CreateFolder(at("plain/x/y")));
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kFileAlreadyExists));
        QVERIFY(!FncBln_CreateFolderTree(at("plain/x/y")));
        QCOMPARE(tree(d).join(u' '), QStringLiteral("a/ a/b/ c/ c/d/ c/d/e/ new/ plain"));
    }

    // Links inside a tree are entries of their own: walks neither loop nor
    // list, count, change or delete anything through them, copies keep them.
    // Sizes are in KiB for the service, through the currency's rounding.
    void linksInsideATree()
    {
        make({"outside/", "outside/keep", "t/", "t/a/", "t/a/b/", "t/a/b/loop>../..", "t/self>.",
              "t/loopA>loopB", "t/loopB>loopA", "t/out>../outside",
              "t/keep>" + at("outside/keep")});
        makeFile(raw(at("t/a/b/file")), QByteArray(100, 'x'));
        QCOMPARE(fs->GetCol_EnumSubDirList(at("t")), QStringList{"a"});
        QVERIFY(fso.GetFolder(at("t/a/b")).SubFolders().isEmpty());
        QCOMPARE(fso.GetFolder(at("t")).Size(), std::int64_t(100));
        QCOMPARE(sizeOf(at("t")), 977);  // 0.0977
        QCOMPARE(fs->GetLng_ErrorNo(), 0);

        QCOMPARE(call("CopyFolder t copy 0"), 0);
        QCOMPARE(content(at("copy/a/b/file")), QByteArray(100, 'x'));
        QCOMPARE(target(at("copy/a/b/loop")) + ' ' + target(at("copy/out")) + ' ' +
                     target(at("copy/keep")),
                 "../.. ../outside " + raw(at("outside/keep")));

        QCOMPARE(call("fs.ReadOnly t 1"), 0);
        QCOMPARE(modes("t t/a/b t/a/b/file outside outside/keep"),
                 QStringLiteral("555 555 444 755 644"));
        QCOMPARE(call("fs.ReadOnly t 0"), 0);
        QCOMPARE(call("fs.ReadOnly t/a/b/file 1"), 0);
        QCOMPARE(modes("t t/a/b t/a/b/file"), QStringLiteral("755 755 444"));

        make({"alias>outside"});  // a folder to delete that is a link: only the link goes
        for (const char* step :
             {"DeleteFolder t 1", "fs.DeleteFolder copy 1", "DeleteFolder alias 1"})
            QCOMPARE(call(step), 0);
        QCOMPARE(tree(d), QStringList({"outside/", "outside/keep"}));
        QCOMPARE(content(at("outside/keep")), QByteArray("outside/keep"));
    }

    // Every refusal raises its number and changes nothing on disk: no move,
    // copy or deletion replaces or loses a thing, nor leaves a temporary copy.
    void refusalsChangeNothing()
    {
        make({"a", "b", "ro", "src/", "src/inner", "src/sub/", "empty/", "one/", "one/inner",
              "dst/", "dst/inner", "nest/", "nest/inner/", "locked/", "locked/ro", "sealed/",
              "sealed/closed/"});
        for (const char* readOnly : {"ro", "locked/ro"})
            chmod(readOnly, 0444);
        chmod("sealed/closed", 0);
        const auto before = holdings(d);  // what a refusal must keep
        // By the number raised; "CopyFolder src dst/inner" is a folder onto a
        // file of its name.
        const std::pair<int, QStringList> refusals[] = {
            {5,
             {"MoveFolder src src/sub/x", "MoveFolder src src/sub/",
              "CopyFolder src src/sub/again 1", "CopyFolder src src 1"}},
            {53,
             {"MoveFile missing c", "CopyFile missing x 1", "CopyFile src x 1",
              "DeleteFile missing", "DeleteFile empty", "GetFile missing", "GetFile src",
              "Attributes missing", "IsMountPoint missing"}},
            {58,
             {"MoveFile a b", "MoveFolder src empty", "CopyFile a b 0", "CopyFolder one dst 0",
              "CopyFolder nest dst 1", "CreateFolder empty", "CopyFolder src dst/inner 1",
              "fs.Rename a b"}},
            {68, {"GetDrive src"}},
            {70,
             {"CopyFile a ro 1", "DeleteFile ro 0", "DeleteFolder locked 0",
              "fs.DeleteFolder locked 0"}},
            {76,
             {"MoveFolder missing c", "CopyFile a no/x 1", "CopyFolder src no/d 1",
              "CopyFolder missing x 1", "DeleteFolder missing", "DeleteFolder a",
              "CreateFolder missing/new", "GetFolder missing", "SubFolders missing"}}};
        for (const auto& [error, calls] : refusals)
            for (const QString& operation : calls) {
                QVERIFY2(call(operation) == error, qPrintable(operation));
                QVERIFY2(holdings(d) == before, qPrintable(operation));
            }
        // Permissions do not bind the superuser.
        QCOMPARE(call("Size sealed"), ::geteuid() == 0 ? 0 : 70);
        // The system refuses an unlink, or to open up a closed folder for a forced delete.
        for (const auto& [refused, operation] :
             {std::pair{rt::sys::Call::Unlink, "DeleteFile a"},
              std::pair{rt::sys::Call::Chmod, "DeleteFolder sealed 1"}}) {
            const faultplan::Failing refusal(refused, 0, EACCES);
            QVERIFY2(call(operation) == 70 && holdings(d) == before, operation);
        }
    }

    // The service records a failure (number and text) and answers false; a
    // missing entry to delete or change is no failure. Copies replace only
    // when told to; a successful move keeps the recorded error, other calls
    // clear it, listings and name checks leave it.
    void serviceErrors()
    {
        make({"new", "old", "src/", "dst/", "src/f", "dst/f", "d/"});
        for (const char* operation :
             {"fs.DeleteFile missing 0", "fs.DeleteFolder missing 0", "fs.ReadOnly missing 1"}) {
            QCOMPARE(sizeOf(at("missing")), 0);  // records 76, for the next call to clear
            QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPathNotFound));
            QVERIFY(call(operation) == 0 && !fs->GetLng_ErrorNo() &&
                    fs->GetStr_ErrorDetail().isEmpty());
        }
        QVERIFY(!fs->PFncBln_CopyFolder(at("src"), at("dst"), false) && recorded());
        QVERIFY(!fs->PFncBln_CopyFile(at("new"), at("old"), false) && recorded());
        QCOMPARE(content(at("old")) + content(at("dst/f")), QByteArray("olddst/f"));
        const int copyError = fs->GetLng_ErrorNo();
        QVERIFY(fs->PFncBln_MoveFile(at("new"), at("n")) &&
                fs->PFncBln_MoveDirectory(at("d"), at("e")));
        QVERIFY(fs->GetCol_EnumFileList(at("missing/*")).isEmpty());
        QCOMPARE(fs->GetLng_ErrorNo(), copyError);
        QCOMPARE(tree(d).join(u' '), QStringLiteral("dst/ dst/f e/ n old src/ src/f"));
        QVERIFY(fs->PFncBln_CopyFile(at("n"), at("old"), true));
        QCOMPARE(fs->GetLng_ErrorNo(), 0);
        QVERIFY(fs->PFncBln_CopyFolder(at("src"), at("dst"), true));
        QCOMPARE(content(at("old")) + content(at("dst/f")), QByteArray("newsrc/f"));

        sizeOf(at("missing"));  // records 76, which the name checks must leave
        // Valid (+) or not (-) as a new folder's name; "@" is d.
        for (QString row : {"+/ab", "+@/new/", "+@/dst", "+@/新しい フォルダ/下", "-", "-/a",
                            "-/a/", "-@/dst/../new", "-@//new", "-dst/new", "-@/old", "-@/\\x/y",
                            "-@/x/a:b/y", "-@/x/y'", "-@/x*/y"})
            QVERIFY2(fs->ChkBln_IsFolderNameValid(row.mid(1).replace(u'@', d)) == (row[0] == u'+'),
                     qPrintable(row));
        QCOMPARE(fs->GetLng_ErrorNo(), int(rt::kPathNotFound));
    }

    // Names that are not UTF-8 survive byte for byte. Copies and moves keep
    // the mode and time; a folder merges into an existing one, replacing only
    // its namesakes; a destination ending in "/" means "into"; forced deletes
    // take read-only entries, and a link goes by itself. Moves between two
    // volumes (/dev/shm is usually tmpfs) copy, then delete.
    void copiesMovesAndDeletes()
    {
        make({"src", "dst", odd("in\xfe/"), "s/", "s/sub/", "s/same", "s/sub/only", "d/", "d/same",
              "d/mine", "ro", "target", "link>target", "t/", "t/closed/", "t/closed/ro",
              odd("m\xfb/"), odd("m\xfb/in\x80"), odd("\xff.txt")});
        chmod("src", 0640);
        setStamp(at("src"), local(2006, 12, 31, 23, 59, 59));
        chmod("s/sub", 0750);
        for (const char* readOnly : {"ro", "target", "t/closed/ro"})
            chmod(readOnly, 0444);
        QCOMPARE(fs->PFncCol_EnumFileList(at("*.txt")), QStringList{odd("\xff.txt")});
        QCOMPARE(call("CopyFile src dst 1"), 0);
        QCOMPARE(content(at("dst")), QByteArray("src"));
        const auto stamp = stdfs::last_write_time(os(at("src")));
        QVERIFY(stdfs::last_write_time(os(at("dst"))) == stamp);
        const int ontoItself = call("CopyFile src ./src 1");
        QVERIFY(ontoItself == 58 || ontoItself == 70);
        QCOMPARE(call("CopyFolder s d 1"), 0);
        QCOMPARE(modes("src dst d/sub"), QStringLiteral("640 640 750"));
        chmod("t/closed", 0500);
        for (const char* step :
             {"CopyFile src in\xfe/ 0", "CopyFile \xff.txt c\xfd 0", "CopyFolder m\xfb e\xfc 0",
              "MoveFile \xff.txt in\xfe/", "MoveFolder m\xfb in\xfe/", "fs.Rename c\xfd n\xfa",
              "DeleteFile ro 1", "DeleteFile link 0", "DeleteFolder t/ 1"})
            QVERIFY2(call(odd(step)) == 0, step);
        const QString kept = odd("d/ d/mine d/same d/sub/ d/sub/only dst e\xfc/ e\xfc/in\x80 ");
        QCOMPARE(
            tree(d).join(u' '),
            kept +
                odd("in\xfe/ in\xfe/m\xfb/ in\xfe/m\xfb/in\x80 in\xfe/src in\xfe/\xff.txt n\xfa s/ "
                    "s/same s/sub/ s/sub/only src target"));
        QCOMPARE(content(at("src")) + content(at("d/same")) + content(at("d/mine")) +
                     content(at(odd("e\xfc/in\x80"))) + content(at(odd("n\xfa"))),
                 QByteArray("srcs/samed/minem\xfb/in\x80\xff.txt"));

        const QString far = scratch("/dev/shm/nemirou-XXXXXX");
        if (far.isEmpty() || rt::mountPointOf(far) == rt::mountPointOf(d))
            QSKIP("no second volume at /dev/shm");
        make({"far>" + far, odd("in\xfe/loop>../..")});
        chmod(odd("in\xfe"), 0750);
        chmod(odd("in\xfe/\xff.txt"), 0444);
        for (const char* step : {"0 MoveFile src far/", "58 MoveFile target far/src",
                                 "0 MoveFolder in\xfe far/", "58 MoveFolder d far/in\xfe"}) {
            const QString row = odd(step);
            QVERIFY2(call(row.section(u' ', 1)) == row.section(u' ', 0, 0).toInt(), step);
        }
        QCOMPARE(tree(d).join(u' '),
                 kept + "far n" + odd("\xfa s/ s/same s/sub/ s/sub/only target"));
        QCOMPARE(tree(far).join(u' '),
                 odd("in\xfe/ in\xfe/loop in\xfe/m\xfb/ in\xfe/m\xfb/in\x80 in\xfe/src "
                     "in\xfe/\xff.txt src"));
        QVERIFY(stdfs::last_write_time(os(at("far/src"))) == stamp);
        QCOMPARE(modes(odd("far/src far/in\xfe far/in\xfe/\xff.txt")),
                 QStringLiteral("640 750 444"));
        QCOMPARE(target(at(odd("far/in\xfe/loop"))), QByteArray("../.."));
        QCOMPARE(content(at("far/src")) + content(at(odd("far/in\xfe/\xff.txt"))),
                 QByteArray("src\xff.txt"));
    }

    // A mount point below the start is another volume: whatever the walk
    // does, it fails with 70 and nothing on the mounted volume changes; the
    // service's read-only walk is done but ends that level there. A bind
    // mount shows the same device and must be seen all the same.
    void walksStayOnTheirVolume()
    {
        for (const bool bind : {false, true})
            for (const QString operation :
                 {"DeleteFolder a 1", "DeleteFolder a/mnt 1", "MoveFolder a far/a",
                  "MoveFolder a/mnt far/m", "CopyFolder a c 1", "Size a", "fs.DeleteFolder a 1",
                  "fs.ReadOnly a 1"}) {
                QVERIFY(!(d = scratch()).isEmpty());  // a fresh tree for each
                make({"a/", "a/mnt/", "b/", "far/", "a/keep"});
                ScopedMount mounts;
                QByteArray why = bind ? mounts.bind(raw(at("b")), raw(at("a/mnt")))
                                      : mounts.tmpfs(raw(at("a/mnt")));
                if (why.isEmpty())
                    why = mounts.tmpfs(raw(at("far")));  // the other volume of the moves
                if (!why.isEmpty())
                    QSKIP(why.constData());
                make({"a/mnt/sub/", "a/mnt/sub/precious", "a/mnt/top"});
                chmod("a/mnt/sub/precious", 0444);
                const auto before = holdings(at("a/mnt"));
                const int mountMode = mode(at("a/mnt"));
                const bool readOnly = operation.startsWith("fs.ReadOnly");
                const QByteArray which = (bind ? "bind " : "tmpfs ") + operation.toUtf8();
                QVERIFY2(call(operation) == (readOnly ? 0 : 70), which);
                QVERIFY2(holdings(at("a/mnt")) == before && mode(at("a/mnt")) == mountMode, which);
                // A failed move changes nothing; a deletion may have removed
                // what it met before the mount point.
                QVERIFY2(operation.contains("Delete") ||
                             modes("a/keep") == (readOnly ? "444" : "644"),
                         which);
                QVERIFY2(tree(at("far")) + tree(at("c")) == QStringList(), which);
            }
    }

    // A folder that fails part-way through its listing: the visiting forms
    // hand out what was read before the failure, then raise; the list forms
    // raise; the service's subfolder list keeps what was read and tells
    // through the error box (as for a missing folder), and its read-only walk
    // still works on the files read before the failure.
    void listingThatFailsPartWay()
    {
        make({"d/", "d/s1/", "d/s2/", "d/s3/", "d/s4/", "f/", "f/1", "f/2", "f/3", "f/4"});
        QStringList seen;
        const auto visitFiles = [&] {
            fso.GetFolder(at("f")).Files(
                [&](const File& file) { seen.append("f/" + file.Name()); });
        };
        visitFiles();
        const QStringList files = std::exchange(seen, {}),
                          folders = fs->GetCol_EnumSubDirList(at("d"));
        QCOMPARE(files.size() + folders.size(), 8);
        // Every listing yields "." and ".." first: the read after them and
        // `entries` names fails.
        std::optional<faultplan::Failing> fault;
        const auto failAfter = [&](int entries) {
            fault.reset();  // one plan at a time
            fault.emplace(faultplan::Call::Readdir, entries + 2, EIO);
        };
        failAfter(3);
        QCOMPARE(errorNumberOf(visitFiles), int(rt::kDeviceIoError));
        QCOMPARE(seen, files.mid(0, 3));
        failAfter(2);
        QCOMPARE(errorNumberOf([&] { fso.GetFolder(at("d")).SubFolders(); }),
                 int(rt::kDeviceIoError));
        MsgBoxRecorder boxes;
        failAfter(2);
        QCOMPARE(fs->GetCol_EnumSubDirList(at("d")), folders.mid(0, 2));
        failAfter(2);
        QCOMPARE(call("fs.ReadOnly f 1"), 0);
        fault.reset();
        QCOMPARE(modes(files.join(u' ')), QStringLiteral("444 444 644 644"));
        QVERIFY(fs->GetCol_EnumSubDirList(at("missing")).isEmpty());
        QCOMPARE(boxes.boxes().size(), 2);
        QVERIFY(boxes.boxes()[0].prompt.startsWith("57 ") &&
                boxes.boxes()[1].prompt.startsWith("76 "));
    }

    // A file that refuses the change ends its folder's level only: later files
    // and subfolders of that folder stay as they were, sibling folders do not.
    void readOnlyWalkStopsAtRefusingFile()
    {
        make({"top/", "top/s/", "top/s/g", "top/x/", "top/x/below/", "top/x/below/y", "top/x/1",
              "top/x/2", "top/x/3", "top/x/4"});
        QStringList files;
        fso.GetFolder(at("top/x")).Files([&](const File& file) {
            files.append("top/x/" + file.Name());
        });
        // Changed in turn: top, then each subfolder depth first, its files
        // before its subfolders; x's third file refuses.
        const int third = fs->GetCol_EnumSubDirList(at("top")).first() == "x" ? 4 : 6;
        const faultplan::Failing refused(faultplan::Call::Chmod, third, EPERM);
        QCOMPARE(call("fs.ReadOnly top 1"), 0);
        QCOMPARE(modes("top top/x top/s top/s/g top/x/below top/x/below/y " + files.join(u' ')),
                 QStringLiteral("555 555 555 444 755 644 444 444 644 644"));
    }
};

QTEST_GUILESS_MAIN(FileSystemTest)
#include "tst_FileSystem.moc"
