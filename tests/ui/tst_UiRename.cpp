// The rename commands, observed on disk, in the boxes and on the clipboard.
#include "UiFixture.h"
#include "tst_Ui.h"

#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <filesystem>

namespace {

const QString kPartPrompt = QStringLiteral("なんか入れてください。ヽ(´ー`)ノ");
const QString kReplacementPrompt =
    QStringLiteral("消すことはやりません。適当に見繕って辻褄合わせてください( ･ω･)oﾋﾞｼｯ");
const QString kDone = QStringLiteral("終了の合図");

// The engine's summary of a file run, as the window must show it unchanged.
QString fileRunSummary(int renamed, int all)
{
    return QStringLiteral("ファイル名変更を終えました。\r\n") + QString(49, u'-') +
           QStringLiteral("\r\n") + QStringLiteral("変更したファイルの数　：【 ") +
           QString::number(renamed) + QStringLiteral(" 】\r\n") + QStringLiteral("\r\n") +
           QStringLiteral("指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 ") + QString::number(all) +
           QStringLiteral(" 】\r\n");
}

struct Frame {
    forms::TextBox* from;
    forms::TextBox* to;
    forms::CommandButton* go;
};

Frame frameOf(frm_Main& form, const QString& which)
{
    if (which == "head")
        return {form.Txt_From頭, form.Text_To頭, form.Cmd_Go頭};
    return {form.Txt_From, form.Text_To, form.Cmd_Go};
}

QStringList sortedLines(const QString& text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

void TestUi::inputChecks_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("isAdd");
    QTest::addColumn<int>("isDo");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("prompt");  // empty: the run goes ahead
    QTest::addColumn<bool>("focusOnFrom");

    QTest::newRow("tail, both empty: only the first message") << "tail" << 0 << 0 << ""
                                                              << "" << kPartPrompt << true;
    QTest::newRow("head, both empty: only the first message") << "head" << 0 << 0 << ""
                                                              << "" << kPartPrompt << true;
    QTest::newRow("tail, replacement empty") << "tail" << 0 << 0 << "x"
                                             << "" << kReplacementPrompt << false;
    QTest::newRow("head, replacement empty") << "head" << 0 << 0 << "x"
                                             << "" << kReplacementPrompt << false;
    QTest::newRow("spaces count as text") << "tail" << 0 << 0 << " "
                                          << " " << QString() << false;
    QTest::newRow("Chk_IsAdd lets an empty part through") << "head" << 1 << 0 << ""
                                                          << "y" << QString() << false;
    QTest::newRow("Chk_IsAdd does not excuse an empty replacement")
        << "tail" << 1 << 0 << ""
        << "" << kReplacementPrompt << false;
    QTest::newRow("Chk_IsDo lets an empty replacement through") << "head" << 0 << 1 << "x"
                                                                << "" << QString() << false;
    QTest::newRow("both set, both empty") << "tail" << 1 << 1 << ""
                                          << "" << QString() << false;
    QTest::newRow("grey is not set") << "tail" << 2 << 2 << ""
                                     << "y" << kPartPrompt << true;
}

void TestUi::inputChecks()
{
    QFETCH(QString, which);
    QFETCH(int, isAdd);
    QFETCH(int, isDo);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, prompt);
    QFETCH(bool, focusOnFrom);
    UiFixture ui({"q.dat"});
    frm_Main& form = ui.form();
    const Frame frame = frameOf(form, which);
    form.Chk_IsAdd->setValue(isAdd);
    form.Chk_IsDo->setValue(isDo);
    frame.from->setText(from);
    frame.to->setText(to);
    QTest::mouseClick(frame.go, Qt::LeftButton);

    const auto& boxes = ui.boxes().boxes();
    QCOMPARE(boxes.size(), 1);
    if (prompt.isEmpty()) {
        QCOMPARE(boxes.first().title, std::optional<QString>(kDone));
        QVERIFY(form.Cmd_Report->isVisible());
        return;
    }
    QCOMPARE(boxes.first().prompt, prompt);
    QCOMPARE(boxes.first().style, 0);
    QCOMPARE(boxes.first().title, std::optional<QString>());  // the application's title
    forms::TextBox* focused = focusOnFrom ? frame.from : frame.to;
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(focused->selectedText(), focused->text());
    QVERIFY(form.Cmd_Report->isHidden());
    QVERIFY(form.Cmd_Report->Tag.isEmpty());
    QCOMPARE(ui.tree(), QStringList{"q.dat"});
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
}

void TestUi::optionsReachTheEngine_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QList<int>>("options");  // IsSubFolder, IsDir, 全置換, IsNarrow, IsAdd, IsDo
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList wide = {"a.jpeg", QStringLiteral("ＡＢＣ.txt")};
    QTest::newRow("tail run ignores Chk_IsNarrow")
        << "tail"
        << ".jpeg"
        << ".jpg" << QList<int>{1, 0, 0, 1, 0, 0} << wide
        << QStringList{"a.jpg", QStringLiteral("ＡＢＣ.txt")};
    QTest::newRow("head run with Chk_IsNarrow narrows")
        << "head"
        << "a"
        << "b" << QList<int>{1, 0, 0, 1, 0, 0} << wide << QStringList{"ABC.txt", "b.jpeg"};
    QTest::newRow("head run without Chk_IsNarrow")
        << "head"
        << "a"
        << "b" << QList<int>{1, 0, 0, 0, 0, 0} << wide
        << QStringList{"b.jpeg", QStringLiteral("ＡＢＣ.txt")};

    const QStringList nested = {"sub/", "sub/x.txt", "y.txt"};
    QTest::newRow("Chk_IsSubFolder set descends") << "tail"
                                                  << ".txt"
                                                  << ".md" << QList<int>{1, 0, 0, 0, 0, 0} << nested
                                                  << QStringList{"sub/", "sub/x.md", "y.md"};
    QTest::newRow("Chk_IsSubFolder clear stays") << "tail"
                                                 << ".txt"
                                                 << ".md" << QList<int>{0, 0, 0, 0, 0, 0} << nested
                                                 << QStringList{"sub/", "sub/x.txt", "y.md"};

    const QStringList folders = {"old_a/", "old_a/old_f.txt", "old_g.txt"};
    QTest::newRow("Chk_IsDir renames folders")
        << "head"
        << "old_"
        << "new_" << QList<int>{0, 1, 0, 0, 0, 0} << folders
        << QStringList{"new_a/", "new_a/old_f.txt", "old_g.txt"};
    QTest::newRow("Chk_IsDir clear renames files")
        << "head"
        << "old_"
        << "new_" << QList<int>{0, 0, 0, 0, 0, 0} << folders
        << QStringList{"new_g.txt", "old_a/", "old_a/old_f.txt"};

    QTest::newRow("Chk_全置換 replaces the whole name")
        << "head"
        << "a"
        << "b.txt" << QList<int>{0, 0, 1, 0, 0, 0} << QStringList{"a1.txt", "c.txt"}
        << QStringList{"b.txt", "c.txt"};
    QTest::newRow("without Chk_全置換 only the part")
        << "head"
        << "a"
        << "b.txt" << QList<int>{0, 0, 0, 0, 0, 0} << QStringList{"a1.txt", "c.txt"}
        << QStringList{"b.txt1.txt", "c.txt"};

    QTest::newRow("tail, empty part appends") << "tail"
                                              << ""
                                              << "_old" << QList<int>{0, 0, 0, 0, 1, 0}
                                              << QStringList{"a.txt"} << QStringList{"a.txt_old"};
    QTest::newRow("head, empty part prepends")
        << "head"
        << ""
        << "x_" << QList<int>{0, 0, 0, 0, 1, 0} << QStringList{"a.txt"} << QStringList{"x_a.txt"};
    QTest::newRow("empty replacement cuts the part")
        << "tail"
        << ".bak"
        << "" << QList<int>{0, 0, 0, 0, 0, 1} << QStringList{"a.txt.bak"} << QStringList{"a.txt"};
}

void TestUi::optionsReachTheEngine()
{
    QFETCH(QString, which);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QList<int>, options);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    UiFixture ui(before);
    frm_Main& form = ui.form();
    form.Chk_IsSubFolder->setValue(options[0]);
    form.Chk_IsDir->setValue(options[1]);
    form.Chk_全置換->setValue(options[2]);
    form.Chk_IsNarrow->setValue(options[3]);
    form.Chk_IsAdd->setValue(options[4]);
    form.Chk_IsDo->setValue(options[5]);
    const Frame frame = frameOf(form, which);
    frame.from->setText(from);
    frame.to->setText(to);
    QTest::mouseClick(frame.go, Qt::LeftButton);

    QCOMPARE(ui.tree(), after);
    QCOMPARE(ui.boxes().boxes().size(), 1);
    QCOMPARE(ui.boxes().boxes().first().title, std::optional<QString>(kDone));
    // The lists show the folder after the run.
    QCOMPARE(form.Dir_Box->Path(), ui.root());
    QStringList listed;
    for (int i = 0; i < form.FileList_Box->ListCount(); ++i)
        listed.append(form.FileList_Box->List(i));
    QStringList topFiles;
    for (const QString& entry : after) {
        if (!entry.contains(u'/'))
            topFiles.append(entry);
    }
    QCOMPARE(listed, topFiles);
    QCOMPARE(forms::mousePointer(), forms::kPointerDefault);
}

void TestUi::summaryAndReport()
{
    UiFixture ui({"a.jpeg", "b.jpeg", "c.txt"});
    frm_Main& form = ui.form();
    form.Chk_IsSubFolder->setValue(0);
    form.Txt_From->setText(".jpeg");
    form.Text_To->setText(".jpg");
    QTest::mouseClick(form.Cmd_Go, Qt::LeftButton);

    QCOMPARE(ui.boxes().boxes().size(), 1);
    const auto& box = ui.boxes().boxes().first();
    QCOMPARE(box.style, 64);
    QCOMPARE(box.title, std::optional<QString>(kDone));
    QCOMPARE(box.prompt, fileRunSummary(2, 3));
    QVERIFY(form.Cmd_Report->isVisible());
    const QString trail = form.Cmd_Report->Tag;
    QVERIFY(trail.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(sortedLines(trail), (QStringList{"", ui.path("a.jpeg"), ui.path("b.jpeg")}));

    QGuiApplication::clipboard()->setText("something else");
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), trail);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
    QCOMPARE(ui.boxes().boxes().size(), 1);
}

void TestUi::reportButtonCopiesTheLatestTrail()
{
    UiFixture ui({"a.jpeg"});
    frm_Main& form = ui.form();
    form.Txt_From->setText(".jpeg");
    form.Text_To->setText(".jpg");
    QTest::mouseClick(form.Cmd_Go, Qt::LeftButton);
    QCOMPARE(form.Cmd_Report->Tag, ui.path("a.jpeg") + QStringLiteral("\r\n"));

    // A second run that renames nothing: the trail is the engine's "none".
    QTest::mouseClick(form.Cmd_Go, Qt::LeftButton);
    QCOMPARE(ui.boxes().boxes().size(), 2);
    QCOMPARE(ui.boxes().boxes().at(1).prompt, fileRunSummary(0, 1));
    QVERIFY(form.Cmd_Report->isVisible());
    QTest::mouseClick(form.Cmd_Report, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("なし"));
}

void TestUi::folderCheckFailsDuringThePress()
{
    UiFixture ui({"work/a.txt"});
    frm_Main& form = ui.form();
    form.Dir_Box->setPath(ui.path("work"));
    form.Cmd_Report->Tag = QStringLiteral("before");
    form.Txt_From->setText(".txt");
    form.Text_To->setText(".md");

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
    form.Cmd_Go->click();

    QCOMPARE(pointerDuringYield, forms::kPointerHourglass);
    const auto& boxes = ui.boxes().boxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(0).style, 48);
    QCOMPARE(boxes.at(0).title, std::optional<QString>(QStringLiteral("エラー")));
    QCOMPARE(boxes.at(0).prompt,
             QStringLiteral("指定されたディレクトリは存在しません。\r\n選択しなおしてください。"));
    QCOMPARE(boxes.at(1).style, 48);
    QCOMPARE(boxes.at(1).title, std::optional<QString>(QStringLiteral("失敗の合図")));
    QCOMPARE(boxes.at(1).prompt, QStringLiteral("失敗しました。\r\n"));
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
    form.Chk_IsSubFolder->setValue(0);
    form.Dir_Box->setListIndex(0);  // selected, not opened
    QCOMPARE(form.Dir_Box->List(0), ui.path("sub"));
    form.Txt_From->setText(".txt");
    form.Text_To->setText(".md");
    QTest::mouseClick(form.Cmd_Go, Qt::LeftButton);
    QCOMPARE(ui.tree(), (QStringList{"a.md", "sub/", "sub/b.txt"}));
    QCOMPARE(form.Dir_Box->Path(), ui.root());
    QCOMPARE(form.FileList_Box->Path(), ui.path("sub"));
    QCOMPARE(form.FileList_Box->List(0), QStringLiteral("b.txt"));
}
