#include "forms/ListBoxes.h"

#include "forms/FolderScan.h"
#include "forms/PathText.h"
#include "runtime/MountTable.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

#include <QHash>
#include <QSet>

// A drive text is "<mount point> [<file system>]", e.g. "/home [ext4]". It is
// recognised only when that mount point is mounted with that file system, so
// a folder that merely looks like one is still taken as a folder.
namespace forms {
namespace {

const QLatin1String kTypeOpen(" [");
const QLatin1Char kTypeClose(']');

// File systems that hold no user files.
bool isPseudoFileSystem(const QString& type)
{
    static const QSet<QString> pseudo{
        QStringLiteral("proc"),        QStringLiteral("sysfs"),
        QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("devpts"),      QStringLiteral("mqueue"),
        QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("securityfs"),  QStringLiteral("pstore"),
        QStringLiteral("bpf"),         QStringLiteral("configfs"),
        QStringLiteral("fusectl"),     QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),      QStringLiteral("binfmt_misc"),
        QStringLiteral("nsfs"),        QStringLiteral("rpc_pipefs"),
        QStringLiteral("efivarfs"),    QStringLiteral("devtmpfs"),
        QStringLiteral("selinuxfs"),   QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"), QStringLiteral("ramfs"),
    };
    return pseudo.contains(type);
}

bool isFolderQuietly(const QString& path)
{
    try {
        return folderscan::isFolder(path);
    } catch (const rt::VbError&) {
        return false;
    }
}

QString driveText(const rt::MountPoint& mount)
{
    return mount.path + kTypeOpen + mount.fsType + kTypeClose;
}

// The volumes to offer, one per mount point (a later mount hides an earlier
// one on the same point), "/" always among them.
QList<rt::MountPoint> userVolumes()
{
    QList<rt::MountPoint> volumes;
    QHash<QString, qsizetype> position;
    for (const rt::MountPoint& mount : rt::mountPoints()) {
        // Pseudo file systems hold no user files; a file mounted over a file
        // (containers do so) is no drive.
        if (mount.path != rt::kPathSeparatorText &&
            (isPseudoFileSystem(mount.fsType) || !isFolderQuietly(mount.path)))
            continue;
        if (const auto it = position.constFind(mount.path); it != position.cend()) {
            volumes[*it] = mount;
            continue;
        }
        position.insert(mount.path, volumes.size());
        volumes.append(mount);
    }
    if (!position.contains(rt::kPathSeparatorText))
        volumes.prepend({rt::kPathSeparatorText, QString()});
    return volumes;
}

bool holds(const QString& mountPoint, const QString& path)
{
    if (mountPoint == rt::kPathSeparatorText)
        return path.startsWith(rt::kPathSeparator);
    return path == mountPoint ||
           (path.startsWith(mountPoint) && path.at(mountPoint.size()) == rt::kPathSeparator);
}

}  // namespace

DriveListBox::DriveListBox(DriveFolders* folders, QWidget* parent)
    : QComboBox(parent), m_ownFolders(folders ? nullptr : std::make_unique<DriveFolders>()),
      m_folders(folders ? folders : m_ownFolders.get())
{
    reloadVolumes();
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == m_lastIndex)
            return;
        m_lastIndex = index;
        emit Change();
    });
}

DriveListBox::~DriveListBox() = default;

void DriveListBox::reloadVolumes()
{
    const QString current = currentIndex() >= 0 ? itemData(currentIndex()).toString() : QString();
    const QSignalBlocker blocker(this);
    clear();
    for (const rt::MountPoint& volume : userVolumes())
        addItem(driveText(volume), volume.path);
    m_lastIndex = -1;
    setDrive(current.isEmpty() ? pathtext::currentFolder() : current);
}

void DriveListBox::showPopup()
{
    // Volumes come and go; offer the ones mounted now.
    reloadVolumes();
    QComboBox::showPopup();
}

QString DriveListBox::Drive() const
{
    return currentText();
}

void DriveListBox::setDrive(const QString& driveTextOrPath)
{
    const QString path =
        isDriveText(driveTextOrPath) ? mountPointOfDriveText(driveTextOrPath) : driveTextOrPath;
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString mountPoint = itemData(i).toString();
        if (holds(mountPoint, path) && mountPoint.size() > bestLength) {
            best = i;
            bestLength = mountPoint.size();
        }
    }
    if (best < 0)
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(best);
    m_lastIndex = best;
}

bool DriveListBox::isDriveText(const QString& text)
{
    if (!text.endsWith(kTypeClose))
        return false;
    const qsizetype open = text.lastIndexOf(kTypeOpen);
    if (open < 1 || !text.startsWith(rt::kPathSeparator))
        return false;
    const QString mountPoint = text.left(open);
    const QString type =
        text.mid(open + kTypeOpen.size(), text.size() - open - kTypeOpen.size() - 1);
    for (const rt::MountPoint& mount : rt::mountPoints()) {
        if (mount.path == mountPoint && mount.fsType == type)
            return true;
    }
    return mountPoint == rt::kPathSeparatorText && type.isEmpty();
}

QString DriveListBox::mountPointOfDriveText(const QString& driveText)
{
    const qsizetype open = driveText.lastIndexOf(kTypeOpen);
    return open < 0 ? QString() : driveText.left(open);
}

QString DriveListBox::rememberedFolder(const QString& mountPoint) const
{
    return m_folders->folderOf(mountPoint);
}

}  // namespace forms
