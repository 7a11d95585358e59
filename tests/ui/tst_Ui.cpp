#include "tst_Ui.h"

#include <QTest>

QTEST_MAIN(TestUi)
