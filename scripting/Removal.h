#pragma once

#include <QByteArray>
#include <QString>

// Depth-first deletion by descriptor: a link inside the tree is unlinked as
// an entry of its own, never followed.
namespace scripting::detail {

// Deletes the folder entry name of parentFd with all its content. An entry
// without owner write permission stops the deletion with 70 unless force;
// with force, folders get owner read, write and search permission as needed
// to empty them. What was deleted before an error stays deleted. Nothing on
// another volume than parentFd's is touched: a mount point, name itself
// included, stops the deletion with 70.
void deleteFolderAt(int parentFd, const QByteArray& name, bool force, const QString& source);

}  // namespace scripting::detail
