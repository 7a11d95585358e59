#include "EngineTestSupport.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace enginetest;

namespace {

enum class Setter {
    NewerDate,
    NewerDateTime,
    EqualsDate,
    EqualsDateTime,
    OlderDate,
    OlderDateTime
};

void apply(Cls_FileRename& job, Setter setter, const QString& date, const QString& time)
{
    switch (setter) {
    case Setter::NewerDate: job.setFilter_SetDateIsNewerThanFileDate(date); break;
    case Setter::NewerDateTime: job.setFilter_SetDateIsNewerThanFileDateTime(date, time); break;
    case Setter::EqualsDate: job.setFilter_SetDateEqualsFileDate(date); break;
    case Setter::EqualsDateTime: job.setFilter_SetDateEqualsFileDateTime(date, time); break;
    case Setter::OlderDate: job.setFilter_SetDateIsOlderThanFileDate(date); break;
    case Setter::OlderDateTime: job.setFilter_SetDateIsOlderThanFileDateTime(date, time); break;
    }
}

}  // namespace

Q_DECLARE_METATYPE(Setter)

class FiltersTest : public QObject {
    Q_OBJECT

private slots:
    // One threshold at a time: the text it is stored as, and which stamps pass.
    void dateThreshold_data()
    {
        QTest::addColumn<Setter>("setter");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDateTime>("stamp");
        QTest::addColumn<bool>("passes");

        const QString d = "20061231";
        const QString newerText = "2006/12/31 00:00:00";
        const QString lateText = "2006/12/31 23:59:59";
        QTest::newRow("newer, day before") << Setter::NewerDate << d << "" << newerText
                                           << local(2006, 12, 30, 23, 59, 59) << false;
        QTest::newRow("newer, midnight")
            << Setter::NewerDate << d << "" << newerText << local(2006, 12, 31, 0, 0, 0) << true;
        QTest::newRow("newer, empty time acts as date only")
            << Setter::NewerDateTime << d << "" << newerText << local(2006, 12, 30, 23, 59, 59)
            << false;
        QTest::newRow("newer, with time")
            << Setter::NewerDateTime << d << "123456"
            << "2006/12/31 12:34:56" << local(2006, 12, 31, 12, 34, 55) << false;
        QTest::newRow("newer, with time, same second")
            << Setter::NewerDateTime << d << "123456"
            << "2006/12/31 12:34:56" << local(2006, 12, 31, 12, 34, 56) << true;
        QTest::newRow("older, last second")
            << Setter::OlderDate << d << "" << lateText << local(2006, 12, 31, 23, 59, 59) << true;
        QTest::newRow("older, next day")
            << Setter::OlderDate << d << "" << lateText << local(2007, 1, 1, 0, 0, 0) << false;
        QTest::newRow("older, empty time is end of day")
            << Setter::OlderDateTime << d << "" << lateText << local(2006, 12, 31, 23, 59, 59)
            << true;
        QTest::newRow("equals, noon fails")
            << Setter::EqualsDate << d << "" << lateText << local(2006, 12, 31, 12, 0, 0) << false;
        QTest::newRow("equals, last second")
            << Setter::EqualsDate << d << "" << lateText << local(2006, 12, 31, 23, 59, 59) << true;
        QTest::newRow("equals, empty time is midnight")
            << Setter::EqualsDateTime << d << ""
            << "2006/12/31 " << local(2006, 12, 31, 0, 0, 0) << true;
        QTest::newRow("short digits fill from the right")
            << Setter::NewerDateTime << "1231"
            << "5"
            << "0000/12/31 00:00:05" << local(2006, 1, 1, 0, 0, 0) << false;  // year 0 is no date
        QTest::newRow("surplus digits make no date")
            << Setter::NewerDate << "120061231"
            << ""
            << "12006/12/31 00:00:00" << local(2006, 12, 31, 0, 0, 0) << false;
        QTest::newRow("punctuated date kept")
            << Setter::NewerDate << "2006/12/31"
            << ""
            << "2006/12/31 00:00:00" << local(2006, 12, 31, 0, 0, 0) << true;
        QTest::newRow("invalid month")
            << Setter::OlderDate << "20061331"
            << ""
            << "2006/13/31 23:59:59" << local(2006, 1, 1, 0, 0, 0) << false;
    }
    void dateThreshold()
    {
        QFETCH(Setter, setter);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, stored);
        QFETCH(QDateTime, stamp);
        QFETCH(bool, passes);
        QTemporaryDir dir;
        const QString path = dir.path() + "/f";
        makeFile(raw(path));
        setStamp(raw(path), stamp);
        Cls_FileRename job;
        apply(job, setter, date, time);
        Cls_FileRenameTestAccess access(job);
        const QStringList texts{access.newerText(), access.equalsText(), access.olderText()};
        const int which = setter <= Setter::NewerDateTime    ? 0
                          : setter <= Setter::EqualsDateTime ? 1
                                                             : 2;
        QCOMPARE(texts[which], stored);
        QCOMPARE((QList<bool>{access.newerOn(), access.equalsOn(), access.olderOn()}),
                 (QList<bool>{which == 0, which == 1, which == 2}));
        QCOMPARE(access.isDateMatch(path), passes);
    }

    void thresholdsCombineAndSwitchOff()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/f";
        makeFile(raw(path));
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        job.setFilter_SetDateIsNewerThanFileDate("20060101");
        job.setFilter_SetDateIsOlderThanFileDate("20061231");
        const QList<QPair<QDateTime, bool>> cases{{local(2005, 12, 31, 23, 59, 59), false},
                                                  {local(2006, 1, 1, 0, 0, 0), true},
                                                  {local(2006, 7, 15, 12, 0, 0), true},
                                                  {local(2006, 12, 31, 23, 59, 59), true},
                                                  {local(2007, 1, 1, 0, 0, 0), false}};
        for (const auto& [stamp, passes] : cases) {
            setStamp(raw(path), stamp);
            QCOMPARE(access.isDateMatch(path), passes);
        }
        job.setFilter_SetDateIsOlderThanFileDate("");
        QVERIFY(!access.olderOn());
        QCOMPARE(access.olderText(), u"2006/12/31 23:59:59"_qs);
        QVERIFY(access.isDateMatch(path));
    }

    // No threshold on: a readable stamp admits, an unreadable one never does.
    void unreadableStampIsNoCandidate()
    {
        QTemporaryDir dir;
        makeFile(raw(dir.path() + "/f"));
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        QVERIFY(access.isTargetFile(dir.path(), "f"));
        QVERIFY(!access.isTargetFile(dir.path(), "missing"));
    }

    // A stamp is written with a four-digit year, or is no date and time.
    void formatStamp()
    {
        QCOMPARE(Cls_FileRenameTestAccess::formatStamp(local(2006, 1, 2, 3, 4, 5)),
                 u"2006/01/02 03:04:05"_qs);
        try {
            Cls_FileRenameTestAccess::formatStamp(local(10001, 1, 1, 0, 0, 0));
            QFAIL("a five-digit year was written");
        } catch (const rt::VbError& error) {
            QCOMPARE(error.number(), 13);
        }
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");  // empty: not a date and time
        QTest::newRow("already formatted") << "2006/12/31 12:34:56"
                                           << "2006/12/31 12:34:56";
        QTest::newRow("date alone") << "2006/12/31"
                                    << "2006/12/31 00:00:00";
        QTest::newRow("date and trailing blank") << "2006/12/31 "
                                                 << "2006/12/31 00:00:00";
        QTest::newRow("short fields") << "2006/1/5 1:2:3"
                                      << "2006/01/05 01:02:03";
        QTest::newRow("five-digit year") << "12006/12/31 00:00:00"
                                         << "";
        QTest::newRow("no such day") << "2006/02/30 00:00:00"
                                     << "";
        QTest::newRow("hour 24") << "2006/12/31 24:00:00"
                                 << "";
        QTest::newRow("words") << "yesterday"
                               << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void formatDateTime()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        try {
            const QString got = Cls_FileRenameTestAccess::formatDateTime(input);
            QCOMPARE(got, output);
        } catch (const rt::VbError& error) {
            QVERIFY2(output.isEmpty(), qPrintable(input));
            QCOMPARE(error.number(), 13);
        }
    }

    void extensionList_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("candidate");
        QTest::newRow("empty list") << QStringList{} << "a.txt" << true;
        QTest::newRow("exact") << QStringList{".txt"} << "a.txt" << false;
        QTest::newRow("other case") << QStringList{".txt"} << "B.TXT" << false;
        QTest::newRow("not at the end") << QStringList{".txt"} << "a.txt.bak" << true;
        QTest::newRow("asterisk stands for nothing") << QStringList{"*.txt"} << "B.TXT" << false;
        QTest::newRow("no dot needed") << QStringList{"txt"} << "atxt" << false;
        QTest::newRow("asterisks only") << QStringList{"**"} << "anything" << false;
        QTest::newRow("second entry") << QStringList{".jpg", ".png"} << "x.PNG" << false;
        QTest::newRow("longer than the name") << QStringList{"long.txt"} << "g.txt" << true;
    }
    void extensionList()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, name);
        QFETCH(bool, candidate);
        Cls_FileRename job;
        for (const QString& entry : entries)
            job.setFilter_AddExtension(entry);
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.isExtensionNotListed("/some/folder/" + name), candidate);
    }

    void filterListsKeepFirstSpelling()
    {
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        job.MsgDisplayFlg_Prop(true);
        job.setFilter_AddExtension(".TXT");
        job.setFilter_AddExtension(".txt");
        job.setFilter_AddExtension("");
        job.setFilter_AddFolder("Bak");
        job.setFilter_AddFolder("BAK");
        Cls_FileRenameTestAccess access(job);
        QCOMPARE(access.extensions(), QStringList{".TXT"});
        QCOMPARE(access.folders(), QStringList{"Bak"});
        QVERIFY(!access.isFolderNotListed("/x/bAK"));
        QVERIFY(access.isFolderNotListed("/x/bak2"));
        QVERIFY(access.isFolderNotListed("/x/bak/"));  // last name is empty
        QVERIFY(boxes.boxes().isEmpty());
    }

    void joinPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("blanks around the folder") << " /a "
                                                  << "b.txt"
                                                  << "/a/b.txt";
        QTest::newRow("trailing separator") << "/a/"
                                            << "b"
                                            << "/a/b";
        QTest::newRow("root") << "/"
                              << "b"
                              << "/b";
        QTest::newRow("empty folder") << ""
                                      << "b"
                                      << "b";
        QTest::newRow("blank folder") << "   "
                                      << "b"
                                      << "b";
        QTest::newRow("name as received") << "/a"
                                          << " b "
                                          << "/a/ b ";
    }
    void joinPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(Cls_FileRenameTestAccess::joinPath(folder, name), joined);
    }

    void lastPathName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("last");
        QTest::newRow("nested") << "/a/b"
                                << "b";
        QTest::newRow("trailing separator") << "/a/"
                                            << "";
        QTest::newRow("bare") << "name"
                              << "name";
        QTest::newRow("root") << "/"
                              << "";
    }
    void lastPathName()
    {
        QFETCH(QString, path);
        QFETCH(QString, last);
        QCOMPARE(Cls_FileRenameTestAccess::lastPathName(path), last);
    }

    void enumSubFolders()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFolder(base + "/empty");
        makeFolder(base + "/.hidden");
        makeFile(base + "/file");
        MsgBoxRecorder boxes;
        Cls_FileRename job;
        Cls_FileRenameTestAccess access(job);
        QStringList subs = access.enumSubFolders(dir.path());
        subs.sort();
        QCOMPARE(subs, (QStringList{dir.path() + "/.hidden", dir.path() + "/empty"}));
        QVERIFY(access.enumSubFolders(dir.path() + "/empty").isEmpty());
        QVERIFY(access.enumSubFolders(dir.path() + "/missing").isEmpty());
        QVERIFY(boxes.boxes().isEmpty());
        job.MsgDisplayFlg_Prop(true);
        QVERIFY(access.enumSubFolders(dir.path() + "/missing").isEmpty());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(u"VB Error"_qs));
    }

    // The extension list and the date filter decide what a pass renames; a
    // rejected entry still counts as examined.
    void filtersInAPass()
    {
        QTemporaryDir dir;
        const QByteArray base = raw(dir.path());
        makeFile(base + "/old.jpeg");
        makeFile(base + "/new.jpeg");
        makeFile(base + "/skip.JPEG");
        setStamp(base + "/old.jpeg", local(2005, 6, 1, 12, 0, 0));
        setStamp(base + "/new.jpeg", local(2007, 6, 1, 12, 0, 0));
        setStamp(base + "/skip.JPEG", local(2007, 6, 1, 12, 0, 0));
        Cls_FileRename job;
        configure(job, dir.path(), true, "", "x_");
        job.setFilter_SetDateIsNewerThanFileDate("20060101");
        job.setFilter_AddExtension("*.jpeg");
        job.setFilter_AddExtension("*.gif");
        QVERIFY(job.PFncBln_FileRename());
        QCOMPARE(names(base), (QByteArrayList{"new.jpeg", "old.jpeg", "skip.JPEG"}));

        Cls_FileRename narrowed;
        configure(narrowed, dir.path(), true, "", "x_");
        narrowed.setFilter_SetDateIsNewerThanFileDate("20060101");
        narrowed.setFilter_AddExtension(".JPEG.gif");
        QVERIFY(narrowed.PFncBln_FileRename());
        QCOMPARE(names(base), (QByteArrayList{"old.jpeg", "x_new.jpeg", "x_skip.JPEG"}));
        Cls_FileRenameTestAccess access(narrowed);
        QCOMPARE(access.allFileCount(), 3);
        QCOMPARE(access.renameCount(), 2);
    }
};

int runFiltersTests(int argc, char** argv)
{
    FiltersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Filters.moc"
