#include "runtime/Currency.h"
#include "runtime/KeyedStringList.h"
#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"

#include <QtTest>

#include <functional>

namespace {

QString units(std::initializer_list<char16_t> list)
{
    QString text;
    for (char16_t unit : list)
        text.append(QChar(unit));
    return text;
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const rt::VbError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace

class RuntimeText : public QObject {
    Q_OBJECT

private slots:
    void decodeName_data();
    void decodeName();
    void codecRoundTripsEveryShortByteString();
    void encodeNameRejects_data();
    void encodeNameRejects();
    void encodeNameEscapedBytes();

    void narrow_data();
    void narrow();
    void narrowAgreesWithCompatibilityMappings();

    void lcaseAndTrim();
    void keyedStringList();

    void currency_data();
    void currency();
    void currencyOverflow_data();
    void currencyOverflow();

    void mountPointOf_data();
    void mountPointOf();
    void parseMountInfo();
    void liveMountTableHasRoot();
};

void RuntimeText::decodeName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("abc.txt") << QStringLiteral("abc.txt");
    QTest::newRow("utf8") << QByteArray("caf\xc3\xa9") << QStringLiteral("café");
    QTest::newRow("latin1 byte") << QByteArray("caf\xe9.txt")
                                 << QStringLiteral("caf") + units({0xDCE9}) +
                                        QStringLiteral(".txt");
    QTest::newRow("ff fe") << QByteArray("\xff\xfe") << units({0xDCFF, 0xDCFE});
    QTest::newRow("overlong 2") << QByteArray("\xc0\xaf") << units({0xDCC0, 0xDCAF});
    QTest::newRow("overlong 3") << QByteArray("\xe0\x80\xaf") << units({0xDCE0, 0xDC80, 0xDCAF});
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << units({0xDCED, 0xDCA0, 0xDC80});
    QTest::newRow("above 10FFFF") << QByteArray("\xf4\x90\x80\x80")
                                  << units({0xDCF4, 0xDC90, 0xDC80, 0xDC80});
    QTest::newRow("max code point") << QByteArray("\xf4\x8f\xbf\xbf") << units({0xDBFF, 0xDFFF});
    QTest::newRow("emoji") << QByteArray("\xf0\x9f\x98\x80x") << units({0xD83D, 0xDE00, u'x'});
    QTest::newRow("truncated") << QByteArray("\xe3\x81") << units({0xDCE3, 0xDC81});
    QTest::newRow("kana then stray")
        << QByteArray("\xe3\x81\x82\x80z") << units({0x3042, 0xDC80, u'z'});
    QTest::newRow("U+FFFD itself") << QByteArray("\xef\xbf\xbd") << units({0xFFFD});
    QTest::newRow("empty") << QByteArray() << QString();
}

void RuntimeText::decodeName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString decoded = rt::decodeName(bytes);
    QCOMPARE(decoded, text);
    QCOMPARE(rt::encodeName(decoded), bytes);
}

// Every byte string of one or two bytes, and every three-byte string with a
// three-byte lead, survives decode and encode; where the bytes are valid
// UTF-8 the text equals Qt's own decoding.
void RuntimeText::codecRoundTripsEveryShortByteString()
{
    int mismatches = 0;
    auto check = [&mismatches](const QByteArray& bytes) {
        const QString text = rt::decodeName(bytes);
        if (rt::encodeName(text) != bytes)
            ++mismatches;
        // Strings this short hold no surrogate pair, so any low surrogate
        // is an escaped byte.
        const bool escaped =
            std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
        // Qt drops a leading byte-order mark; a name keeps it.
        const QString reference =
            bytes == "\xef\xbb\xbf" ? QString(QChar(0xFEFF)) : QString::fromUtf8(bytes);
        if (!escaped && text != reference)
            ++mismatches;
    };
    for (int a = 1; a < 256; ++a) {
        check(bytesOf({a}));
        for (int b = 1; b < 256; ++b)
            check(bytesOf({a, b}));
    }
    for (int a = 0xE0; a < 0xF0; ++a)
        for (int b = 0x80; b < 0xC0; ++b)
            for (int c = 1; c < 256; ++c)
                check(bytesOf({a, b, c}));
    QCOMPARE(mismatches, 0);
}

void RuntimeText::encodeNameRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("embedded NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QTest::newRow("lone high at end") << QStringLiteral("a") + units({0xD800});
    QTest::newRow("high before letter") << units({0xD83D, u'x'});
    QTest::newRow("low below escapes") << units({0xDC7F});
    QTest::newRow("low above escapes") << units({0xDD00});
    QTest::newRow("low before high") << units({0xDE00, 0xD83D});
}

void RuntimeText::encodeNameRejects()
{
    QFETCH(QString, text);
    QCOMPARE(errorOf([&] { rt::encodeName(text); }), int(rt::kBadFileName));
}

void RuntimeText::encodeNameEscapedBytes()
{
    QCOMPARE(rt::encodeName(units({u'a', 0xDC80, 0xDCFF})), QByteArray("a\x80\xff"));
    QCOMPARE(rt::encodeName(QStringLiteral("テスト")),
             QByteArray("\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88"));
}

void RuntimeText::narrow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("narrow");
    QTest::newRow("voiced") << QStringLiteral("ガ") << QStringLiteral("ｶﾞ");
    QTest::newRow("semi-voiced") << QStringLiteral("パ") << QStringLiteral("ﾊﾟ");
    QTest::newRow("vu") << QStringLiteral("ヴ") << QStringLiteral("ｳﾞ");
    QTest::newRow("latin and digit") << QStringLiteral("ＡＢＣ１") << QStringLiteral("ABC1");
    QTest::newRow("slash") << QStringLiteral("／") << QStringLiteral("/");
    QTest::newRow("range ends") << QStringLiteral("！～") << QStringLiteral("!~");
    QTest::newRow("ideographic space") << QStringLiteral("a　b") << QStringLiteral("a b");
    QTest::newRow("name") << QStringLiteral("テスト１.txt") << QStringLiteral("ﾃｽﾄ1.txt");
    QTest::newRow("small kana") << QStringLiteral("ァィゥェォャュョッ")
                                << QStringLiteral("ｧｨｩｪｫｬｭｮｯ");
    QTest::newRow("wo n") << QStringLiteral("ヲン") << QStringLiteral("ｦﾝ");
    QTest::newRow("punctuation") << QStringLiteral("、。「」・ー゛゜")
                                 << QStringLiteral("､｡｢｣･ｰﾞﾟ");
    QTest::newRow("combining marks")
        << QStringLiteral("カ") + QChar(0x3099) + QStringLiteral("ハ") + QChar(0x309A)
        << QStringLiteral("ｶﾞﾊﾟ");
    QTest::newRow("no half-width form")
        << QStringLiteral("ヮヰヱヵヶヷヸヹヺヽヾ") << QStringLiteral("ヮヰヱヵヶヷヸヹヺヽヾ");
    QTest::newRow("hiragana") << QStringLiteral("ひらがな") << QStringLiteral("ひらがな");
    QTest::newRow("kanji") << QStringLiteral("漢字") << QStringLiteral("漢字");
    QTest::newRow("squared and circled") << QStringLiteral("㍍①") << QStringLiteral("㍍①");
    QTest::newRow("half-width kana") << QStringLiteral("ﾃｽﾄｶﾞﾊﾟ") << QStringLiteral("ﾃｽﾄｶﾞﾊﾟ");
    QTest::newRow("full-width signs")
        << QStringLiteral("￠￡￢￣￤￥￦｟｠") << QStringLiteral("￠￡￢￣￤￥￦｟｠");
    QTest::newRow("escaped byte kept") << units({0xDCE9, 0xFF21}) << units({0xDCE9, u'A'});
}

void RuntimeText::narrow()
{
    QFETCH(QString, text);
    QFETCH(QString, narrow);
    QCOMPARE(rt::StrConvNarrow(text), narrow);
}

// Unicode's compatibility mappings point from each half-width character to
// its wide form; the table must invert them exactly.
void RuntimeText::narrowAgreesWithCompatibilityMappings()
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

void RuntimeText::lcaseAndTrim()
{
    QCOMPARE(rt::LCase(QStringLiteral("ABC.TXT ÄΣ")), QStringLiteral("abc.txt äσ"));
    QCOMPARE(rt::LCase(QStringLiteral("ＡＢＣ")), QStringLiteral("ａｂｃ"));
    QCOMPARE(rt::Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    QCOMPARE(rt::Trim(QStringLiteral("\ta\u3000")), QStringLiteral("\ta\u3000"));
    QCOMPARE(rt::Trim(QStringLiteral("   ")), QString());
}

void RuntimeText::keyedStringList()
{
    rt::KeyedStringList list;
    list.Add(QStringLiteral("Foo"));
    list.Add(QStringLiteral("bar"));
    QCOMPARE(errorOf([&] { list.Add(QStringLiteral("FOO")); }), int(rt::kKeyAlreadyExists));
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.Items(), QStringList({QStringLiteral("Foo"), QStringLiteral("bar")}));
    QCOMPARE(list.Item(QStringLiteral("fOO")), QStringLiteral("Foo"));
    QVERIFY(list.Contains(QStringLiteral("BAR")));
    QVERIFY(!list.Contains(QStringLiteral("baz")));
    QCOMPARE(errorOf([&] { list.Item(QStringLiteral("baz")); }), int(rt::kInvalidCall));
    list.Add(QStringLiteral("ＦＯＯ"));  // full width is a different key
    QCOMPARE(list.Item(QStringLiteral("ｆｏｏ")), QStringLiteral("ＦＯＯ"));
}

void RuntimeText::currency_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("scaled");
    QTest::newRow("1536 bytes") << 1536 / 1024.0 << qint64(15000);
    QTest::newRow("100 bytes") << 100 / 1024.0 << qint64(977);
    QTest::newRow("tie down to even") << 0.03125 << qint64(312);
    QTest::newRow("tie up to even") << 0.09375 << qint64(938);
    QTest::newRow("negative tie") << -0.03125 << qint64(-312);
    QTest::newRow("zero") << 0.0 << qint64(0);
    QTest::newRow("large") << 9.0e14 << qint64(9000000000000000000);
}

void RuntimeText::currency()
{
    QFETCH(double, value);
    QFETCH(qint64, scaled);
    QCOMPARE(rt::Currency::fromDouble(value).scaled, scaled);
}

void RuntimeText::currencyOverflow_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("too large") << 1.0e15;
    QTest::newRow("too small") << -1.0e15;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
}

void RuntimeText::currencyOverflow()
{
    QFETCH(double, value);
    QCOMPARE(errorOf([&] { rt::Currency::fromDouble(value); }), int(rt::kOverflow));
}

void RuntimeText::mountPointOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mount");
    QTest::newRow("inside") << QStringLiteral("/mnt/a/x.txt") << QStringLiteral("/mnt/a");
    QTest::newRow("itself") << QStringLiteral("/mnt/a") << QStringLiteral("/mnt/a");
    QTest::newRow("not a whole component") << QStringLiteral("/mnt/ab") << QStringLiteral("/");
    QTest::newRow("nested with blank")
        << QStringLiteral("/mnt/a/b c/d") << QStringLiteral("/mnt/a/b c");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
    QTest::newRow("elsewhere") << QStringLiteral("/usr/bin") << QStringLiteral("/");
    QTest::newRow("relative") << QStringLiteral("mnt/a") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void RuntimeText::mountPointOf()
{
    QFETCH(QString, path);
    QFETCH(QString, mount);
    const QList<rt::MountPoint> table = {{QStringLiteral("/"), QStringLiteral("ext4")},
                                         {QStringLiteral("/mnt/a/b c"), QStringLiteral("vfat")},
                                         {QStringLiteral("/mnt/a"), QStringLiteral("tmpfs")}};
    QCOMPARE(rt::mountPointOf(path, table), mount);
}

void RuntimeText::parseMountInfo()
{
    const QByteArray text =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 8:2 / /mnt/my\\040disk rw shared:2 master:3 - vfat /dev/sdb1 rw\n"
        "31 22 8:3 / /mnt/back\\134slash\\011tab rw - ext4 /dev/sdc1 rw\n"
        "32 22 8:4 / /mnt/caf\\351 rw - xfs /dev/sdd1 rw\n"
        "garbage line\n";
    const QList<rt::MountPoint> mounts = rt::parseMountInfo(text);
    QCOMPARE(mounts.size(), 4);
    QCOMPARE(mounts[0].path, QStringLiteral("/"));
    QCOMPARE(mounts[0].fsType, QStringLiteral("ext4"));
    QCOMPARE(mounts[1].path, QStringLiteral("/mnt/my disk"));
    QCOMPARE(mounts[1].fsType, QStringLiteral("vfat"));
    QCOMPARE(mounts[2].path, QStringLiteral("/mnt/back\\slash\ttab"));
    QCOMPARE(mounts[3].path, QStringLiteral("/mnt/caf") + units({0xDCE9}));
    QCOMPARE(mounts[3].fsType, QStringLiteral("xfs"));
}

void RuntimeText::liveMountTableHasRoot()
{
    const QList<rt::MountPoint> mounts = rt::mountPoints();
    QVERIFY(std::any_of(mounts.cbegin(), mounts.cend(),
                        [](const rt::MountPoint& m) { return m.path == QStringLiteral("/"); }));
    QCOMPARE(rt::mountPointOf(QStringLiteral("relative")), QString());
    QVERIFY(!rt::mountPointOf(QDir::tempPath()).isEmpty());
}

QTEST_GUILESS_MAIN(RuntimeText)
#include "tst_RuntimeText.moc"
