#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// The mounted volumes ("drives" on this platform), read from
// /proc/self/mountinfo with its octal escapes decoded.
namespace rt {

struct MountPoint {
    QString path;                // absolute mount point, "/" for the root
    QString fsType;              // e.g. "ext4", "tmpfs", "proc"
    QString source = QString();  // e.g. "/dev/sdb1"
    dev_t device = 0;            // the st_dev of its entries
};

QList<MountPoint> mountPoints();

// The mount point that holds an absolute path, textually: the longest mount
// point that is a whole-component prefix of it. "" for a relative path.
QString mountPointOf(const QString& absolutePath);
// The same over a given table.
QString mountPointOf(const QString& absolutePath, const QList<MountPoint>& mounts);

// The table held in the text of a mountinfo file; lines it cannot read are
// left out.
QList<MountPoint> parseMountInfo(const QByteArray& text);

}  // namespace rt
