#include "forms/DriveFolders.h"

#include "runtime/MountTable.h"

namespace forms {

void DriveFolders::remember(const QString& folder)
{
    const QString mountPoint = rt::mountPointOf(folder);
    if (!mountPoint.isEmpty())
        m_folders.insert(mountPoint, folder);
}

QString DriveFolders::folderOf(const QString& mountPoint) const
{
    return m_folders.value(mountPoint, mountPoint);
}

}  // namespace forms
