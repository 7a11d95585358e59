#include "tst_Forms.h"

#include "FsFixture.h"
#include "forms/ListBoxes.h"
#include "runtime/MountTable.h"
#include "runtime/VbError.h"
#include "support/MsgBoxRecorder.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// <temp>/top with the subfolders b, a and c, plus entries the list must not
// show: a hidden folder, a file and a link to a folder.
struct Tree {
    QTemporaryDir dir;
    QString top;
    bool ok = false;

    Tree()
    {
        top = dir.path() + QStringLiteral("/top");
        ok = dir.isValid() && fsfixture::makeFolder(top);
        for (const char* name : {"b", "a", "c", ".hidden"})
            ok = ok && fsfixture::makeFolder(top + QLatin1Char('/') + QLatin1String(name));
        ok = ok && fsfixture::makeFile(top + QStringLiteral("/file.txt"));
        ok = ok && fsfixture::makeLink(fsfixture::bytes(top + QStringLiteral("/a")),
                                       fsfixture::bytes(top + QStringLiteral("/link")));
    }
};

// Where a click at a list index lands.
QPoint pointOf(const forms::DirListBox& box, int listIndex)
{
    int row = 0;
    for (int i = -1; i >= -100 && !box.List(i).isEmpty(); --i)
        row = -i;  // the chain length so far
    return box.visualRect(box.model()->index(row + listIndex, 0)).center();
}

void doubleClick(QWidget* viewport, QPoint at)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

}  // namespace

void TestForms::dirListIndexMeaning()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.setPath(tree.top);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.ListCount(), 3);
    QCOMPARE(box.List(0), tree.top + QStringLiteral("/a"));
    QCOMPARE(box.List(1), tree.top + QStringLiteral("/b"));
    QCOMPARE(box.List(2), tree.top + QStringLiteral("/c"));
    QCOMPARE(box.List(3), QString());
    QCOMPARE(box.List(-1), tree.top);
    QCOMPARE(box.List(-2), tree.dir.path());
    // The ancestors run up to the root, one per folder level.
    const int levels = static_cast<int>(tree.top.count(QLatin1Char('/')));
    QCOMPARE(box.List(-1 - levels), QStringLiteral("/"));
    QCOMPARE(box.List(-2 - levels), QString());
    QString expected = tree.top;
    for (int i = -1; i > -1 - levels; --i) {
        QCOMPARE(box.List(i), expected);
        expected = expected.left(expected.lastIndexOf(QLatin1Char('/')));
    }
    box.setListIndex(-2);
    QCOMPARE(box.ListIndex(), -2);
    box.setListIndex(2);
    QCOMPARE(box.ListIndex(), 2);
    QVERIFY_THROWS_EXCEPTION(rt::VbError, box.setListIndex(3));
}

void TestForms::dirListSingleClickSelects()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.resize(300, 400);
    box.setPath(tree.top);
    box.show();
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    QSignalSpy presses(&box, &forms::DirListBox::MouseDown);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, pointOf(box, 1));
    QCOMPARE(box.ListIndex(), 1);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(presses.count(), 1);
    QCOMPARE(presses.first().at(0).toInt(), 1);
    // Selecting an ancestor does not open it either.
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, pointOf(box, -2));
    QCOMPARE(box.ListIndex(), -2);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(changes.count(), 0);
}

void TestForms::dirListDoubleClickOpens()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.resize(300, 400);
    box.setPath(tree.top);
    box.show();
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    doubleClick(box.viewport(), pointOf(box, 1));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.Path(), tree.top + QStringLiteral("/b"));
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.ListCount(), 0);
    // Up again through the parent entry.
    doubleClick(box.viewport(), pointOf(box, -2));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(box.Path(), tree.top);
    // The open folder itself: nothing changes.
    doubleClick(box.viewport(), pointOf(box, -1));
    QCOMPARE(changes.count(), 2);
}

void TestForms::dirListDoubleClickOnVanishedFolder()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.resize(300, 400);
    box.setPath(tree.top);
    box.show();
    QVERIFY(::rmdir(fsfixture::bytes(tree.top + QStringLiteral("/c")).constData()) == 0);
    MsgBoxRecorder boxes;
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    doubleClick(box.viewport(), pointOf(box, 2));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().style, rt::kVbExclamation);
    QVERIFY(boxes.boxes().first().prompt.contains(tree.top + QStringLiteral("/c")));
}

void TestForms::dirListRightClickKeepsSelection()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.resize(300, 400);
    box.setPath(tree.top);
    box.show();
    box.setListIndex(0);
    QSignalSpy presses(&box, &forms::DirListBox::MouseDown);
    QTest::mouseClick(box.viewport(), Qt::RightButton, {}, pointOf(box, 2));
    QTest::mouseClick(box.viewport(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                      pointOf(box, 1));
    QTest::mouseClick(box.viewport(), Qt::MiddleButton, Qt::AltModifier, pointOf(box, 1));
    QCOMPARE(box.ListIndex(), 0);
    QCOMPARE(presses.count(), 3);
    QCOMPARE(presses.at(0).at(0).toInt(), 2);
    QCOMPARE(presses.at(0).at(1).toInt(), 0);
    QCOMPARE(presses.at(1).at(0).toInt(), 2);
    QCOMPARE(presses.at(1).at(1).toInt(), 3);
    QCOMPARE(presses.at(2).at(0).toInt(), 4);
    QCOMPARE(presses.at(2).at(1).toInt(), 4);
}

void TestForms::dirListSetPathMissingKeepsFolder()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.setPath(tree.top);
    box.setListIndex(1);
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    for (const QString& bad : {tree.top + QStringLiteral("/missing"),
                               tree.top + QStringLiteral("/file.txt"), QString()}) {
        try {
            box.setPath(bad);
            QFAIL(qPrintable(QStringLiteral("opened ") + bad));
        } catch (const rt::VbError& error) {
            QCOMPARE(error.number(), rt::kPathNotFound);
        }
    }
    QCOMPARE(changes.count(), 0);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(box.ListIndex(), 1);
    QCOMPARE(box.ListCount(), 3);
}

void TestForms::dirListSetPathSameFolderAndTrailingSeparator()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.setPath(tree.top);
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    box.setPath(tree.top + QStringLiteral("/"));  // as a drop hands the folder over
    QCOMPARE(changes.count(), 0);
    QCOMPARE(box.Path(), tree.top);
    box.setPath(tree.top + QStringLiteral("/a/../b/./"));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.Path(), tree.top + QStringLiteral("/b"));
    box.setPath(QStringLiteral("/"));
    QCOMPARE(box.Path(), QStringLiteral("/"));
    QCOMPARE(box.List(-1), QStringLiteral("/"));
    QCOMPARE(box.List(-2), QString());
}

void TestForms::dirListNamesNotUtf8()
{
    Tree tree;
    QVERIFY(tree.ok);
    const QByteArray odd = fsfixture::bytes(tree.top) + "/x\xFF\xFEy";
    const fsfixture::RemoveOnExit cleanup(odd);
    QVERIFY(fsfixture::makeFolder(odd));
    QVERIFY(fsfixture::makeFolder(odd + "/inner"));
    forms::DirListBox box;
    box.setPath(tree.top);
    QCOMPARE(box.ListCount(), 4);
    int found = -1;
    for (int i = 0; i < box.ListCount(); ++i) {
        if (rt::encodeName(box.List(i)) == odd)
            found = i;
    }
    QVERIFY(found >= 0);
    box.setPath(box.List(found));
    QCOMPARE(rt::encodeName(box.Path()), odd);
    QCOMPARE(box.ListCount(), 1);
    QCOMPARE(rt::encodeName(box.List(0)), odd + "/inner");
}

void TestForms::dirListRefresh()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.setPath(tree.top);
    QVERIFY(fsfixture::makeFolder(tree.top + QStringLiteral("/d")));
    box.setListIndex(1);
    QSignalSpy changes(&box, &forms::DirListBox::Change);
    box.Refresh();
    QCOMPARE(box.ListCount(), 4);
    QCOMPARE(box.List(3), tree.top + QStringLiteral("/d"));
    QCOMPARE(box.ListIndex(), 1);  // b is still selected
    QCOMPARE(changes.count(), 0);

    // The open folder and its parent vanish: the nearest ancestor opens.
    const QString deep = tree.top + QStringLiteral("/a/deep");
    QVERIFY(fsfixture::makeFolder(deep));
    box.setPath(deep);
    changes.clear();
    QVERIFY(::rmdir(fsfixture::bytes(deep).constData()) == 0);
    QVERIFY(::rmdir(fsfixture::bytes(tree.top + QStringLiteral("/a")).constData()) == 0);
    box.Refresh();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.Path(), tree.top);
    QCOMPARE(box.ListCount(), 3);
}

void TestForms::dirListDropEmitsFiles()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox box;
    box.resize(300, 400);
    box.setPath(tree.top);
    box.setAcceptsFileDrops(true);
    box.show();
    QSignalSpy drops(&box, &forms::DirListBox::OLEDragDrop);
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), "file:///tmp/one.txt\r\nfile:///tmp/two.txt\r\n");
    const QPointF at = box.viewport()->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(box.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(box.viewport(), &drop);
    QCOMPARE(drops.count(), 1);
    QCOMPARE(drops.first().first().toStringList(), (QStringList{"/tmp/one.txt", "/tmp/two.txt"}));
    QCOMPARE(box.Path(), tree.top);  // the list itself opens nothing
}

void TestForms::driveTextOpensRememberedFolder()
{
    Tree tree;
    QVERIFY(tree.ok);
    forms::DirListBox other;  // opens (and remembers) the current folder first
    forms::DirListBox box;
    box.setPath(tree.top);
    const QString mountPoint = rt::mountPointOf(tree.top);
    QCOMPARE(forms::DriveListBox::rememberedFolder(mountPoint), tree.top);

    forms::DriveListBox drives;
    drives.setDrive(tree.top);
    const QString drive = drives.Drive();
    QVERIFY(forms::DriveListBox::isDriveText(drive));
    QCOMPARE(forms::DriveListBox::mountPointOfDriveText(drive), mountPoint);
    QVERIFY(!forms::DriveListBox::isDriveText(tree.top));
    QVERIFY(!forms::DriveListBox::isDriveText(tree.top + QStringLiteral(" [ext4]")));

    other.setPath(QStringLiteral("/"));
    box.setPath(tree.top);  // remembered again: the root may be on the same drive
    QSignalSpy changes(&other, &forms::DirListBox::Change);
    other.setPath(drive);
    QCOMPARE(other.Path(), tree.top);
    QCOMPARE(changes.count(), 1);
    // A remembered folder that is gone falls back to the drive's root.
    QVERIFY(fsfixture::makeFolder(tree.top + QStringLiteral("/a/x")));
    box.setPath(tree.top + QStringLiteral("/a/x"));
    QVERIFY(::rmdir(fsfixture::bytes(tree.top + QStringLiteral("/a/x")).constData()) == 0);
    other.setPath(drive);
    QCOMPARE(other.Path(), mountPoint);
}

void TestForms::driveListChangeOnlyFromUser()
{
    forms::DriveListBox drives;
    QVERIFY(drives.count() >= 1);
    QCOMPARE(drives.itemData(0).toString().isEmpty(), false);
    QSignalSpy changes(&drives, &forms::DriveListBox::Change);
    drives.setDrive(QStringLiteral("/"));
    QCOMPARE(forms::DriveListBox::mountPointOfDriveText(drives.Drive()), QStringLiteral("/"));
    if (drives.count() < 2)
        QSKIP("only one volume is mounted");
    drives.setDrive(forms::DriveListBox::mountPointOfDriveText(drives.itemText(1)));
    QCOMPARE(drives.currentIndex(), 1);
    QCOMPARE(changes.count(), 0);
    // The user picks another drive with the keyboard.
    QTest::keyClick(&drives, Qt::Key_Up);
    QCOMPARE(drives.currentIndex(), 0);
    QCOMPARE(changes.count(), 1);
}
