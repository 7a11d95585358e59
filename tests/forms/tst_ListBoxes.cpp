#include "tst_Forms.h"

#include "Fixtures.h"
#include "forms/ListBoxes.h"
#include "runtime/MountTable.h"
#include "support/MsgBoxRecorder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

namespace {

// <temp>/top with the subfolders b, a and c, plus entries the folder list must
// not show: a hidden folder, a file and a link to a folder; open in a shown list.
struct Tree {
    QTemporaryDir dir;
    QString top = dir.path() + QStringLiteral("/top");
    bool ok = dir.isValid() && makeFolder(top);
    forms::DriveFolders folders;  // shared with the other lists of a test
    forms::DirListBox box{&folders, nullptr};

    Tree()
    {
        for (const char* name : {"b", "a", "c", ".hidden"})
            ok = ok && makeFolder(at(name));
        ok = ok && makeFile(at("file.txt")) && makeLink("a", at("link"));
        box.resize(300, 400);
        if (ok)
            box.setPath(top);
        box.show();
    }
    QString at(const char* name) const { return top + QLatin1Char('/') + QLatin1String(name); }
    // Below the root: one ancestor per separator in the open folder's path.
    int levels() const { return static_cast<int>(box.Path().count(QLatin1Char('/'))); }
    // Where a click at a list index lands: the root, the ancestors and the open
    // folder come first.
    QPoint pointOf(int listIndex) const
    {
        return box.visualRect(box.model()->index(levels() + 1 + listIndex, 0)).center();
    }
};

}  // namespace

void TestForms::dirListIndexAndPath()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox& box = tree.box;
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.ListCount(), 3);
    QCOMPARE(box.List(0), tree.at("a"));
    QCOMPARE(box.List(1), tree.at("b"));
    QCOMPARE(box.List(2), tree.at("c"));
    QCOMPARE(box.List(3), QString());
    // The open folder, then one ancestor per level up to the root.
    QString expected = tree.top;
    for (int i = -1; i >= -tree.levels(); --i) {
        QCOMPARE(box.List(i), expected);
        expected = expected.left(expected.lastIndexOf(QLatin1Char('/')));
    }
    QCOMPARE(box.List(-1 - tree.levels()), QStringLiteral("/"));
    QCOMPARE(box.List(-2 - tree.levels()), QString());
    QCOMPARE(errorNumberOf([&] { box.setListIndex(3); }), 380);

    // A folder that cannot be opened throws and keeps the open one.
    box.setListIndex(1);
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    for (const QString& bad : {tree.at("missing"), tree.at("file.txt"), QString()})
        QCOMPARE(errorNumberOf([&] { box.setPath(bad); }), rt::kPathNotFound);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(box.ListIndex(), 1);
    QCOMPARE(box.ListCount(), 3);
    box.setPath(tree.top + QLatin1Char('/'));  // the same folder, as a drop hands it over
    QCOMPARE(changes.count(), 0);
    box.setPath(tree.at("a/../b/./"));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.Path(), tree.at("b"));
    box.setPath(QStringLiteral("/"));
    QCOMPARE(box.Path(), QStringLiteral("/"));
}

void TestForms::dirListMouse()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox& box = tree.box;
    QWidget* viewport = box.viewport();
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    QList<QList<int>> presses;  // button and shift of each MouseDown
    QObject::connect(&box, &forms::DirListBox::MouseDown, [&](int button, int shift) {
        presses.append({button, shift});
    });
    // A single click selects, also an ancestor, but opens nothing; other
    // buttons report the press and leave the selection where it was.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, tree.pointOf(1));
    QCOMPARE(box.ListIndex(), 1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, tree.pointOf(-2));
    QCOMPARE(box.ListIndex(), -2);
    QTest::mouseClick(viewport, Qt::RightButton, {}, tree.pointOf(2));
    QTest::mouseClick(viewport, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                      tree.pointOf(1));
    QTest::mouseClick(viewport, Qt::MiddleButton, Qt::AltModifier, tree.pointOf(1));
    QCOMPARE(box.ListIndex(), -2);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(presses, (QList<QList<int>>{{1, 0}, {1, 0}, {2, 0}, {2, 3}, {4, 4}}));

    // A double click opens: a subfolder, the parent, not the open folder.
    doubleClick(viewport, tree.pointOf(1));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.Path(), tree.at("b"));
    doubleClick(viewport, tree.pointOf(-2));
    doubleClick(viewport, tree.pointOf(-1));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(box.Path(), tree.top);
    // A folder that vanished after it was listed: a warning, nothing opens.
    QVERIFY(removeFolder(tree.at("c")));
    MsgBoxRecorder boxes;
    doubleClick(viewport, tree.pointOf(2));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().style, rt::kVbExclamation);
    QVERIFY(boxes.boxes().first().prompt.contains(tree.at("c")));

    // The rows show the root whole and every other folder by its last name.
    const int open = static_cast<int>(tree.top.count(u'/'));
    QCOMPARE(box.model()->index(0, 0).data().toString(), QStringLiteral("/"));
    QCOMPARE(box.model()->index(open, 0).data().toString(), tree.top.section(u'/', -1));
    // Arrow keys select; Return opens the selected folder, as a double click does.
    box.setListIndex(0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.Path(), tree.top);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Path(), tree.at("b"));
}

// Refresh shows a new folder, here one whose name is not UTF-8, and keeps the
// selection; when the open folder is gone it opens the nearest ancestor.
void TestForms::dirListRefresh()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox& box = tree.box;
    const QByteArray odd = rt::encodeName(tree.top) + "/x\xFF\xFEy";
    const auto cleanup = qScopeGuard([&] { removeTree(odd); });
    QVERIFY(makeFolder(rt::decodeName(odd)) && makeFolder(rt::decodeName(odd + "/inner")));
    box.setListIndex(1);
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    box.Refresh();
    QCOMPARE(rt::encodeName(box.List(3)), odd);  // "x" sorts after a, b and c
    QCOMPARE(box.ListIndex(), 1);                // b is still selected
    QCOMPARE(changes.count(), 0);
    box.setPath(box.List(3));
    QCOMPARE(rt::encodeName(box.Path()), odd);
    QCOMPARE(rt::encodeName(box.List(0)), odd + "/inner");

    const QString deep = tree.at("a/deep");
    QVERIFY(makeFolder(deep));
    box.setPath(deep);
    QVERIFY(removeFolder(deep) && removeFolder(tree.at("a")));
    box.Refresh();
    QCOMPARE(changes.count(), 3);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(rt::encodeName(box.List(2)), odd);  // a is gone
}

void TestForms::driveList()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox other(&tree.folders, nullptr);
    other.setPath(QStringLiteral("/"));
    tree.box.setPath(tree.top);  // remembered last for its drive (the root may share it)
    forms::DriveListBox drives(&tree.folders, nullptr);
    QSignalSpy driveChanges(&drives, &forms::DriveListBox::Change);
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
    // A list given no folders keeps its own: it never saw tree.top opened.
    forms::DirListBox stranger;
    stranger.setPath(drive);
    QVERIFY(stranger.Path() != tree.top);
    QVERIFY(makeFolder(tree.at("a/x")));
    tree.box.setPath(tree.at("a/x"));
    QVERIFY(removeFolder(tree.at("a/x")));
    other.setPath(drive);
    QCOMPARE(other.Path(), rt::mountPointOf(tree.top));

    // Change only when the user picks another drive.
    if (drives.count() < 2)
        QSKIP("only one volume is mounted");
    drives.setDrive(forms::DriveListBox::mountPointOfDriveText(drives.itemText(1)));
    QCOMPARE(drives.currentIndex(), 1);
    QTest::keyClick(&drives, Qt::Key_Up);
    QCOMPARE(drives.currentIndex(), 0);
    QCOMPARE(driveChanges.count(), 1);
}

void TestForms::fileListNormalFilesSorted()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray odd = rt::encodeName(dir.path()) + "/r\xE9sum\xE9.txt";
    const auto cleanup = qScopeGuard([&] { removeTree(odd); });
    QVERIFY(makeFile(rt::decodeName(odd)));
    for (const char* name : {"b.txt", "a.txt", "C.txt", ".hidden", "z"})
        QVERIFY(makeFile(dir.filePath(QLatin1String(name))));
    QVERIFY(makeFolder(dir.filePath("sub")) && makeLink("a.txt", dir.filePath("to-file")) &&
            makeLink("sub", dir.filePath("to-folder")) &&
            makeLink("nowhere", dir.filePath("dangling")));

    forms::FileListBox box;
    box.setPath(dir.path());
    QByteArrayList names;
    for (int i = 0; i < box.ListCount(); ++i)
        names.append(rt::encodeName(box.List(i)));
    // Code-unit order; no hidden files, folders, links to folders or dangling links.
    QCOMPARE(names,
             (QByteArrayList{"C.txt", "a.txt", "b.txt", "r\xE9sum\xE9.txt", "to-file", "z"}));
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.List(-1), QString());  // no ancestors here

    box.setListIndex(2);
    QVERIFY(makeFile(dir.filePath("0.txt")));
    box.Refresh();
    QCOMPARE(box.List(box.ListIndex()), QStringLiteral("b.txt"));  // follows its name
    QCOMPARE(errorNumberOf([&] { box.setListIndex(7); }), 380);

    // A path that is no folder throws and keeps the listing; an empty folder is no error.
    for (const char* bad : {"missing", "a.txt"})
        QCOMPARE(errorNumberOf([&] { box.setPath(dir.filePath(QLatin1String(bad))); }),
                 rt::kPathNotFound);
    QCOMPARE(box.Path(), dir.path());
    QCOMPARE(box.ListCount(), 7);
    box.setPath(dir.filePath("sub"));
    QCOMPARE(box.ListCount(), 0);
}
