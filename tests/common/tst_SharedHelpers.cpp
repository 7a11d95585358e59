#include "common/mdl_All.h"
#include "common/mdl_ErrorFunction.h"
#include "support/MsgBoxRecorder.h"

#include <QtTest>

#include <tuple>

class SharedHelpersTest : public QObject {
    Q_OBJECT

private slots:
    // Source, start, token, next start. Below one: an error box, and the
    // token is left as it was.
    void tokenWalk()
    {
        const std::tuple<QString, int, QString, int> rows[] = {
            {"/a/bc", 1, "", 2},        {"/a/bc", 2, "a", 4},   {"/a/bc", 4, "bc", 1},
            {"/a/", 4, "", 1},          {"name", 1, "name", 1}, {"ab", 9, "", 1},
            {"a/b", 0, "unchanged", 0},
        };
        for (const auto& [source, start, token, next] : rows) {
            MsgBoxRecorder boxes;
            QString got = QStringLiteral("unchanged");
            QCOMPARE(FncLng_GetToken(source, QStringLiteral("/"), start, got), next);
            QCOMPARE(got, token);
            QCOMPARE(boxes.shown().size(), start < 1 ? 1 : 0);
            QVERIFY(start >= 1 || boxes.shown()[0].startsWith(u"16|VB Error|5 "_qs));
        }
    }
};

QTEST_GUILESS_MAIN(SharedHelpersTest)
#include "tst_SharedHelpers.moc"
