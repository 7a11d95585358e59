#include "tst_Forms.h"

#include "Fixtures.h"
#include "forms/Controls.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

void TestForms::checkBoxValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("error");
    QTest::addColumn<Qt::CheckState>("state");
    QTest::newRow("clear") << 0 << 0 << Qt::Unchecked;
    QTest::newRow("set") << 1 << 0 << Qt::Checked;
    QTest::newRow("grey") << 2 << 0 << Qt::PartiallyChecked;
    QTest::newRow("3 refused, grey kept") << 3 << 380 << Qt::PartiallyChecked;
}

void TestForms::checkBoxValue()
{
    QFETCH(int, value);
    QFETCH(int, error);
    QFETCH(Qt::CheckState, state);
    forms::CheckBox box(QStringLiteral("x"));
    box.setValue(2);  // from grey: the refused value must not clear it
    QCOMPARE(errorNumberOf([&] { box.setValue(value); }), error);
    QCOMPARE(box.Value(), error ? 2 : value);
    QCOMPARE(box.checkState(), state);
    // A clear or set box does not cycle through grey when the user clicks it.
    QCOMPARE(box.isTristate(), state == Qt::PartiallyChecked);
}
