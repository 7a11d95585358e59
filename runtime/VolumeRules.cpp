#include "runtime/VolumeRules.h"

#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"

#include <QFile>

#include <blkid/blkid.h>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace rt {
namespace {

// statfs magic numbers of local POSIX volumes, answered without reading
// the mount table.
constexpr unsigned long kPlainMagic[] = {
    0xEF53,      // ext2, ext3, ext4
    0x01021994,  // tmpfs
    0x9123683E,  // btrfs
    0x58465342,  // xfs
    0xF2F52010,  // f2fs
    0x794C7630,  // overlayfs
    0x858458F6,  // ramfs
    0x2FC12FC1,  // zfs
    0xCA451A4E,  // bcachefs
};

enum class Family { Plain, Fat, ExFat, Ntfs, Smb, UnknownBlock };

Family familyOf(const QString& type)
{
    static const struct {
        const char* name;
        Family family;
    } kTypes[] = {
        {"vfat", Family::Fat},        {"msdos", Family::Fat},   {"fat", Family::Fat},
        {"umsdos", Family::Fat},      {"fusefat", Family::Fat}, {"exfat", Family::ExFat},
        {"ntfs", Family::Ntfs},       {"ntfs3", Family::Ntfs},  {"ntfs-3g", Family::Ntfs},
        {"lowntfs-3g", Family::Ntfs}, {"cifs", Family::Smb},    {"smb3", Family::Smb},
        {"smbfs", Family::Smb},
    };
    for (const auto& known : kTypes) {
        if (type == QLatin1String(known.name))
            return known.family;
    }
    return Family::Plain;
}

// A FUSE block device's own type: udev's record where udev runs (readable
// by every user), else the device's superblock through libblkid (readable
// by root and the disk group).
QString deviceType(dev_t device, const QString& source)
{
    QFile record(QStringLiteral("/run/udev/data/b%1:%2").arg(major(device)).arg(minor(device)));
    if (record.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : record.readAll().split('\n')) {
            if (line.startsWith("E:ID_FS_TYPE="))
                return QString::fromLatin1(line.mid(13));
        }
    }
    if (!source.startsWith(u'/'))
        return QString();
    QString type;
    if (blkid_probe probe = blkid_new_probe_from_filename(encodeName(source).constData())) {
        blkid_probe_enable_superblocks(probe, 1);
        blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_TYPE);
        const char* value = nullptr;
        if (blkid_do_safeprobe(probe) == 0 &&
            blkid_probe_lookup_value(probe, "TYPE", &value, nullptr) == 0 && value)
            type = QString::fromLatin1(value);
        blkid_free_probe(probe);
    }
    return type;
}

}  // namespace

// A listed name with a letter, spelled in the other case, resolves on a
// folding volume and on no other (unless the folder lists that spelling
// too).
bool testCaseFolding(int folder, bool& folds)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return false;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return false;
    }
    ::rewinddir(dir);  // the copy shares the folder's reading position
    QByteArray swapped;
    bool decided = false;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (swapped.isEmpty()) {
            QByteArray other(name);
            for (char& c : other) {
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
                else if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            }
            if (other == name)
                continue;
            struct stat info {};
            if (::fstatat(folder, other.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                folds = false;  // another spelling is another name
                decided = true;
                break;
            }
            swapped = other;
            ::rewinddir(dir);  // it resolves: folding, unless it is listed itself
            folds = true;
            decided = true;
            continue;
        }
        if (swapped == name) {
            folds = false;
            break;
        }
    }
    ::closedir(dir);
    return decided;
}

VolumeRules rulesOfType(const QString& mountType, const QString& deviceType)
{
    const bool fuse = mountType.startsWith(QLatin1String("fuse"));
    QString type = mountType;
    if (mountType == QLatin1String("fuseblk"))
        type = deviceType.isEmpty() ? QStringLiteral("fuseblk") : deviceType;
    else if (mountType.startsWith(QLatin1String("fuse.")))
        type = mountType.mid(5);
    VolumeRules rules;
    rules.type = type;
    const Family family = type == QLatin1String("fuseblk") ? Family::UnknownBlock : familyOf(type);
    rules.checkRenames = fuse || family != Family::Plain;
    rules.emptyFolderRenamesOnly = mountType == QLatin1String("fuse.fusefat");
    if (family == Family::Plain)
        return rules;
    // Every Windows volume: its names are read on Windows too, where these
    // cannot be opened, and several Linux drivers keep or drop a trailing
    // dot silently.
    rules.windowsNames = true;
    rules.noTrailingDotOrBlank = true;
    // NTFS keeps case through ntfs-3g and ntfs3; the others fold it. An
    // unknown FUSE block volume is asked (volumeRulesAt).
    rules.foldsCase = family != Family::Ntfs && family != Family::UnknownBlock;
    // FAT-family volumes number their entries anew at each mount; a share's
    // numbers depend on the server and the mount options.
    rules.stableInodes = family == Family::Ntfs;
    return rules;
}

VolumeRules volumeRulesAt(int folder)
{
    struct statfs volume {};
    if (::fstatfs(folder, &volume) != 0)
        return VolumeRules{};
    const auto magic = static_cast<unsigned long>(volume.f_type);
    for (const unsigned long plain : kPlainMagic) {
        if (magic == plain)
            return VolumeRules{};
    }
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return VolumeRules{};
    MountPoint found;
    for (const MountPoint& mount : mountPoints()) {
        if (mount.device == info.st_dev) {
            found = mount;
            break;
        }
    }
    const QString device = found.fsType == QLatin1String("fuseblk")
                               ? deviceType(found.device, found.source)
                               : QString();
    VolumeRules rules = rulesOfType(found.fsType, device);
    if (rules.windowsNames) {
        bool folds = false;
        if (testCaseFolding(folder, folds)) {
            rules.foldsCase = folds;
            rules.caseTested = true;
        }
    }
    return rules;
}

bool refusesName(const VolumeRules& rules, const QByteArray& name)
{
    if (!rules.windowsNames || name.isEmpty())
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::strchr("\"*:<>?\\|", c) != nullptr)
            return true;
    }
    const char last = name.back();
    return rules.noTrailingDotOrBlank && (last == '.' || last == ' ');
}

bool differInCaseOnly(const QByteArray& a, const QByteArray& b)
{
    if (a == b || a.size() != b.size())
        return a != b && decodeName(a).toCaseFolded() == decodeName(b).toCaseFolded();
    bool ascii = true;
    for (qsizetype i = 0; i < a.size() && ascii; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        ascii = x < 0x80 && y < 0x80;
        if (ascii && x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z'))
            return false;
    }
    return ascii || decodeName(a).toCaseFolded() == decodeName(b).toCaseFolded();
}

}  // namespace rt
