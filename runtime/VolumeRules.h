#pragma once

#include <QByteArray>
#include <QString>

// What a volume does with names: camera cards, USB sticks and drives shared
// with Windows (FAT, exFAT, NTFS, SMB) fold letter case and refuse some
// characters, and their drivers do not all answer a rename truthfully. A
// run learns the rules once per volume and checks every new name against
// them before anything moves.
namespace rt {

struct VolumeRules {
    QString type;               // as recognised: "ext4", "vfat", "exfat", "ntfs"...
    bool foldsCase = false;     // "A.JPG" and "a.jpg" are one name
    bool windowsNames = false;  // refuses " * : < > ? \ | and control characters
    bool noTrailingDotOrBlank = false;
    bool stableInodes = true;   // inode numbers survive an unmount
    bool checkRenames = false;  // a rename's success is confirmed on disk
    bool caseTested = false;    // foldsCase was asked of the volume itself
    // fusefat drops the contents of a folder it renames (and damages the
    // FAT): only an empty folder may be renamed there.
    bool emptyFolderRenamesOnly = false;

    bool isPlain() const { return !foldsCase && !windowsNames && !checkRenames; }
};

// The rules of a file-system type as the mount table names it ("vfat",
// "fuse.fusefat", "cifs"...). For a FUSE block mount ("fuseblk") the
// device's own type (exfat, ntfs) is given as deviceType, or is empty when
// it could not be read. Whether the volume folds case is the type's usual
// answer; volumeRulesAt() asks the volume itself where it can.
VolumeRules rulesOfType(const QString& mountType, const QString& deviceType = QString());

// The rules of the volume holding an open folder: its type from the kernel
// and the mount table, a FUSE block device's type from udev or libblkid,
// and, where the type may fold case, a stat of a listed name spelled in the
// other case. Costs one statfs for a plain local volume.
VolumeRules volumeRulesAt(int folder);

// Asks the volume of an open folder whether it folds case, by a listed
// name spelled in the other case; false when the folder holds no name to
// ask with.
bool testCaseFolding(int folder, bool& folds);

// True when the volume cannot hold a name of these bytes (one path
// component).
bool refusesName(const VolumeRules& rules, const QByteArray& name);

// True when the two names differ but fold to the same one.
bool differInCaseOnly(const QByteArray& a, const QByteArray& b);

}  // namespace rt
