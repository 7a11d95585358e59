#pragma once

#include <QString>
#include <QStringList>

// Reading folders for the folder and file lists.
namespace forms::folderscan {

// The subfolders of a folder, by bare name, in the order readdir gives them:
// real folders only (never links), none whose name begins with ".". Throws
// rt::VbError 76 when the folder cannot be opened or read.
QStringList subfolders(const QString& folder);

// True when the path names a folder (following links).
bool isFolder(const QString& path);

}  // namespace forms::folderscan
