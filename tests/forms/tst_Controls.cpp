#include "tst_Forms.h"

#include "forms/Controls.h"
#include "runtime/VbError.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

void TestForms::checkBoxValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<Qt::CheckState>("state");
    QTest::addColumn<bool>("tristate");
    QTest::newRow("clear") << 0 << Qt::Unchecked << false;
    QTest::newRow("set") << 1 << Qt::Checked << false;
    QTest::newRow("grey") << 2 << Qt::PartiallyChecked << true;
}

void TestForms::checkBoxValue()
{
    QFETCH(int, value);
    QFETCH(Qt::CheckState, state);
    QFETCH(bool, tristate);
    forms::CheckBox box(QStringLiteral("x"));
    box.setValue(2);  // from grey, so every row changes something
    box.setValue(value);
    QCOMPARE(box.Value(), value);
    QCOMPARE(box.checkState(), state);
    QCOMPARE(box.isTristate(), tristate);
}

void TestForms::checkBoxRejectsOtherValues()
{
    forms::CheckBox box(QStringLiteral("x"));
    box.setValue(1);
    try {
        box.setValue(3);
        QFAIL("a value outside 0 to 2 was taken");
    } catch (const rt::VbError& error) {
        QCOMPARE(error.number(), 380);
    }
    QCOMPARE(box.Value(), 1);
}

void TestForms::textBoxKeyDownSeesOldText()
{
    forms::TextBox box;
    box.setText(QStringLiteral("/tmp"));
    box.setCursorPosition(4);
    QStringList seen;
    QList<int> codes, shifts;
    QObject::connect(&box, &forms::TextBox::KeyDown, [&](int keyCode, int shift) {
        seen.append(box.text());
        codes.append(keyCode);
        shifts.append(shift);
    });
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Y, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Return);
    // The Shift key itself comes down first, with its own code.
    QCOMPARE(seen, (QStringList{"/tmp", "/tmpx", "/tmpx", "/tmpxy"}));
    QCOMPARE(codes, (QList<int>{88, 16, 89, 13}));
    QCOMPARE(shifts, (QList<int>{0, 1, 1, 0}));
    QCOMPARE(box.text(), QStringLiteral("/tmpxy"));
}

void TestForms::textBoxSelectAllSurvivesFocusClick()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new forms::TextBox;
    auto* second = new forms::TextBox;
    layout->addWidget(first);
    layout->addWidget(second);
    second->setText(QStringLiteral("report.txt"));
    int gotFocus = 0;
    QObject::connect(second, &forms::TextBox::GotFocus, [&] {
        ++gotFocus;
        second->setCursorPosition(0);
        second->selectAll();
    });
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(window.isActiveWindow());
    first->setFocus();

    QTest::mouseClick(second, Qt::LeftButton, {}, second->rect().center());
    QCOMPARE(gotFocus, 1);
    QVERIFY(second->hasFocus());
    QCOMPARE(second->selectedText(), QStringLiteral("report.txt"));

    // A later click in the focused box places the caret as usual.
    QTest::mouseClick(second, Qt::LeftButton, {}, second->rect().center());
    QVERIFY(!second->hasSelectedText());
}

void TestForms::pictureBoxClickOnlyInside()
{
    forms::PictureBox picture;
    picture.resize(40, 30);
    QSignalSpy clicks(&picture, &forms::PictureBox::Click);
    QTest::mouseClick(&picture, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&picture, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mousePress(&picture, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&picture, Qt::LeftButton, {}, QPoint(100, 100));
    QCOMPARE(clicks.count(), 1);
}
