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

void TestForms::textBoxKeyDownSeesOldText()
{
    forms::TextBox box;
    box.setText(QStringLiteral("/tmp"));
    box.setCursorPosition(4);
    QStringList seen;  // text, key code, shift state at each KeyDown
    QObject::connect(&box, &forms::TextBox::KeyDown, [&](int keyCode, int shift) {
        seen.append(QStringLiteral("%1 %2 %3").arg(box.text()).arg(keyCode).arg(shift));
    });
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Y, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Return);
    // The Shift key itself comes down first, with its own code.
    QCOMPARE(seen, (QStringList{"/tmp 88 0", "/tmpx 16 1", "/tmpx 89 1", "/tmpxy 13 0"}));
    QCOMPARE(box.text(), QStringLiteral("/tmpxy"));
}

void TestForms::textBoxSelectAllSurvivesFocusClick()
{
    QWidget window;
    auto* first = new forms::TextBox(&window);
    auto* second = new forms::TextBox(&window);
    second->move(0, first->height());
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
    QVERIFY(second->hasFocus());
    QCOMPARE(gotFocus, 1);
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
