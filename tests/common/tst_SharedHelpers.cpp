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
        QVERIFY(boxes.boxes().isEmpty());
    }

    void tokenBelowOneShowsErrorAndLeavesToken()
    {
        MsgBoxRecorder boxes;
        QString token = QStringLiteral("unchanged");
        QCOMPARE(FncLng_GetToken(QStringLiteral("a/b"), QStringLiteral("/"), 0, token), 0);
        QCOMPARE(token, QStringLiteral("unchanged"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 16);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(QStringLiteral("VB Error")));
        QVERIFY(boxes.boxes()[0].prompt.startsWith(QStringLiteral("5 ")));
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

    void showMessagePassesStyleTitleAndPrompt()
    {
        MsgBoxRecorder boxes;
        QCOMPARE(FncInt_ShowMessage(64, QStringLiteral("p"), QString()), 1);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].style, 64);
        QCOMPARE(boxes.boxes()[0].title, std::optional<QString>(QString()));
    }
};

QTEST_GUILESS_MAIN(SharedHelpersTest)
#include "tst_SharedHelpers.moc"
