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
#include "support/DiskTree.h"
#include "support/ErrorNumber.h"
#include "support/FaultPlan.h"

#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <tuple>

class RuntimeTest : public QObject, private DiskTree {
    Q_OBJECT

    std::optional<QTemporaryDir> m_temp;  // each test's own, removed by the next one's
    QString at(const QString& name) const { return m_temp->path() + u'/' + name; }
    void make(const QStringList& entries) { DiskTree::make(m_temp->path(), entries); }
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

private slots:
    void init() { QVERIFY(m_temp.emplace().isValid()); }

    // Must stay first: no listing may have been started in this process.
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
        const std::pair<QString, QString> cases[] = {
            {QStringLiteral("ガパヴ"), QStringLiteral("ｶﾞﾊﾟｳﾞ")},
            {QStringLiteral("ヷヺワヲ"), QStringLiteral("ﾜﾞｦﾞﾜｦ")},
            {units(u"カ\x3099ハ\x309A゛゜"), QStringLiteral("ｶﾞﾊﾟﾞﾟ")},
            {QStringLiteral("ＡＢＣ１／！～　z"), QStringLiteral("ABC1/!~ z")},
            {units(u"\xDCE9\xFF21"), units(u"\xDCE9\x41")}};  // an escaped byte is kept
        for (const auto& [text, narrow] : cases)
            QCOMPARE(rt::StrConvNarrow(text), narrow);
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

    // Trim takes blanks only; keys are case-folded, full width is a key of its own.
    void lcaseTrimAndKeyedList()
    {
        QCOMPARE(rt::LCase("ABC.TXT ÄΣＡ") + u'|' + rt::Trim("  a b  ") + u'|' +
                     rt::Trim("\ta\u3000") + u'|' + rt::Trim("   "),
                 QStringLiteral("abc.txt äσａ|a b|\ta\u3000|"));
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
            parsed.append(mount.path + u'|' + mount.fsType);
        QCOMPARE(parsed,
                 QStringList({QStringLiteral("/|ext4"), QStringLiteral("/mnt/my disk\\\t|vfat"),
                              units(u"/mnt/caf\xDCE9|xfs")}));
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
        const auto back =
            qScopeGuard([previous = QDir::currentPath()] { QDir::setCurrent(previous); });
        QVERIFY(QDir::setCurrent(m_temp->path()));
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
        const std::pair<faultplan::Call, const char*> refusals[] = {{faultplan::Call::Open, "d/*"},
                                                                    {faultplan::Call::Stat, "d/a"}};
        for (const auto& [call, pattern] : refusals) {
            const faultplan::Failing refused(call, 0, EACCES);
            QCOMPARE(errorNumberOf([&] { rt::Dir(at(pattern)); }), int(rt::kPermissionDenied));
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
        int run = 0;
        for (const auto& [error, renames] : cases)
            for (const QString& names : renames)
                for (const bool flag : {true, false}) {
                    const QString oldName = names.section(u' ', 0, 0), to = names.section(u' ', 1);
                    const QString base = at(QString::number(++run));
                    make({QString::number(run) + u'/'});
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
                    const QString which = QStringLiteral("%1 -> %2, flag %3: %4 and the tree")
                                              .arg(oldName, to)
                                              .arg(flag)
                                              .arg(raised);
                    QVERIFY2(raised == error && tree(base) == sorted(expected), qPrintable(which));
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
            QCOMPARE(::utimensat(AT_FDCWD, raw(at(name)).constData(), times, AT_SYMLINK_NOFOLLOW),
                     0);
        }
        QCOMPARE(rt::FileDateTime(at("target.txt")).timeSpec(), Qt::LocalTime);
        QCOMPARE(QList<QDateTime>({rt::FileDateTime(at("target.txt")), rt::FileDateTime(at("link")),
                                   rt::FileDateTime(at("dangling"))}),
                 QList<QDateTime>({target, target, own}));
        QCOMPARE(errorNumberOf([&] { rt::FileDateTime(at("missing")); }), int(rt::kFileNotFound));
    }
};

QTEST_GUILESS_MAIN(RuntimeTest)
#include "tst_Runtime.moc"
