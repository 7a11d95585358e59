// The rename commands, observed on disk, in the boxes and on the clipboard.
#include "tst_Ui.h"

#include "engine/Cls_RenameDiskReal.h"
#include "forms/Interaction.h"
#include "journal/JournalUndo.h"
#include "ui/UndoStepModel.h"
#include "ui/frm_Undo.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>

#include <filesystem>

// One press of a frame's button: "head" or "tail", the two boxes, the check
// boxes set (S IsSubFolder, D IsDir, W 全置換, N IsNarrow, A IsAdd, O IsDo;
// a/o IsAdd/IsDo grey), the tree before and after, and the message that
// refuses the input (empty: the run goes ahead).
struct Press {
    QString which, from, to, options;
    QStringList before, after;
    QString prompt;
};
Q_DECLARE_METATYPE(Press)

namespace {

const QString kPartPrompt = QStringLiteral("なんか入れてください。ヽ(´ー`)ノ");
const QString kReplacementPrompt =
    QStringLiteral("消すことはやりません。適当に見繕って辻褄合わせてください( ･ω･)oﾋﾞｼｯ");
const QString kDone = QStringLiteral("64|終了の合図|");  // a finished run's box, before the summary

// The engine's summary of a file run, as the window must show it unchanged.
QString fileRunSummary(int renamed, int all)
{
    return QStringLiteral("ファイル名変更を終えました。\r\n") + QString(49, u'-') +
           QStringLiteral("\r\n変更したファイルの数　：【 %1 】\r\n\r\n"
                          "指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 %2 】\r\n")
               .arg(renamed)
               .arg(all);
}

// Sets the check boxes, fills the frame's two boxes and presses its button.
void press(frm_Main& form, const Press& p)
{
    const std::pair<char, forms::CheckBox*> boxes[] = {
        {'S', form.Chk_IsSubFolder}, {'D', form.Chk_IsDir}, {'W', form.Chk_全置換},
        {'N', form.Chk_IsNarrow},    {'A', form.Chk_IsAdd}, {'O', form.Chk_IsDo}};
    for (const auto& [flag, box] : boxes) {
        const bool grey = p.options.contains(QChar(flag).toLower());
        box->setValue(p.options.contains(QChar(flag)) ? 1 : grey ? 2 : 0);
    }
    const bool head = p.which == "head";
    (head ? form.Txt_From頭 : form.Txt_From)->setText(p.from);
    (head ? form.Text_To頭 : form.Text_To)->setText(p.to);
    QTest::mouseClick(head ? form.Cmd_Go頭 : form.Cmd_Go, Qt::LeftButton);
}

}  // namespace

void TestUi::pressChecksInputAndPassesOptions_data()
{
    QTest::addColumn<Press>("p");
    const QStringList q = {"q.dat"};
    const QStringList wide = {"a.jpeg", "ＡＢＣ.txt"};
    const QStringList nested = {"sub/", "sub/x.txt", "y.txt"};
    const QStringList folders = {"old_a/", "old_a/old_f.txt", "old_g.txt"};
    // clang-format off
    QTest::newRow("tail, both empty: only the first message") << Press{"tail", "", "", "", q, q, kPartPrompt};
    QTest::newRow("head, both empty: only the first message") << Press{"head", "", "", "", q, q, kPartPrompt};
    QTest::newRow("head, replacement empty") << Press{"head", "x", "", "", q, q, kReplacementPrompt};
    QTest::newRow("Chk_IsAdd does not excuse an empty replacement") << Press{"tail", "", "", "A", q, q, kReplacementPrompt};
    QTest::newRow("grey is not set") << Press{"tail", "", "y", "ao", q, q, kPartPrompt};
    QTest::newRow("Chk_IsAdd lets an empty part through; no narrowing") << Press{"head", "", "x_", "A", {"ＡＢＣ.txt"}, {"x_ＡＢＣ.txt"}, {}};
    QTest::newRow("Chk_IsDo lets an empty replacement through") << Press{"tail", ".bak", "", "O", {"a.txt.bak"}, {"a.txt"}, {}};
    QTest::newRow("spaces count as text") << Press{"tail", " ", " ", "", {"a b"}, {"a b"}, {}};
    QTest::newRow("tail run ignores Chk_IsNarrow") << Press{"tail", ".jpeg", ".jpg", "SN", wide, {"a.jpg", "ＡＢＣ.txt"}, {}};
    QTest::newRow("head run with Chk_IsNarrow narrows") << Press{"head", "a", "b", "SN", wide, {"ABC.txt", "b.jpeg"}, {}};
    QTest::newRow("Chk_IsSubFolder set descends") << Press{"tail", ".txt", ".md", "S", nested, {"sub/", "sub/x.md", "y.md"}, {}};
    QTest::newRow("Chk_IsSubFolder clear stays") << Press{"tail", ".txt", ".md", "", nested, {"sub/", "sub/x.txt", "y.md"}, {}};
    QTest::newRow("Chk_IsDir renames folders") << Press{"head", "old_", "new_", "D", folders, {"new_a/", "new_a/old_f.txt", "old_g.txt"}, {}};
    QTest::newRow("Chk_全置換 replaces the whole name") << Press{"head", "a", "b.txt", "W", {"a1.txt", "c.txt"}, {"b.txt", "c.txt"}, {}};
    // clang-format on
}

void TestUi::pressChecksInputAndPassesOptions()
{
    QFETCH(Press, p);
    UiFixture ui(p.before);
    frm_Main& form = ui.form();
    const QStringList before = ui.tree(true);
    press(form, p);
    QCOMPARE(ui.tree(), p.after);
    QCOMPARE(ui.shown().size(), 1);
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
    // A run that renamed something left a journal whose undo restores the
    // tree byte for byte; one that renamed nothing left none.
    const QStringList journals = QDir(ui.journals()).entryList({"*.journal"}, QDir::Files);
    QCOMPARE(journals.size(), p.after == p.before ? 0 : 1);
    if (!journals.isEmpty()) {
        Journal journal;
        QString error;
        QVERIFY2(readJournal(ui.journals() + u'/' + journals[0], journal, error),
                 qPrintable(error));
        QCOMPARE(journal.madeBy, QStringLiteral("window"));
        Cls_RenameDiskReal disk;
        bool complete = false;
        undoJournal(journal, disk, &complete);
        QVERIFY(complete);
        QCOMPARE(ui.tree(true), before);
    }
    if (p.prompt.isEmpty()) {
        QVERIFY2(ui.shown(0).startsWith(kDone), qPrintable(ui.shown(0)));
        QVERIFY(form.Cmd_Report->isVisible());
        return;
    }
    QCOMPARE(ui.shown(0), "0|<app>|" + p.prompt);
    // The box that needs text gets the focus, its text selected.
    const bool head = p.which == "head";
    forms::TextBox* focused = p.prompt == kPartPrompt ? (head ? form.Txt_From頭 : form.Txt_From)
                                                      : (head ? form.Text_To頭 : form.Text_To);
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(focused->selectedText(), focused->text());
    QVERIFY(form.Cmd_Report->isHidden() && form.Cmd_Report->Tag.isEmpty());
}

void TestUi::summaryAndReport()
{
    UiFixture ui({"a.jpeg", "b.jpeg", "c.txt"});
    frm_Main& form = ui.form();
    press(form, {"tail", ".jpeg", ".jpg", "", {}, {}, {}});
    QCOMPARE(ui.shown().size(), 1);
    QCOMPARE(ui.shown(0), kDone + fileRunSummary(2, 3));
    QVERIFY(form.Cmd_Report->isVisible());
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("a.jpg"));  // the lists follow the run
    const QString trail = form.Cmd_Report->Tag;
    QStringList lines = trail.split(QStringLiteral("\r\n"));
    std::sort(lines.begin(), lines.end());
    QCOMPARE(lines, (QStringList{"", ui.path("a.jpeg"), ui.path("b.jpeg")}));

    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), trail);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
    QCOMPARE(ui.shown().size(), 1);

    // A second run that renames nothing: the button copies its trail, "none".
    QTest::mouseClick(form.Cmd_Go, Qt::LeftButton);
    QCOMPARE(ui.shown().size(), 2);
    QCOMPARE(ui.shown(1), kDone + fileRunSummary(0, 3));
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("なし"));
}

void TestUi::folderCheckFailsDuringThePress()
{
    UiFixture ui({"work/a.txt"});
    frm_Main& form = ui.form();
    form.Dir_Box->setPath(ui.path("work"));
    form.Cmd_Report->Tag = QStringLiteral("before");
    // Another program removes the folder while the window yields before the
    // run (the busy pointer is on by then).
    int pointerDuringYield = -1;
    const QString work = ui.path("work");
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            pointerDuringYield = forms::mousePointer();
            std::filesystem::remove_all(work.toStdString());
        },
        Qt::QueuedConnection);
    press(form, {"tail", ".txt", ".md", "", {}, {}, {}});

    QCOMPARE(pointerDuringYield, forms::kPointerHourglass);
    QCOMPARE(ui.shown().size(), 2);
    QCOMPARE(ui.shown(0), "48|エラー|" + kMissingPrompt);
    QCOMPARE(ui.shown(1), QStringLiteral("48|失敗の合図|失敗しました。\r\n"));
    QCOMPARE(form.Cmd_Report->Tag, QStringLiteral("before"));
    QVERIFY(form.Cmd_Report->isHidden());
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
    // The refresh after the press moved the lists to a folder that exists.
    QCOMPARE(form.Dir_Box->Path(), ui.root());
}

void TestUi::selectedFolderIsListedButOpenFolderIsRenamed()
{
    UiFixture ui({"a.txt", "sub/b.txt"});
    frm_Main& form = ui.form();
    form.Dir_Box->setListIndex(0);  // selected, not opened
    QCOMPARE(form.Dir_Box->List(0), ui.path("sub"));
    press(form, {"tail", ".txt", ".md", "", {}, {}, {}});
    QCOMPARE(ui.tree(), (QStringList{"a.md", "sub/", "sub/b.txt"}));
    QCOMPARE(form.Dir_Box->Path(), ui.root());
    QCOMPARE(form.FileList_Box->Path(), ui.path("sub"));
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("b.txt"));
}

// A folder whose name ends in a blank, opened through the path box, is the
// one the run works in; its namesake without the blank is left alone.
void TestUi::blankEndedFolderIsRenamedNotItsNamesake()
{
    UiFixture ui({"s/g.txt", "s /g.txt"});
    frm_Main& form = ui.form();
    form.Txt_FullPath->setText(ui.path("s "));
    QTest::mouseClick(form.Cmd_PathSet, Qt::LeftButton);
    QCOMPARE(ui.opened(), ui.path("s "));
    press(form, {"head", "", "x_", "A", {}, {}, {}});
    QCOMPARE(ui.tree(), (QStringList{"s /", "s /x_g.txt", "s/", "s/g.txt"}));
    QCOMPARE(form.Cmd_Report->Tag, ui.path("s /g.txt") + "\r\n");
}

// The undo window of the newest run: it lists each step with what will
// happen to it, cancels untouched, restores by keyboard, then has nothing
// left to undo.
void TestUi::undoWindowListsRestoresAndCancels()
{
    UiFixture ui({"a.jpeg", "b.jpeg", "c.txt"});
    press(ui.form(), {"tail", ".jpeg", ".jpg", "", {}, {}, {}});
    makeEntries(ui.root(), {"b.jpeg"});  // b's old name is taken since
    const QStringList afterRun = ui.tree(true);
    const auto statuses = [](const frm_Undo& undo) {
        QStringList rows;
        const UndoStepModel& model = *undo.model();
        for (int row = 0; row < model.rowCount(); ++row)
            rows.append(model.index(row, 0).data().toString() + u'>' +
                        model.index(row, 1).data().toString() + u' ' +
                        model.index(row, 2).data().toString());
        rows.sort();
        return rows;
    };
    {
        frm_Undo undo;
        QVERIFY(undo.load());
        undo.show();
        QCOMPARE(statuses(undo),
                 (QStringList{"a.jpg>a.jpeg 元に戻します",
                              "b.jpg>b.jpeg そのまま：元の名前はほかのものが使っています"}));
        QCOMPARE(undo.Lbl_Count->text(), QStringLiteral("元に戻す：1 件　そのまま：1 件"));
        QTest::mouseClick(undo.Cmd_Cancel, Qt::LeftButton);
        QVERIFY(undo.isHidden());
        QCOMPARE(undo.result(), int(QDialog::Rejected));
    }
    QCOMPARE(ui.tree(true), afterRun);

    frm_Undo undo;
    QVERIFY(undo.load());
    undo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&undo));
    QApplication::setActiveWindow(&undo);
    QCOMPARE(QApplication::focusWidget(), undo.Lst_Steps);
    // The buttons sit under the list, 元に戻す first and キャンセル beside it.
    QVERIFY(undo.Cmd_Undo->geometry().top() >= undo.Lst_Steps->geometry().bottom());
    QVERIFY(undo.Cmd_Cancel->geometry().left() > undo.Cmd_Undo->geometry().right());
    QTest::keyClick(undo.Lst_Steps, Qt::Key_Return);  // the default button
    QCOMPARE(statuses(undo),
             (QStringList{"a.jpg>a.jpeg 元に戻しました",
                          "b.jpg>b.jpeg そのまま：元の名前はほかのものが使っています"}));
    QCOMPARE(undo.Lbl_Count->text(), QStringLiteral("元に戻しました：1 件　そのまま：1 件"));
    QVERIFY(undo.Cmd_Undo->isHidden());
    QCOMPARE(undo.Cmd_Cancel->text(), QStringLiteral("閉じる"));
    QVERIFY(ui.tree().contains("a.jpeg") && ui.tree().contains("b.jpg"));

    // b was left alone, so the run is not taken back whole: a second undo
    // still offers it.
    frm_Undo again;
    QVERIFY(again.load());
    QCOMPARE(again.Lbl_Count->text(), QStringLiteral("元に戻す：0 件　そのまま：2 件"));
    QVERIFY(!again.Cmd_Undo->isEnabled());
}
