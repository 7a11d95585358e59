#pragma once

#include <QString>

// Stand-alone path helpers; each creates and releases its own component.
bool FncBln_CreateFolderTree(const QString& path);  // true when the folder exists at the end
bool FncBln_FolderExists(const QString& path);
bool FncBln_FileExists(const QString& path);
QString FncStr_ParentFolder(const QString& path);  // "" when there is none
