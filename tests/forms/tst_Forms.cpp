#include "tst_Forms.h"

#include <QTest>

QTEST_MAIN(TestForms)
