// The forms layer: drops, boxes, the application object, the controls and
// the list boxes.
#include "forms/App.h"
#include "forms/Controls.h"
#include "forms/InstanceLock.h"
#include "forms/InstanceRaise.h"
#include "forms/Interaction.h"
#include "forms/ListBoxes.h"
#include "forms/MessageBox.h"
#include "runtime/MountTable.h"
#include "runtime/MsgBox.h"
#include "runtime/NameCodec.h"
#include "support/DiskTree.h"
#include "support/ErrorNumber.h"
#include "support/MsgBoxRecorder.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether another process finds the lock held: a child asks, and answers
// with its exit status.
bool heldInAnotherProcess(const QString& lockName)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(forms::InstanceLock(lockName).heldByAnother() ? 0 : 1);
    int status = 1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

const QString kOdd = rt::decodeName("r\xE9sum\xE9");  // a name that is not UTF-8

// A list as "open folder|selected index|entries...", top shown as "~".
template <typename List> QString listed(const List& box, const QString& top)
{
    QStringList all{box.Path(), QString::number(box.ListIndex())};
    for (int i = 0; i < box.ListCount(); ++i)
        all.append(box.List(i));
    return all.join(u'|').replace(top, QStringLiteral("~"));
}

// <temp>/top: the folders b, a, c, plus what the folder list must not show (a
// hidden folder, files, links), and a folder list. Entries are made and
// removed by their bytes: QTemporaryDir cannot remove names that are not UTF-8.
struct Tree {
    QTemporaryDir dir;
    QString top = dir.path() + QStringLiteral("/top");
    forms::DriveFolders folders;  // shared with the other lists of a test
    forms::DirListBox box{&folders, nullptr};
    QAbstractItemModelTester checked{box.model()};  // Qt's rules for a model, at every change
    bool ok = dir.isValid() &&
              make({"", "b/", "a/", "c/", ".hidden/", ".h", "Z.txt", "file.txt", kOdd}) &&
              ::symlink("a", raw("link")) == 0 && ::symlink("file.txt", raw("to-file")) == 0 &&
              ::symlink("nowhere", raw("dangling")) == 0;

    ~Tree() { DiskTree::removeTree(dir.path()); }
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
    // Where a click at a list index lands: the root, the ancestors and the open
    // folder come first.
    QPoint pointOf(int listIndex) const
    {
        return box.visualRect(box.model()->index(levels() + 1 + listIndex, 0)).center();
    }
};

}  // namespace

class TestForms : public QObject {
    Q_OBJECT
private slots:
    // A drop's URI list as local paths (a null list: the drop carries none).
    void droppedFiles_data()
    {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("in order; comments, other hosts and schemes skipped")
            << QByteArray("# c\r\nfile:///b/z\r\nfile://elsewhere/x\r\nhttp://h/y\r\nfile:///a/y")
            << QStringList{"/b/z", "/a/y"};
        QTest::newRow("not UTF-8, kept lossless")
            << QByteArray("file:///a%FF/%E3%81%82%FE\n")
            << QStringList{rt::decodeName("/a\xFF/\xE3\x81\x82\xFE")};
        QTest::newRow("localhost; escapes decoded once")
            << QByteArray("file://localhost/a%20b%25%23\r\n") << QStringList{"/a b%#"};
        QTest::newRow("trailing separator dropped, root kept")
            << QByteArray("file:///tmp/dir/\r\nfile:///\r\n") << QStringList{"/tmp/dir", "/"};
        QTest::newRow("plain text only") << QByteArray() << QStringList{};
    }
    void droppedFiles()
    {
        QFETCH(QByteArray, uriList);
        QMimeData data;
        data.setData(uriList.isNull() ? "text/plain" : "text/uri-list", uriList);
        QTEST(forms::droppedFiles(&data), "expected");
    }

    // Onto a list: plain text is refused, files arrive as OLEDragDrop; onto a
    // text box plain text goes on to the box as text. (More drops: the window's tests.)
    void fileDropTargets()
    {
        for (const int row : {0, 1, 2}) {
            const bool list = row < 2, files = row == 1;
            forms::TextBox box;
            forms::FileListBox fileList;
            QSignalSpy drops(&fileList, &forms::FileListBox::OLEDragDrop);
            QWidget* receiver = list ? fileList.viewport() : &box;
            (list ? static_cast<forms::FileDropTarget&>(fileList) : box).setAcceptsFileDrops(true);
            QVERIFY((list ? &fileList : receiver)->acceptDrops() && receiver->acceptDrops());
            QMimeData data;
            data.setData(files ? "text/uri-list" : "text/plain", files ? "file:///a\r\n" : "typed");
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(receiver, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(receiver, &drop);
            QCOMPARE(enter.isAccepted(), row > 0);
            QCOMPARE(drops.count(), files ? 1 : 0);
            QCOMPARE(box.text(), row == 2 ? QStringLiteral("typed") : QString());
        }
    }

    void installedMessageBox()
    {
        forms::installMessageBox();
        QString shown;  // text format, title and text of the box shown
        // Closes the box from inside its own modal loop.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown =
                    QString::number(box->textFormat()) + box->windowTitle() + u'|' + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        QCOMPARE(rt::MsgBox(QStringLiteral("指定なし。\r\n<b>何か</b>\r。"), rt::kVbExclamation),
                 rt::kVbOk);
        rt::setMsgBoxHandler({});
        // Plain text, never markup, titled by the application when no title is given.
        QCOMPARE(shown, QString::number(Qt::PlainText) + "Nemirou|指定なし。\n<b>何か</b>\n。");
        QMessageBox box;
        forms::configureMessageBox(box, 16, QStringLiteral("a"), QString());
        QVERIFY(box.windowTitle().isEmpty());  // an empty title stays empty
        // The icon from the style's icon bits; the button bits (here 1) do not count.
        QCOMPARE((QList{box.icon(), forms::messageBoxIcon(0), forms::messageBoxIcon(49),
                        forms::messageBoxIcon(64)}),
                 (QList{QMessageBox::Critical, QMessageBox::NoIcon, QMessageBox::Warning,
                        QMessageBox::Information}));
    }

    // The value reads back as set, and only a grey box cycles through grey on
    // clicks (value, tristate); a value other than 0, 1 and 2 is refused.
    void checkBoxValue()
    {
        forms::CheckBox box(QStringLiteral("x"));
        for (int value : {2, 1, 2, 0, 2}) {
            box.setValue(value);
            QCOMPARE((QList<int>{box.Value(), box.isTristate()}), (QList<int>{value, value == 2}));
        }
        QCOMPARE(errorNumberOf([&] { box.setValue(3); }), 380);
    }

    void appPrevInstanceAndPath()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = QStringLiteral("/nemirou-%1.lock").arg(::getuid());
        // A runtime folder that does not exist gives way to the temporary folder.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()) + "/missing");
        QCOMPARE(forms::instanceLockFileName(), QDir::tempPath() + name);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()) + '/');
        const QString lockName = forms::instanceLockFileName();
        QCOMPARE(lockName, dir.path() + name);

        // Asking again does not count itself.
        QVERIFY(!forms::App::PrevInstance() && !forms::App::PrevInstance());
        // It took the lock over: a second start of the program finds it taken.
        QVERIFY(heldInAnotherProcess(lockName));
        // A later start calls the holder, which brings its minimised window back
        // and activates it; nobody listening is no error, and a socket file left
        // behind by an ended holder is replaced.
        QVERIFY(!forms::askToRaise(lockName + ".socket"));
        QVERIFY(QFile(lockName + ".socket").open(QIODevice::WriteOnly));
        forms::App::ListenForLaterStarts();
        QWidget window;
        window.showMinimized();
        QVERIFY(window.isMinimized() && !window.isActiveWindow());
        forms::App::RaisePrevInstance();
        QTRY_VERIFY(!window.isMinimized() && window.isActiveWindow());

        // The application's folder is the working directory, with its bytes; the
        // home folder once that directory is removed.
        const QByteArray folder = QFile::encodeName(dir.path()) + "/x\xff";
        const QString cwd = QDir::currentPath();
        QVERIFY(::mkdir(folder.constData(), 0700) == 0 && ::chdir(folder.constData()) == 0);
        const QString path = forms::App::Path();
        ::rmdir(folder.constData());
        const QString removed = forms::App::Path();
        QVERIFY(QDir::setCurrent(cwd));
        QCOMPARE(path, dir.path() + QStringLiteral("/x") + QChar(0xDCFF));
        QCOMPARE(removed, QDir::homePath());
    }

    void instanceLock_data()
    {
        QTest::addColumn<QString>("found");
        QTest::newRow("link to elsewhere") << "link";
        QTest::newRow("another user's file") << "owner";
        QTest::newRow("left by a holder that was killed") << "killed";
    }
    // Whatever sits at the lock's name, the first start runs and a later one is
    // kept out, also in another process; what is not ours is not used, and the
    // lock is taken at the next name.
    void instanceLock()
    {
        QFETCH(QString, found);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString lockName = dir.filePath(QStringLiteral("x.lock"));
        const QByteArray raw = QFile::encodeName(lockName);
        if (found == u"link") {
            QCOMPARE(::symlink("elsewhere", raw.constData()), 0);
        } else if (found == u"owner") {
            if (::geteuid() != 0)
                QSKIP("giving a file to another user needs root");
            QCOMPARE(::mknod(raw.constData(), S_IFREG | 0600, 0), 0);
            QCOMPARE(::chown(raw.constData(), 65534, 65534), 0);
        } else {
            const pid_t holder = ::fork();
            if (holder == 0) {
                forms::InstanceLock lock(lockName);
                if (!lock.heldByAnother())
                    ::raise(SIGKILL);
                ::_exit(1);
            }
            int status = 0;
            QVERIFY(::waitpid(holder, &status, 0) == holder && WIFSIGNALED(status));
        }
        forms::InstanceLock first(lockName);
        QVERIFY(!first.heldByAnother());
        QCOMPARE(first.socketName(), lockName + (found == u"killed" ? "" : ".1") + ".socket");
        forms::InstanceLock later(lockName);
        QVERIFY(later.heldByAnother());
        QCOMPARE(later.socketName(), first.socketName());  // so the later start calls it
        QVERIFY(heldInAnotherProcess(lockName));
    }

    // The folder list: what it shows, what opens a folder, clicks, keys and
    // refreshes; then the file list and the drive list on the same tree.
    void lists()
    {
        Tree tree;
        QVERIFY(tree.ok);
        forms::DirListBox& box = tree.box;
        box.setPath(tree.top);
        box.resize(300, 400);
        box.show();
        QCOMPARE(listed(box, tree.top), "~|-1|~/a|~/b|~/c");
        // The open folder, then its ancestors up to the root; nothing beyond either end.
        QCOMPARE(QStringList({box.List(-1), box.List(-2), box.List(-1 - tree.levels())}),
                 QStringList({tree.top, tree.dir.path(), QStringLiteral("/")}));
        QCOMPARE(box.List(3) + box.List(-2 - tree.levels()), QString());
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
        QCOMPARE(listed(box, tree.top), "~|1|~/a|~/b|~/c|~/x" + kOdd);

        // A single click selects, also an ancestor, but opens nothing; other
        // buttons report the press (button, shift) and leave the selection.
        QStringList presses;
        QObject::connect(&box, &forms::DirListBox::MouseDown, [&](int button, int shift) {
            presses.append(QString::number(button * 10 + shift));
        });
        const auto click = [&](int index, Qt::MouseButton button = Qt::LeftButton,
                               Qt::KeyboardModifiers keys = {}) {
            QTest::mouseClick(box.viewport(), button, keys, tree.pointOf(index));
        };
        // A double click as a user makes it: a click, then the second press.
        const auto doubleClick = [&](int index) {
            click(index);
            QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, tree.pointOf(index));
            QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, tree.pointOf(index));
        };
        click(-2);
        click(1, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
        click(1, Qt::MiddleButton, Qt::AltModifier);
        QCOMPARE(box.ListIndex(), -2);
        QCOMPARE(presses, (QStringList{"10", "23", "44"}));
        // A double click opens: a subfolder, the parent, not the open folder.
        doubleClick(3);
        QCOMPARE(listed(box, tree.top), "~/x" + kOdd + "|-1|~/x" + kOdd + "/inner");
        doubleClick(-2);
        doubleClick(-1);
        // A folder that vanished after it was listed: a warning, nothing opens.
        QCOMPARE(::rmdir(tree.raw("c")), 0);
        MsgBoxRecorder boxes;
        doubleClick(2);
        QCOMPARE(listed(box, tree.top), "~|2|~/a|~/b|~/c|~/x" + kOdd);
        QCOMPARE(boxes.shown(),
                 QStringList{"48|<app>|フォルダを開けませんでした。\r\n" + tree.at("c")});

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
        QVERIFY(tree.make({"b/deep/"}));
        box.setPath(tree.at("a/../b/./deep/"));
        QVERIFY(::rmdir(tree.raw("b/deep")) == 0 && ::rmdir(tree.raw("b")) == 0);
        box.Refresh();
        QCOMPARE(listed(box, tree.top), "~|-1|~/a|~/x" + kOdd);
        QCOMPARE(changes.count(), 5);

        // The file list: normal files in code-unit order; no hidden files,
        // folders, links to folders or dangling links. The selection follows
        // its name through a refresh.
        forms::FileListBox files;
        files.setPath(tree.top);
        QCOMPARE(listed(files, tree.top), "~|-1|Z.txt|file.txt|" + kOdd + "|to-file");
        files.setListIndex(1);
        QVERIFY(tree.make({"0.txt"}));
        files.Refresh();
        QCOMPARE(files.List(-1) + files.List(5), QString());
        QCOMPARE(errorNumberOf([&] { files.setListIndex(5); }), 380);
        // A path that is no folder throws and keeps the listing; an empty folder is no error.
        for (const char* bad : {"missing", "file.txt"})
            QCOMPARE(errorNumberOf([&] { files.setPath(tree.at(bad)); }), rt::kPathNotFound);
        QCOMPARE(listed(files, tree.top), "~|2|0.txt|Z.txt|file.txt|" + kOdd + "|to-file");
        files.setPath(tree.at("a"));
        QCOMPARE(files.ListCount(), 0);

        // A drive text opens the drive's remembered folder, or its root when
        // that folder is gone. (Picking a drive: the window's tests.)
        forms::DirListBox other(&tree.folders, nullptr);
        other.setPath(QStringLiteral("/"));
        box.setPath(tree.top);  // remembered last for its drive (the root may share it)
        forms::DriveListBox drives(&tree.folders, nullptr);
        drives.setDrive(tree.top);
        QVERIFY(!forms::DriveListBox::isDriveText(tree.top + QStringLiteral(" [ext4]")) &&
                drives.findData(QStringLiteral("/proc")) < 0);  // a pseudo file system
        other.setPath(drives.Drive());
        QCOMPARE(other.Path(), tree.top);
        QVERIFY(tree.make({"a/x/"}));
        box.setPath(tree.at("a/x"));
        QCOMPARE(::rmdir(tree.raw("a/x")), 0);
        other.setPath(drives.Drive());
        QCOMPARE(other.Path(), rt::mountPointOf(tree.top));
    }
};

QTEST_MAIN(TestForms)
#include "tst_Forms.moc"
