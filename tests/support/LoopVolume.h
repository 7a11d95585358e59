#pragma once

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <unistd.h>

// A volume of a card or a Windows drive for one test: a fresh image on a
// loop device, mounted through the FUSE driver a desktop uses for it
// (exfat-fuse, fusefat, ntfs-3g with windows_names), unmounted and
// detached when it goes out of scope. Needs root and the drivers; each
// call returns why it could not, for a skip, or an empty text.
class LoopVolume {
public:
    LoopVolume() = default;
    ~LoopVolume()
    {
        if (m_Mounted)
            run({"umount", m_Path});
        if (!m_Device.isEmpty())
            run({"losetup", "-d", m_Device});
    }
    LoopVolume(const LoopVolume&) = delete;
    LoopVolume& operator=(const LoopVolume&) = delete;

    // type is "exfat", "vfat" or "ntfs"; the image and the mount point go
    // into folder.
    QString make(const QString& folder, const QString& type)
    {
        m_Type = type;
        m_Path = folder + QStringLiteral("/mnt");
        const QString image = folder + QStringLiteral("/volume.img");
        if (::geteuid() != 0)
            return QStringLiteral("mounting a loop device needs root");
        QFile file(image);
        if (!QDir().mkpath(m_Path) || !file.open(QIODevice::WriteOnly) || !file.resize(64 << 20))
            return QStringLiteral("cannot make the image in ") + folder;
        QString why = run(type == u"exfat"  ? QStringList{"mkfs.exfat", image}
                          : type == u"vfat" ? QStringList{"mkfs.vfat", "-F", "32", image}
                                            : QStringList{"mkntfs", "-F", "-Q", image});
        if (why.isEmpty())
            why = run({"losetup", "-f", "--show", image}, &m_Device);
        return why.isEmpty() ? remount() : why;
    }

    // Takes the volume out (when it is in) and puts it back, as a card is
    // re-plugged.
    QString remount()
    {
        if (m_Mounted)
            run({"umount", m_Path});
        const QString why = run(
            m_Type == u"exfat"  ? QStringList{"mount.exfat-fuse", m_Device, m_Path}
            : m_Type == u"vfat" ? QStringList{"fusefat", "-o", "rw+", m_Device, m_Path}
                                : QStringList{"ntfs-3g", "-o", "windows_names", m_Device, m_Path});
        m_Mounted = why.isEmpty();
        return why;
    }

    const QString& path() const { return m_Path; }

private:
    static QString run(const QStringList& command, QString* output = nullptr)
    {
        QString program = QStandardPaths::findExecutable(command[0]);
        if (program.isEmpty())
            program = QStandardPaths::findExecutable(command[0], {"/sbin", "/usr/sbin"});
        if (program.isEmpty())
            return command[0] + QStringLiteral(" is not installed");
        QProcess process;
        process.start(program, command.mid(1));
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return command.join(u' ') + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        return QString();
    }

    QString m_Type;
    QString m_Path;
    QString m_Device;
    bool m_Mounted = false;
};
