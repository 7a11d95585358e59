#include "tst_Forms.h"

#include "forms/ListBoxes.h"
#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "support/ErrorNumber.h"
#include "support/MsgBoxRecorder.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kOdd = rt::decodeName("r\xE9sum\xE9");  // a name that is not UTF-8

// <temp>/top: the folders b, a, c, plus what the folder list must not show (a
// hidden folder, files, links), open in a shown folder list. Entries are made
// and removed by their bytes: QTemporaryDir cannot remove names that are not UTF-8.
struct Tree {
    QTemporaryDir dir;
    QString top = dir.path() + QStringLiteral("/top");
    forms::DriveFolders folders;  // shared with the other lists of a test
    forms::DirListBox box{&folders, nullptr};
    bool ok = dir.isValid() &&
              make({"", "b/", "a/", "c/", ".hidden/", ".h", "Z.txt", "file.txt", kOdd}) &&
              ::symlink("a", raw("link")) == 0 && ::symlink("file.txt", raw("to-file")) == 0 &&
              ::symlink("nowhere", raw("dangling")) == 0;

    Tree()
    {
        box.resize(300, 400);
        if (ok)
            box.setPath(top);
        box.show();
    }
    ~Tree()
    {
        ::nftw(
            rt::encodeName(dir.path()).constData(),
            [](const char* entry, const struct stat*, int, struct FTW*) { return ::remove(entry); },
            16, FTW_DEPTH | FTW_PHYS);
    }
    QString at(const QString& name) const { return top + u'/' + name; }
    QByteArray raw(const QString& name) const { return rt::encodeName(at(name)); }
    // Names ending in "/" are folders, the others empty files.
    bool make(const QStringList& names) const
    {
        return std::all_of(names.begin(), names.end(), [this](const QString& name) {
            const QByteArray path = raw(name);
            return (path.endsWith('/') ? ::mkdir(path.constData(), 0755)
                                       : ::mknod(path.constData(), S_IFREG | 0644, 0)) == 0;
        });
    }
    // Below the root: one ancestor per separator in the open folder's path.
    int levels() const { return static_cast<int>(box.Path().count(u'/')); }
    // The folder list as "open folder|selected index|subfolders...", top as "~".
    QString state() const
    {
        QStringList all{box.Path(), QString::number(box.ListIndex())};
        for (int i = 0; i < box.ListCount(); ++i)
            all.append(box.List(i));
        return all.join(u'|').replace(top, QStringLiteral("~"));
    }
    // Where a click at a list index lands: the root, the ancestors and the open
    // folder come first.
    QPoint pointOf(int listIndex) const
    {
        return box.visualRect(box.model()->index(levels() + 1 + listIndex, 0)).center();
    }
};

}  // namespace

// What the folder list shows, what opens a folder, clicks, keys and refreshes.
void TestForms::dirList()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox& box = tree.box;
    QCOMPARE(tree.state(), "~|-1|~/a|~/b|~/c");
    QCOMPARE(box.List(3), QString());
    // The open folder, then its ancestors up to the root, then nothing.
    QString up = tree.top;
    for (int i = -1; up != u"/"; --i, up = QFileInfo(up).path())
        QCOMPARE(box.List(i), up);
    QCOMPARE(box.List(-1 - tree.levels()), QStringLiteral("/"));
    QCOMPARE(box.List(-2 - tree.levels()), QString());
    for (int outside : {3, -2 - tree.levels()})
        QCOMPARE(errorNumberOf([&] { box.setListIndex(outside); }), 380);

    // A folder that cannot be opened throws and keeps the open one; a refresh
    // shows a new folder and keeps the selection.
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    box.setPath(tree.top + u'/');  // the same folder, as a drop hands it over
    box.setListIndex(1);
    for (const QString& bad : {tree.at("missing"), tree.at("file.txt"), QString()})
        QCOMPARE(errorNumberOf([&] { box.setPath(bad); }), rt::kPathNotFound);
    QVERIFY(tree.make({"x" + kOdd + "/", "x" + kOdd + "/inner/"}));
    box.Refresh();
    QCOMPARE(tree.state(), "~|1|~/a|~/b|~/c|~/x" + kOdd);
    QCOMPARE(changes.count(), 0);

    // A single click selects, also an ancestor, but opens nothing; other
    // buttons report the press and leave the selection where it was.
    QStringList presses;  // button and shift of each MouseDown
    QObject::connect(&box, &forms::DirListBox::MouseDown, [&](int button, int shift) {
        presses.append(QString::number(button) + QString::number(shift));
    });
    const auto click = [&](int index, Qt::MouseButton button = Qt::LeftButton,
                           Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(box.viewport(), button, keys, tree.pointOf(index));
    };
    const auto doubleClick = [&](int index) {
        click(index);
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, tree.pointOf(index));
        QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, tree.pointOf(index));
    };
    click(2);
    QCOMPARE(box.ListIndex(), 2);
    click(-2);
    click(1, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    click(1, Qt::MiddleButton, Qt::AltModifier);
    QCOMPARE(box.ListIndex(), -2);
    QCOMPARE(presses, (QStringList{"10", "10", "23", "44"}));
    // A double click opens: a subfolder, the parent, not the open folder.
    doubleClick(3);
    QCOMPARE(tree.state(), "~/x" + kOdd + "|-1|~/x" + kOdd + "/inner");
    doubleClick(-2);
    doubleClick(-1);
    // A folder that vanished after it was listed: a warning, nothing opens.
    QCOMPARE(::rmdir(tree.raw("c")), 0);
    MsgBoxRecorder boxes;
    doubleClick(2);
    QCOMPARE(tree.state(), "~|2|~/a|~/b|~/c|~/x" + kOdd);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().prompt, "フォルダを開けませんでした。\r\n" + tree.at("c"));
    QCOMPARE(boxes.boxes().first().style, rt::kVbExclamation);

    // The rows show the root whole and every other folder by its last name.
    QCOMPARE(box.model()->index(0, 0).data().toString(), QStringLiteral("/"));
    QCOMPARE(box.model()->index(tree.levels(), 0).data().toString(), QStringLiteral("top"));
    // Arrow keys select; Return opens the selected folder, as a double click does.
    box.setListIndex(0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.Path(), tree.top);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Path(), tree.at("b"));

    // When the open folder is gone, a refresh opens its nearest ancestor.
    QVERIFY(tree.make({"a/deep/"}));
    box.setPath(tree.at("b/../a/./deep/"));
    QVERIFY(::rmdir(tree.raw("a/deep")) == 0 && ::rmdir(tree.raw("a")) == 0);
    box.Refresh();
    QCOMPARE(tree.state(), "~|-1|~/b|~/x" + kOdd);
    QCOMPARE(changes.count(), 5);
}

void TestForms::driveList()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox other(&tree.folders, nullptr);
    other.setPath(QStringLiteral("/"));
    tree.box.setPath(tree.top);  // remembered last for its drive (the root may share it)
    forms::DriveListBox drives(&tree.folders, nullptr);
    drives.setDrive(tree.top);
    const QString drive = drives.Drive();
    QVERIFY(!forms::DriveListBox::isDriveText(tree.top + QStringLiteral(" [ext4]")));
    // A drive text opens the drive's remembered folder, or its root when that
    // folder is gone.
    QSignalSpy changes(&other, &forms::DirListBox::Change);
    other.setPath(drive);
    QCOMPARE(other.Path(), tree.top);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(drives.rememberedFolder(rt::mountPointOf(tree.top)), tree.top);
    QVERIFY(tree.make({"a/x/"}));
    tree.box.setPath(tree.at("a/x"));
    QCOMPARE(::rmdir(tree.raw("a/x")), 0);
    other.setPath(drive);
    QCOMPARE(other.Path(), rt::mountPointOf(tree.top));
}

// Normal files in code-unit order; no hidden files, folders, links to folders
// or dangling links. The selection follows its name through a refresh.
void TestForms::fileList()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::FileListBox box;
    box.setPath(tree.top);
    const auto names = [&] {
        QStringList all{QString::number(box.ListIndex())};
        for (int i = 0; i < box.ListCount(); ++i)
            all.append(box.List(i));
        return all;
    };
    QCOMPARE(names(), (QStringList{"-1", "Z.txt", "file.txt", kOdd, "to-file"}));
    QCOMPARE(box.List(-1), QString());
    box.setListIndex(1);
    QVERIFY(tree.make({"0.txt"}));
    box.Refresh();
    QCOMPARE(names(), (QStringList{"2", "0.txt", "Z.txt", "file.txt", kOdd, "to-file"}));
    QCOMPARE(errorNumberOf([&] { box.setListIndex(5); }), 380);
    // A path that is no folder throws and keeps the listing; an empty folder is no error.
    for (const char* bad : {"missing", "file.txt"})
        QCOMPARE(errorNumberOf([&] { box.setPath(tree.at(bad)); }), rt::kPathNotFound);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(names().size(), 6);
    box.setPath(tree.at("a"));
    QCOMPARE(box.ListCount(), 0);
}
