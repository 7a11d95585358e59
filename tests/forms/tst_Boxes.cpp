#include "tst_Forms.h"

#include "forms/Interaction.h"
#include "forms/MessageBox.h"
#include "runtime/MsgBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

void TestForms::messageBoxStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("0 no icon") << 0 << QMessageBox::NoIcon;
    QTest::newRow("16 critical") << 16 << QMessageBox::Critical;
    QTest::newRow("48 warning") << 48 << QMessageBox::Warning;
    QTest::newRow("64 information") << 64 << QMessageBox::Information;
}

void TestForms::messageBoxStyles()
{
    QFETCH(int, style);
    QFETCH(QMessageBox::Icon, icon);
    QMessageBox box;
    forms::configureMessageBox(box, style, QStringLiteral("x"), std::nullopt);
    QCOMPARE(box.icon(), icon);
    QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestForms::messageBoxTitleAndText_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<std::optional<QString>>("title");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QString>("shownTitle");

    QTest::newRow("no title") << QStringLiteral("なんか入れてください。ヽ(´ー`)ノ")
                              << std::optional<QString>()
                              << QStringLiteral("なんか入れてください。ヽ(´ー`)ノ")
                              << QStringLiteral("Nemirou");
    QTest::newRow("empty title") << QStringLiteral("a") << std::optional<QString>(QString())
                                 << QStringLiteral("a") << QString();
    QTest::newRow("CR LF") << QStringLiteral("指定なしはいけません。\r\n何かしら指定してください。")
                           << std::optional<QString>(QStringLiteral("エラー"))
                           << QStringLiteral("指定なしはいけません。\n何かしら指定してください。")
                           << QStringLiteral("エラー");
    QTest::newRow("lone CR, markup kept as text")
        << QStringLiteral("5 <b>x</b>\rDir") << std::optional<QString>(QStringLiteral("VB Error"))
        << QStringLiteral("5 <b>x</b>\nDir") << QStringLiteral("VB Error");
}

void TestForms::messageBoxTitleAndText()
{
    QFETCH(QString, prompt);
    QFETCH(std::optional<QString>, title);
    QFETCH(QString, shownText);
    QFETCH(QString, shownTitle);
    QMessageBox box;
    forms::configureMessageBox(box, 0, prompt, title);
    QCOMPARE(box.text(), shownText);
    QCOMPARE(box.windowTitle(), shownTitle);
    QCOMPARE(box.textFormat(), Qt::PlainText);
}

void TestForms::installedMessageBoxShowsAndReturnsOk()
{
    forms::installMessageBox();
    QString shownText;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    // Closes the box from inside its own modal loop.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shownText = box->text();
        shownIcon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    const int answer = rt::MsgBox(QStringLiteral("失敗しました。\r\n"), rt::kVbExclamation,
                                  QStringLiteral("失敗の合図"));
    rt::setMsgBoxHandler({});
    QCOMPARE(answer, rt::kVbOk);
    QCOMPARE(shownText, QStringLiteral("失敗しました。\n"));
    QCOMPARE(shownIcon, QMessageBox::Warning);
}

void TestForms::mousePointer()
{
    forms::setMousePointer(forms::kPointerHourglass);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QCOMPARE(forms::mousePointer(), forms::kPointerHourglass);
    // Busy twice, then one default: no override may be left behind.
    forms::setMousePointer(forms::kPointerHourglass);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    forms::setMousePointer(forms::kPointerDefault);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
}

void TestForms::clipboard()
{
    forms::Clipboard::Clear();
    forms::Clipboard::SetText(QStringLiteral("/tmp/a.txt\r\n/tmp/b.txt\r\n"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/tmp/a.txt\r\n/tmp/b.txt\r\n"));
    forms::Clipboard::Clear();
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
}
