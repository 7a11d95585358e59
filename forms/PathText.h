#pragma once

#include <QString>
#include <QStringList>

// Folder-path text of the list boxes: made absolute, separators collapsed,
// "." and ".." resolved by text.
namespace forms::pathtext {

// The absolute form of a folder path; a relative path is taken from the
// current folder. "" stays "".
QString normalized(const QString& path);

// The root and each ancestor of an absolute path, then the path itself:
// "/a/b" gives "/", "/a", "/a/b".
QStringList chain(const QString& absolutePath);

QString join(const QString& folder, const QString& name);

// The text after the last separator ("/" stays "/").
QString lastName(const QString& absolutePath);

// The current folder of the process, losslessly.
QString currentFolder();

}  // namespace forms::pathtext
