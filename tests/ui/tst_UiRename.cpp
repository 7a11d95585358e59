// The rename commands, observed on disk, in the boxes and on the clipboard;
// the undo window of the newest run.
#include "tst_Ui.h"

#include "forms/Interaction.h"
#include "ui/UndoStepModel.h"
#include "ui/frm_Undo.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

// One press of a frame's button: "head" or "tail", the two boxes, the check
// boxes set (S IsSubFolder, D IsDir, W 全置換, N IsNarrow, A IsAdd, O IsDo;
// a/o IsAdd/IsDo grey; L the first folder in the folder list selected, not
// opened), the tree before and after, the message that refuses
// the input (empty: the run goes ahead), the folder the window starts in.
struct Press {
    QString which, from, to, options;
    QStringList before = {}, after = {};
    QString prompt = {}, open = {};
};
Q_DECLARE_METATYPE(Press)

namespace {

const QString kPartPrompt = QStringLiteral("なんか入れてください。ヽ(´ー`)ノ");
const QString kReplacementPrompt =
    QStringLiteral("消すことはやりません。適当に見繕って辻褄合わせてください( ･ω･)oﾋﾞｼｯ");
const QString kDone = QStringLiteral("64|終了の合図|");  // a finished run's box, before the summary

// Sets the check boxes, fills the frame's two boxes and presses its button;
// false, and no press, when the window's open folder is not the fixture's.
bool press(UiFixture& ui, const Press& p)
{
    frm_Main& form = ui.form();
    forms::CheckBox* boxes[] = {form.Chk_IsSubFolder, form.Chk_IsDir, form.Chk_全置換,
                                form.Chk_IsNarrow,    form.Chk_IsAdd, form.Chk_IsDo};
    for (int i = 0; i < 6; ++i)
        boxes[i]->setValue(p.options.contains(u"SDWNAO"[i]) ? 1
                                                            : 2 * p.options.contains(u"sdwnao"[i]));
    if (p.options.contains(u'L'))
        form.Dir_Box->setListIndex(0);
    const bool head = p.which == "head";
    (head ? form.Txt_From頭 : form.Txt_From)->setText(p.from);
    (head ? form.Text_To頭 : form.Text_To)->setText(p.to);
    if (!(form.Dir_Box->Path() + u'/').startsWith(ui.root() + u'/'))
        return false;
    QTest::mouseClick(head ? form.Cmd_Go頭 : form.Cmd_Go, Qt::LeftButton);
    return true;
}

}  // namespace

void TestUi::pressChecksInputAndPassesOptions_data()
{
    QTest::addColumn<Press>("p");
    // clang-format off
    QTest::newRow("tail, both empty: only the first message") << Press{"tail", "", "", "", {"q.dat"}, {"q.dat"}, kPartPrompt};
    QTest::newRow("head, both empty: only the first message") << Press{"head", "", "", "", {"q.dat"}, {"q.dat"}, kPartPrompt};
    QTest::newRow("head, replacement empty") << Press{"head", "x", "", "", {"q.dat"}, {"q.dat"}, kReplacementPrompt};
    QTest::newRow("Chk_IsAdd does not excuse an empty replacement") << Press{"tail", "", "", "A", {"q.dat"}, {"q.dat"}, kReplacementPrompt};
    QTest::newRow("grey is not set") << Press{"tail", "", "y", "ao", {"q.dat"}, {"q.dat"}, kPartPrompt};
    QTest::newRow("Chk_IsAdd lets an empty part through; no narrowing") << Press{"head", "", "x_", "A", {"ＡＢＣ.txt"}, {"x_ＡＢＣ.txt"}};
    QTest::newRow("Chk_IsDo lets an empty replacement through") << Press{"tail", ".bak", "", "O", {"a.txt.bak"}, {"a.txt"}};
    QTest::newRow("spaces count as text") << Press{"tail", " ", " ", "", {"a b"}, {"a b"}};
    QTest::newRow("tail run ignores Chk_IsNarrow") << Press{"tail", ".jpeg", ".jpg", "SN", {"a.jpeg", "ＡＢＣ.txt"}, {"a.jpg", "ＡＢＣ.txt"}};
    QTest::newRow("head run with Chk_IsNarrow narrows") << Press{"head", "a", "b", "SN", {"a.jpeg", "ＡＢＣ.txt"}, {"ABC.txt", "b.jpeg"}};
    QTest::newRow("Chk_IsSubFolder set descends") << Press{"tail", ".txt", ".md", "S", {"sub/", "sub/x.txt", "y.txt"}, {"sub/", "sub/x.md", "y.md"}};
    QTest::newRow("Chk_IsSubFolder clear stays") << Press{"tail", ".txt", ".md", "", {"sub/", "sub/x.txt", "y.txt"}, {"sub/", "sub/x.txt", "y.md"}};
    QTest::newRow("Chk_IsDir renames folders") << Press{"head", "old_", "new_", "D", {"old_a/", "old_a/old_f.txt", "old_g.txt"}, {"new_a/", "new_a/old_f.txt", "old_g.txt"}};
    QTest::newRow("Chk_全置換 replaces the whole name") << Press{"head", "a", "b.txt", "W", {"a1.txt", "c.txt"}, {"b.txt", "c.txt"}};
    QTest::newRow("the selected folder is listed, the open one renamed") << Press{"tail", ".txt", ".md", "L", {"a.txt", "sub/", "sub/b.txt"}, {"a.md", "sub/", "sub/b.txt"}};
    QTest::newRow("a folder ending in a blank, not its namesake") << Press{"head", "", "x_", "A", {"s/", "s/g.txt", "s /", "s /g.txt"}, {"s /", "s /x_g.txt", "s/", "s/g.txt"}, {}, "s "};
    // clang-format on
}

void TestUi::pressChecksInputAndPassesOptions()
{
    QFETCH(Press, p);
    UiFixture ui(p.before, p.open);
    frm_Main& form = ui.form();
    const QStringList before = ui.tree(true);
    QVERIFY(press(ui, p));
    QCOMPARE(ui.tree(), p.after);
    const QString open = p.open.isEmpty() ? ui.root() : ui.path(p.open);
    QCOMPARE(form.FileList_Box->Path(), p.options.contains(u'L') ? ui.path("sub") : open);
    // A run that renamed something is taken back in the undo window, which
    // names the window and the folder and restores the tree byte for byte; one
    // that renamed nothing leaves nothing to undo.
    frm_Undo undo;
    QCOMPARE(undo.load(), p.after != p.before);
    if (p.after != p.before) {
        QVERIFY2(undo.Lbl_What->text().endsWith("ウィンドウで行った名前の変更を、フォルダー「" +
                                                open + "」で元に戻します。"),
                 qPrintable(undo.Lbl_What->text()));
        undo.Cmd_Undo->click();
        QCOMPARE(ui.tree(true), before);
        QVERIFY(!frm_Undo().load());  // taken back whole: nothing is left to undo
    }
    const QString expected = p.prompt.isEmpty() ? kDone : "0|<app>|" + p.prompt;
    QVERIFY2(ui.shown().size() == 1 && ui.shown()[0].startsWith(expected),
             qPrintable(ui.shown().join(u'\n')));
    QCOMPARE(form.Cmd_Report->isVisible(), p.prompt.isEmpty());
    // The box that needs text gets the focus.
    QWidget* const boxes[2][2] = {{form.Txt_From, form.Text_To}, {form.Txt_From頭, form.Text_To頭}};
    if (!p.prompt.isEmpty())
        QCOMPARE(QApplication::focusWidget(), boxes[p.which == "head"][p.prompt != kPartPrompt]);
}

void TestUi::folderCheckFailsDuringThePress()
{
    UiFixture ui;
    frm_Main& form = ui.form();
    QTemporaryDir work(ui.path(QStringLiteral("work-XXXXXX")));
    form.Dir_Box->setPath(work.path());
    form.Cmd_Report->Tag = QStringLiteral("before");
    // Another program removes the folder while the window yields before the
    // run (the busy pointer is on by then).
    int pointerDuringYield = -1;
    const auto vanish = [&] { pointerDuringYield = forms::mousePointer(), work.remove(); };
    QMetaObject::invokeMethod(qApp, vanish, Qt::QueuedConnection);
    QVERIFY(press(ui, {"tail", ".txt", ".md", ""}));
    QCOMPARE(pointerDuringYield, forms::kPointerHourglass);
    QCOMPARE(ui.shown(),
             (QStringList{QStringLiteral("48|エラー|指定されたディレクトリは存在しません。\r\n"
                                         "選択しなおしてください。"),
                          QStringLiteral("48|失敗の合図|失敗しました。\r\n")}));
    QVERIFY(form.Cmd_Report->isHidden() && form.Cmd_Report->Tag == QStringLiteral("before"));
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
    // The refresh after the press moved the lists to a folder that exists.
    QCOMPARE(form.Dir_Box->Path(), ui.root());
}

// A run's summary and trail, a second run that renames nothing, then the
// undo window of the newest run: it lists each step with what will happen to
// it, restores by keyboard, then has nothing left to undo, and cancels.
void TestUi::reportAndUndoWindow()
{
    UiFixture ui({"a.jpeg", "b.jpeg", "c.txt"});
    frm_Main& form = ui.form();
    const Press jpeg{"tail", ".jpeg", ".jpg", ""};
    // The engine's summary of a file run, as the window must show it unchanged.
    const QString summary = kDone + "ファイル名変更を終えました。\r\n" + QString(49, u'-') +
                            "\r\n変更したファイルの数　：【 %1 】\r\n\r\n"
                            "指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 3 】\r\n";
    QVERIFY(press(ui, jpeg));
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("a.jpg"));  // the lists follow the run
    QCOMPARE(DiskTree::sorted(form.Cmd_Report->Tag.split(QStringLiteral("\r\n"))),
             (QStringList{"", ui.path("a.jpeg"), ui.path("b.jpeg")}));
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), form.Cmd_Report->Tag);
    // The button copies the second run's trail, "none"; that run leaves no journal.
    QVERIFY(press(ui, jpeg));
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("なし"));
    QCOMPARE(ui.shown(), (QStringList{summary.arg(2), summary.arg(0)}));

    DiskTree::make(ui.root(), {"b.jpeg"});  // b's old name is taken since
    // The steps as "now>old what happens", sorted, then the count line.
    const auto shows = [](const frm_Undo& undo) {
        QStringList rows;
        const UndoStepModel& model = *undo.model();
        for (int row = 0; row < model.rowCount(); ++row)
            rows.append(model.index(row, 0).data().toString() + u'>' +
                        model.index(row, 1).data().toString() + u' ' +
                        model.index(row, 2).data().toString());
        return DiskTree::sorted(rows) << undo.Lbl_Count->text();
    };
    const QString taken =
        QStringLiteral("b.jpg>b.jpeg そのまま：元の名前はほかのものが使っています");
    frm_Undo undo;
    QVERIFY(undo.load() && undo.Lbl_What->text().contains("「" + ui.root() + "」"));
    undo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&undo));
    QApplication::setActiveWindow(&undo);
    QCOMPARE(QApplication::focusWidget(), undo.Lst_Steps);
    QCOMPARE(shows(undo),
             (QStringList{"a.jpg>a.jpeg 元に戻します", taken, "元に戻す：1 件　そのまま：1 件"}));
    // The buttons sit under the list, 元に戻す first and キャンセル beside it;
    // both name columns start wide enough for long names.
    QVERIFY(undo.Cmd_Undo->geometry().top() >= undo.Lst_Steps->geometry().bottom());
    QVERIFY(undo.Lst_Steps->columnWidth(0) == 220 && undo.Lst_Steps->columnWidth(1) == 220);
    QVERIFY(undo.Cmd_Cancel->geometry().left() > undo.Cmd_Undo->geometry().right());
    QTest::keyClick(undo.Lst_Steps, Qt::Key_Return);  // the default button
    QCOMPARE(shows(undo), (QStringList{"a.jpg>a.jpeg 元に戻しました", taken,
                                       "元に戻しました：1 件　そのまま：1 件"}));
    QVERIFY(undo.Cmd_Undo->isHidden() && undo.Cmd_Cancel->text() == QStringLiteral("閉じる"));
    QCOMPARE(ui.tree(), (QStringList{"a.jpeg", "b.jpeg", "b.jpg", "c.txt"}));

    // b was left alone, so the run is not taken back whole: a second undo
    // still offers it, with nothing to restore; キャンセル closes it.
    frm_Undo again;
    QVERIFY(again.load() && !again.Cmd_Undo->isEnabled());
    QCOMPARE(again.Lbl_Count->text(), QStringLiteral("元に戻す：0 件　そのまま：2 件"));
    again.show();
    QTest::mouseClick(again.Cmd_Cancel, Qt::LeftButton);
    QVERIFY(again.isHidden() && again.result() == QDialog::Rejected);
}
