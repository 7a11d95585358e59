#pragma once

#include <QHash>
#include <QString>

// The current folder of each drive: the folder list records every folder it
// opens under the mount point that holds it, and answers a drive text with
// that drive's entry. One object is given to the drive and folder lists of a
// window, so that two windows (or two tests) keep their own.
namespace forms {

class DriveFolders {
public:
    void remember(const QString& folder);
    // The folder last opened on the drive at mountPoint; the mount point
    // itself when none was.
    QString folderOf(const QString& mountPoint) const;

private:
    QHash<QString, QString> m_folders;  // mount point -> folder
};

}  // namespace forms
