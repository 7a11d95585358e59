#include "common/mdl_All.h"
#include "common/mdl_ErrorFunction.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QtTest>

class SharedHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void tokenWalk_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("token");
        QTest::addColumn<int>("next");
        QTest::newRow("first") << "/a/bc" << 1 << "" << 2;
        QTest::newRow("middle") << "/a/bc" << 2 << "a" << 4;
        QTest::newRow("last") << "/a/bc" << 4 << "bc" << 1;
        QTest::newRow("trailing separator") << "/a/" << 4 << "" << 1;
        QTest::newRow("no separator") << "name" << 1 << "name" << 1;
        QTest::newRow("past the end") << "ab" << 9 << "" << 1;
        // Below one: an error box, and the token is left as it was.
        QTest::newRow("below one") << "a/b" << 0 << "unchanged" << 0;
    }
    void tokenWalk()
    {
        QFETCH(QString, source);
        QFETCH(int, start);
        QFETCH(QString, token);
        QFETCH(int, next);
        MsgBoxRecorder boxes;
        QString got = QStringLiteral("unchanged");
        QCOMPARE(FncLng_GetToken(source, QStringLiteral("/"), start, got), next);
        QCOMPARE(got, token);
        QCOMPARE(boxes.boxes().size(), start < 1 ? 1 : 0);
        if (start < 1) {
            QCOMPARE(boxes.boxes()[0].style, 16);
            QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(QStringLiteral("VB Error")));
            QVERIFY(boxes.boxes()[0].prompt.startsWith(QStringLiteral("5 ")));
        }
    }

    void vbErrorBoxLayout()
    {
        MsgBoxRecorder boxes;
        try {
            throw rt::VbError(5, QStringLiteral("説明"), QStringLiteral("源"));
        } catch (...) {
            Sub_ShowVbError();
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("5 説明\r源"));
        QCOMPARE(boxes.boxes()[0].style, 16);
    }
};

QTEST_GUILESS_MAIN(SharedHelpersTest)
#include "tst_SharedHelpers.moc"
