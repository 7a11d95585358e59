#include "runtime/Dir.h"
#include "runtime/FileDateTime.h"
#include "runtime/FileRename.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The disk is set up and inspected with raw POSIX calls on bytes, so that
// the code under test is not checked with itself.
QByteArray join(const QByteArray& folder, const QByteArray& name)
{
    return folder + char(rt::kPathSeparator) + name;
}

void writeRaw(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

QByteArray readRaw(const QByteArray& path)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return "?";
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    return content;
}

// Empties a folder with raw calls: Qt cannot remove names that are not UTF-8.
void removeContents(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = join(folder, name);
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            ::chmod(path.constData(), 0755);
            removeContents(path);
            ::rmdir(path.constData());
        } else {
            ::unlink(path.constData());
        }
    }
    ::closedir(dir);
}

// Each entry of a tree: its kind and its content (or link target).
std::map<QByteArray, QByteArray> snapshot(const QByteArray& folder, const QByteArray& prefix = {})
{
    std::map<QByteArray, QByteArray> result;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return result;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = join(folder, name);
        struct stat info {};
        ::lstat(path.constData(), &info);
        const QByteArray key = prefix + name;
        if (S_ISDIR(info.st_mode)) {
            result[key] = "dir";
            result.merge(snapshot(path, key + '/'));
        } else if (S_ISLNK(info.st_mode)) {
            char target[4096];
            const ssize_t length = ::readlink(path.constData(), target, sizeof target);
            result[key] = "link:" + QByteArray(target, length < 0 ? 0 : length);
        } else {
            result[key] =
                "file:" + readRaw(path) + ":ino" + QByteArray::number(qulonglong(info.st_ino));
        }
    }
    ::closedir(dir);
    return result;
}

bool existsRaw(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

struct RenameMethod {
    const char* name;
    void (*rename)(const QString&, const QString&);
};

// Every rename case runs with RENAME_NOREPLACE and with the fallback used
// where a volume refuses that flag.
const RenameMethod kRenameMethods[] = {{"flag", rt::Name},
                                       {"fallback", rt::NameWithoutNoReplaceFlag}};

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const rt::VbError& error) {
        return error.number();
    }
    return 0;
}

QStringList listAll(const QString& pattern, int attributes)
{
    QStringList names;
    for (QString name = rt::Dir(pattern, attributes); !name.isEmpty(); name = rt::Dir())
        names.append(name);
    names.sort();
    return names;
}

}  // namespace

class RuntimeFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    QString folder() const { return m_temp.path(); }
    QByteArray folderBytes() const { return rt::encodeName(m_temp.path()); }
    QString at(const QString& name) const { return folder() + rt::kPathSeparatorText + name; }
    void makeAttributeFixture();

private slots:
    // Must stay first: no listing may have been started in this process.
    void dirContinuationBeforeAnyListing();

    void init();
    void cleanup();

    void dirAttributes_data();
    void dirAttributes();
    void dirSingleEntryAgreesWithListing_data();
    void dirSingleEntryAgreesWithListing();
    void dirPatterns_data();
    void dirPatterns();
    void dirFolderPartIsLiteral();
    void dirCurrentFolderAndTrailingSeparator();
    void dirContinuationAndOneState();
    void dirUnreadableFolderThrows();
    void nonUtf8NamesListAndRenameByteExact();

    void nameRefuses_data();
    void nameRefuses();
    void nameRenames_data();
    void nameRenames();

    void fileDateTime();
};

void RuntimeFiles::dirContinuationBeforeAnyListing()
{
    QCOMPARE(errorOf([] { rt::Dir(); }), int(rt::kInvalidCall));
}

void RuntimeFiles::init()
{
    m_temp.~QTemporaryDir();
    new (&m_temp) QTemporaryDir();
    QVERIFY(m_temp.isValid());
}

void RuntimeFiles::cleanup()
{
    removeContents(folderBytes());
}

void RuntimeFiles::makeAttributeFixture()
{
    const QByteArray f = folderBytes();
    writeRaw(join(f, "file.txt"), "x");
    writeRaw(join(f, "readonly.txt"), "x");
    ::chmod(join(f, "readonly.txt").constData(), 0444);
    writeRaw(join(f, ".hidden"), "x");
    QCOMPARE(::mkdir(join(f, ".hiddendir").constData(), 0755), 0);
    QCOMPARE(::mkdir(join(f, "sub").constData(), 0755), 0);
    QCOMPARE(::mkfifo(join(f, "pipe").constData(), 0644), 0);
    QCOMPARE(::symlink("file.txt", join(f, "tofile").constData()), 0);
    QCOMPARE(::symlink("sub", join(f, "tofolder").constData()), 0);
    QCOMPARE(::symlink("nowhere", join(f, "dangling").constData()), 0);
}

void RuntimeFiles::dirAttributes_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("normal") << rt::kDirNormal << QStringList{"file.txt", "readonly.txt", "tofile"};
    QTest::newRow("with folders") << rt::kDirDirectory
                                  << QStringList{"file.txt", "readonly.txt", "sub", "tofile"};
}

void RuntimeFiles::dirAttributes()
{
    QFETCH(int, attributes);
    QFETCH(QStringList, expected);
    makeAttributeFixture();
    QCOMPARE(listAll(at(QStringLiteral("*")), attributes), expected);
}

void RuntimeFiles::dirSingleEntryAgreesWithListing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("normal");
    QTest::addColumn<bool>("withFolders");
    QTest::newRow("file") << "file.txt" << true << true;
    QTest::newRow("read-only") << "readonly.txt" << true << true;
    QTest::newRow("hidden file") << ".hidden" << false << false;
    QTest::newRow("hidden folder") << ".hiddendir" << false << false;
    QTest::newRow("folder") << "sub" << false << true;
    QTest::newRow("fifo") << "pipe" << false << false;
    QTest::newRow("link to file") << "tofile" << true << true;
    QTest::newRow("link to folder") << "tofolder" << false << false;
    QTest::newRow("dangling link") << "dangling" << false << false;
    QTest::newRow("missing") << "missing.txt" << false << false;
    QTest::newRow("dot") << "." << false << false;
    QTest::newRow("dot dot") << ".." << false << false;
}

// A name without wildcards is looked up alone; it must admit exactly what
// the full listing admits.
void RuntimeFiles::dirSingleEntryAgreesWithListing()
{
    QFETCH(QString, name);
    QFETCH(bool, normal);
    QFETCH(bool, withFolders);
    makeAttributeFixture();
    QCOMPARE(rt::Dir(at(name), rt::kDirNormal), normal ? name : QString());
    QCOMPARE(rt::Dir(), QString());
    QCOMPARE(rt::Dir(at(name), rt::kDirDirectory), withFolders ? name : QString());
    QCOMPARE(rt::Dir(), QString());
}

void RuntimeFiles::dirPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("star") << "*" << QStringList{"ab.txt", "abc.txt", "b.TXT", "テスト.txt"};
    QTest::newRow("extension") << "*.txt" << QStringList{"ab.txt", "abc.txt", "テスト.txt"};
    QTest::newRow("case-sensitive") << "*.TXT" << QStringList{"b.TXT"};
    QTest::newRow("question") << "a?.txt" << QStringList{"ab.txt"};
    QTest::newRow("question per code unit") << "???.txt" << QStringList{"abc.txt", "テスト.txt"};
    QTest::newRow("inner star") << "a*c*" << QStringList{"abc.txt"};
    QTest::newRow("stars") << "**t" << QStringList{"ab.txt", "abc.txt", "テスト.txt"};
    QTest::newRow("no match") << "z*" << QStringList{};
}

void RuntimeFiles::dirPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    for (const char* name : {"ab.txt", "abc.txt", "b.TXT", "テスト.txt"})
        writeRaw(join(folderBytes(), name), "x");
    QCOMPARE(listAll(at(pattern), rt::kDirNormal), expected);
}

void RuntimeFiles::dirFolderPartIsLiteral()
{
    const QByteArray f = folderBytes();
    QCOMPARE(::mkdir(join(f, "a*b?").constData(), 0755), 0);
    QCOMPARE(::mkdir(join(f, "aXbY").constData(), 0755), 0);
    writeRaw(join(f, "a*b?/in.txt"), "x");
    writeRaw(join(f, "aXbY/other.txt"), "x");
    QCOMPARE(listAll(at(QStringLiteral("a*b?/*")), rt::kDirNormal), QStringList{"in.txt"});
    QCOMPARE(rt::Dir(at(QStringLiteral("a*b?/in.txt"))), QStringLiteral("in.txt"));
    QCOMPARE(rt::Dir(at(QStringLiteral("a*b?/other.txt"))), QString());
    QCOMPARE(rt::Dir(at(QStringLiteral("missing/*"))), QString());
    QCOMPARE(rt::Dir(), QString());
}

void RuntimeFiles::dirCurrentFolderAndTrailingSeparator()
{
    writeRaw(join(folderBytes(), "only.txt"), "x");
    QCOMPARE(listAll(folder() + rt::kPathSeparatorText, rt::kDirNormal), QStringList{"only.txt"});
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder()));
    const QStringList names = listAll(QStringLiteral("*.txt"), rt::kDirNormal);
    const QString single = rt::Dir(QStringLiteral("only.txt"));
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(names, QStringList{"only.txt"});
    QCOMPARE(single, QStringLiteral("only.txt"));
}

void RuntimeFiles::dirContinuationAndOneState()
{
    const QByteArray f = folderBytes();
    QCOMPARE(::mkdir(join(f, "A").constData(), 0755), 0);
    QCOMPARE(::mkdir(join(f, "B").constData(), 0755), 0);
    for (const char* name : {"A/a1", "A/a2", "A/a3", "B/b1", "B/b2"})
        writeRaw(join(f, name), "x");

    QVERIFY(rt::Dir(at(QStringLiteral("A/*"))).startsWith(u'a'));
    // A new listing abandons the first one; continuation follows the new one.
    QStringList fromB{rt::Dir(at(QStringLiteral("B/*")))};
    for (QString name = rt::Dir(); !name.isEmpty(); name = rt::Dir())
        fromB.append(name);
    fromB.sort();
    QCOMPARE(fromB, (QStringList{"b1", "b2"}));
    QCOMPARE(rt::Dir(), QString());  // ended: stays empty
    QCOMPARE(rt::Dir(), QString());
}

void RuntimeFiles::dirUnreadableFolderThrows()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    const QByteArray locked = join(folderBytes(), "locked");
    QCOMPARE(::mkdir(locked.constData(), 0755), 0);
    writeRaw(join(locked, "in.txt"), "x");
    QCOMPARE(::chmod(locked.constData(), 0), 0);
    QCOMPARE(errorOf([&] { rt::Dir(at(QStringLiteral("locked/*"))); }), int(rt::kPermissionDenied));
    QCOMPARE(errorOf([&] { rt::Dir(at(QStringLiteral("locked/in.txt"))); }),
             int(rt::kPermissionDenied));
}

void RuntimeFiles::nonUtf8NamesListAndRenameByteExact()
{
    const QByteArray f = folderBytes();
    const QList<QByteArray> rawNames = {"caf\xe9.txt", "\xff\xfe"};
    for (const QByteArray& raw : rawNames)
        writeRaw(join(f, raw), "content of " + raw);

    QStringList listed;
    for (QString name = rt::Dir(at(QStringLiteral("*"))); !name.isEmpty(); name = rt::Dir())
        listed.append(name);
    QCOMPARE(listed.size(), 2);
    for (const QString& name : listed) {
        const QByteArray raw = rt::encodeName(name);
        QVERIFY(rawNames.contains(raw));
        QVERIFY(!name.contains(QChar(0xFFFD)));

        rt::Name(at(name), at(QStringLiteral("plain")));
        QVERIFY(!existsRaw(join(f, raw)));
        QVERIFY(existsRaw(join(f, "plain")));
        rt::Name(at(QStringLiteral("plain")), at(name));
        QVERIFY(existsRaw(join(f, raw)));
        QVERIFY(!existsRaw(join(f, "plain")));
    }
    const auto after = snapshot(f);
    QCOMPARE(after.size(), size_t(2));
    for (const QByteArray& raw : rawNames)
        QVERIFY(after.at(raw).startsWith("file:content of " + raw));
}

void RuntimeFiles::nameRefuses_data()
{
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<int>("error");
    QTest::newRow("onto a file") << "a.txt"
                                 << "b.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("folder onto empty folder") << "full"
                                              << "empty" << int(rt::kFileAlreadyExists);
    QTest::newRow("file onto folder") << "a.txt"
                                      << "empty" << int(rt::kFileAlreadyExists);
    QTest::newRow("onto itself") << "a.txt"
                                 << "a.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("onto itself by another path") << "a.txt"
                                                 << "./a.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("folder onto itself") << "full"
                                        << "full" << int(rt::kFileAlreadyExists);
    QTest::newRow("hard link pair") << "a.txt"
                                    << "twin.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("hard links differing in case") << "h.txt"
                                                  << "H.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("link onto its target") << "link"
                                          << "a.txt" << int(rt::kFileAlreadyExists);
    QTest::newRow("name too long") << "a.txt" << QString(300, u'x') << int(rt::kBadFileName);
    QTest::newRow("missing folder") << "a.txt"
                                    << "nodir/a.txt" << int(rt::kPathNotFound);
    QTest::newRow("folder part is a file") << "a.txt"
                                           << "b.txt/a.txt" << int(rt::kPathNotFound);
    QTest::newRow("missing source") << "none.txt"
                                    << "c.txt" << int(rt::kFileNotFound);
    QTest::newRow("missing source and folder") << "none.txt"
                                               << "nodir/c" << int(rt::kFileNotFound);
    QTest::newRow("lone surrogate") << "a.txt" << QString(QChar(0xD800)) << int(rt::kBadFileName);
    QTest::newRow("embedded NUL") << "a.txt" << QString(QChar(0)) + u'x' << int(rt::kBadFileName);
    QTest::newRow("empty new path") << "a.txt"
                                    << "" << int(rt::kFileAlreadyExists);
}

void RuntimeFiles::nameRefuses()
{
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(int, error);
    for (const RenameMethod& method : kRenameMethods) {
        const QByteArray base = join(folderBytes(), method.name);
        QCOMPARE(::mkdir(base.constData(), 0755), 0);
        writeRaw(join(base, "a.txt"), "alpha");
        writeRaw(join(base, "b.txt"), "beta");
        writeRaw(join(base, "h.txt"), "h");
        QCOMPARE(::link(join(base, "a.txt").constData(), join(base, "twin.txt").constData()), 0);
        QCOMPARE(::link(join(base, "h.txt").constData(), join(base, "H.txt").constData()), 0);
        QCOMPARE(::mkdir(join(base, "full").constData(), 0755), 0);
        writeRaw(join(base, "full/inner.txt"), "inner");
        QCOMPARE(::mkdir(join(base, "empty").constData(), 0755), 0);
        QCOMPARE(::symlink("a.txt", join(base, "link").constData()), 0);
        const auto before = snapshot(base);

        // An empty new name joins to the folder itself, which exists.
        const QString baseText = rt::decodeName(base) + rt::kPathSeparatorText;
        int raised = 0;
        try {
            method.rename(baseText + oldName, baseText + newName);
        } catch (const rt::VbError& e) {
            raised = e.number();
            QCOMPARE(e.source(), QStringLiteral("Name"));
        }
        QVERIFY2(raised == error, method.name);
        QVERIFY2(snapshot(base) == before, method.name);
    }
}

void RuntimeFiles::nameRenames_data()
{
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::newRow("file") << "a.txt"
                          << "c.txt";
    QTest::newRow("case only") << "a.txt"
                               << "A.txt";
    QTest::newRow("into a subfolder") << "a.txt"
                                      << "full/a.txt";
    QTest::newRow("folder") << "full"
                            << "moved";
    QTest::newRow("link, not its target") << "link"
                                          << "link2";
    QTest::newRow("japanese") << "a.txt"
                              << "テスト１.txt";
}

void RuntimeFiles::nameRenames()
{
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    for (const RenameMethod& method : kRenameMethods) {
        const QByteArray base = join(folderBytes(), method.name);
        QCOMPARE(::mkdir(base.constData(), 0755), 0);
        writeRaw(join(base, "a.txt"), "alpha");
        QCOMPARE(::mkdir(join(base, "full").constData(), 0755), 0);
        writeRaw(join(base, "full/inner.txt"), "inner");
        QCOMPARE(::symlink("a.txt", join(base, "link").constData()), 0);
        auto expected = snapshot(base);

        const QString baseText = rt::decodeName(base) + rt::kPathSeparatorText;
        method.rename(baseText + oldName, baseText + newName);

        // The entry, and everything below it, now stands under the new name.
        const QByteArray oldKey = oldName.toUtf8();
        const QByteArray newKey = newName.toUtf8();
        std::map<QByteArray, QByteArray> moved;
        for (auto it = expected.begin(); it != expected.end();) {
            if (it->first == oldKey || it->first.startsWith(oldKey + '/')) {
                moved[newKey + it->first.mid(oldKey.size())] = it->second;
                it = expected.erase(it);
            } else {
                ++it;
            }
        }
        expected.merge(moved);
        QVERIFY2(snapshot(base) == expected, method.name);
    }
}

void RuntimeFiles::fileDateTime()
{
    const QByteArray f = folderBytes();
    writeRaw(join(f, "target.txt"), "x");
    QCOMPARE(::symlink("target.txt", join(f, "link").constData()), 0);
    QCOMPARE(::symlink("nowhere", join(f, "dangling").constData()), 0);
    QCOMPARE(::mkdir(join(f, "sub").constData(), 0755), 0);

    const QDateTime targetTime(QDate(2006, 12, 31), QTime(23, 59, 59));
    const QDateTime linkTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    const QDateTime folderTime(QDate(2010, 1, 1), QTime(0, 0, 0));
    auto setTime = [&](const char* name, const QDateTime& time, int flags) {
        const timespec times[2] = {{time.toSecsSinceEpoch(), 700000000},
                                   {time.toSecsSinceEpoch(), 700000000}};
        QCOMPARE(::utimensat(AT_FDCWD, join(f, name).constData(), times, flags), 0);
    };
    setTime("target.txt", targetTime, 0);
    setTime("link", linkTime, AT_SYMLINK_NOFOLLOW);
    setTime("dangling", linkTime, AT_SYMLINK_NOFOLLOW);
    setTime("sub", folderTime, 0);

    const QDateTime stamp = rt::FileDateTime(at(QStringLiteral("target.txt")));
    QCOMPARE(stamp, targetTime);
    QCOMPARE(stamp.time().msec(), 0);
    QCOMPARE(stamp.timeSpec(), Qt::LocalTime);
    QCOMPARE(stamp.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")),
             QStringLiteral("2006/12/31 23:59:59"));
    QCOMPARE(rt::FileDateTime(at(QStringLiteral("link"))), targetTime);
    QCOMPARE(rt::FileDateTime(at(QStringLiteral("dangling"))), linkTime);
    QCOMPARE(rt::FileDateTime(at(QStringLiteral("sub"))), folderTime);
    QCOMPARE(errorOf([&] { rt::FileDateTime(at(QStringLiteral("missing"))); }),
             int(rt::kFileNotFound));
}

QTEST_GUILESS_MAIN(RuntimeFiles)
#include "tst_RuntimeFiles.moc"
