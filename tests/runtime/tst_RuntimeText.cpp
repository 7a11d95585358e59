#include "runtime/Currency.h"
#include "runtime/KeyedStringList.h"
#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"
#include "support/ErrorNumber.h"

#include <QtTest>

namespace {

// Text with code units a QStringLiteral cannot hold: "\xDCE9" is one unit.
QString units(const char16_t* text)
{
    return QStringView(text).toString();  // fromUtf16 would drop a byte-order mark
}

}  // namespace

class RuntimeText : public QObject {
    Q_OBJECT

private slots:
    // Bytes that are not UTF-8 become U+DC80..U+DCFF and back; a text that
    // can name nothing (NUL, a surrogate outside that range) is refused.
    void codec_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        const auto row = [](const char* tag, const QByteArray& bytes, const QString& text) {
            QTest::newRow(tag) << bytes << text << (bytes.isEmpty() ? int(rt::kBadFileName) : 0);
        };
        row("latin1 byte", "caf\xe9.txt", units(u"caf\xDCE9.txt"));
        row("encoded surrogate", "\xed\xa0\x80", units(u"\xDCED\xDCA0\xDC80"));
        row("above 10FFFF", "\xf4\x90\x80\x80", units(u"\xDCF4\xDC90\xDC80\xDC80"));
        row("overlong four bytes", "\xf0\x8f\xbf\xbf", units(u"\xDCF0\xDC8F\xDCBF\xDCBF"));
        row("max code point", "\xf4\x8f\xbf\xbfx", units(u"\xDBFF\xDFFFx"));
        row("kana then stray", "\xe3\x81\x82\x80z", units(u"\x3042\xDC80z"));
        row("embedded NUL", {}, QStringLiteral("a") + QChar(0) + u'b');
        row("lone high at end", {}, units(u"a\xD800"));
        row("high before letter", {}, units(u"\xD83Dx"));
        row("low below escapes", {}, units(u"\xDC7F"));
        row("low above escapes", {}, units(u"\xDD00"));
        row("low before high", {}, units(u"\xDE00\xD83D"));
    }

    void codec()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, error);
        if (error == 0)
            QCOMPARE(rt::decodeName(bytes), text);
        QByteArray encoded;
        QCOMPARE(errorNumberOf([&] { encoded = rt::encodeName(text); }), error);
        QCOMPARE(encoded, bytes);
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

    void narrow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("narrow");
        QTest::newRow("voiced") << QStringLiteral("ガパヴ") << QStringLiteral("ｶﾞﾊﾟｳﾞ");
        QTest::newRow("voiced wa and wo") << QStringLiteral("ヷヺワヲ") << QStringLiteral("ﾜﾞｦﾞﾜｦ");
        QTest::newRow("marks") << units(u"カ\x3099ハ\x309A゛゜") << QStringLiteral("ｶﾞﾊﾟﾞﾟ");
        QTest::newRow("full width")
            << QStringLiteral("ＡＢＣ１／！～　z") << QStringLiteral("ABC1/!~ z");
        QTest::newRow("escaped byte kept") << units(u"\xDCE9\xFF21") << units(u"\xDCE9\x41");
        // Unchanged: no half-width form, or only an NFKC one.
        for (const char* same :
             {"ひらがな", "漢字", "㍍①", "ﾃｽﾄｶﾞﾊﾟ", "ヮヰヱヵヶヸヹヽヾ", "￠￡￢￣￤￥￦｟｠"})
            QTest::newRow(same) << QString::fromUtf8(same) << QString::fromUtf8(same);
    }

    void narrow()
    {
        QFETCH(QString, text);
        QFETCH(QString, narrow);
        QCOMPARE(rt::StrConvNarrow(text), narrow);
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

    void lcaseTrimAndKeyedList()
    {
        QCOMPARE(rt::LCase(QStringLiteral("ABC.TXT ÄΣＡ")), QStringLiteral("abc.txt äσａ"));
        QCOMPARE(rt::Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(rt::Trim(QStringLiteral("\ta\u3000")),
                 QStringLiteral("\ta\u3000"));  // blanks only
        QCOMPARE(rt::Trim(QStringLiteral("   ")), QString());

        rt::KeyedStringList list;
        list.Add(QStringLiteral("Foo"));
        list.Add(QStringLiteral("bar"));
        QCOMPARE(errorNumberOf([&] { list.Add(QStringLiteral("FOO")); }),
                 int(rt::kKeyAlreadyExists));
        QCOMPARE(list.Items(), QStringList({QStringLiteral("Foo"), QStringLiteral("bar")}));
        QCOMPARE(list.Item(QStringLiteral("fOO")), QStringLiteral("Foo"));
        QVERIFY(list.Contains(QStringLiteral("BAR")) && !list.Contains(QStringLiteral("baz")));
        QCOMPARE(errorNumberOf([&] { list.Item(QStringLiteral("baz")); }), int(rt::kInvalidCall));
        list.Add(QStringLiteral("ＦＯＯ"));  // full width is a different key
        QCOMPARE(list.Item(QStringLiteral("ｆｏｏ")), QStringLiteral("ＦＯＯ"));
    }

    // Four decimal places, ties to even; out of range is an overflow.
    void currency()
    {
        QCOMPARE(rt::Currency::fromDouble(0.03125).scaled, qint64(312));
        QCOMPARE(rt::Currency::fromDouble(0.09375).scaled, qint64(938));
        QCOMPARE(rt::Currency::fromDouble(-0.03125).scaled, qint64(-312));
        QCOMPARE(rt::Currency::fromDouble(9.0e14).scaled, qint64(9000000000000000000));
        for (double value : {1.0e15, -1.0e15, std::nan("")})
            QCOMPARE(errorNumberOf([&] { rt::Currency::fromDouble(value); }), int(rt::kOverflow));
    }

    // The longest mount point that is a whole-component prefix.
    void mountPointOf()
    {
        const QList<rt::MountPoint> table = {{QStringLiteral("/"), QStringLiteral("ext4")},
                                             {QStringLiteral("/mnt/a/b c"), QStringLiteral("vfat")},
                                             {QStringLiteral("/mnt/a"), QStringLiteral("tmpfs")}};
        const std::pair<const char*, const char*> cases[] = {
            {"/mnt/a/x.txt", "/mnt/a"},     {"/mnt/a", "/mnt/a"}, {"/mnt/ab", "/"},
            {"/mnt/a/b c/d", "/mnt/a/b c"}, {"/", "/"},           {"mnt/a", ""}};
        for (const auto& [path, mount] : cases)
            QCOMPARE(rt::mountPointOf(QString::fromUtf8(path), table), QString::fromUtf8(mount));
    }

    // Octal escapes are decoded (a non-UTF-8 byte kept escaped), the type is
    // found after the optional fields, and unreadable lines are left out.
    void mountInfo()
    {
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
        QCOMPARE(rt::mountPointOf(QStringLiteral("/")), QStringLiteral("/"));  // the live table
    }
};

QTEST_GUILESS_MAIN(RuntimeText)
#include "tst_RuntimeText.moc"
