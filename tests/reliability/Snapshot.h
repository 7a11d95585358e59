#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a tree holds, entry by entry, read with plain system calls (never
// through the seam): a file is its permission bits, time and content, a
// folder its permission bits, a link its target text.
namespace reliability {

struct Entry {
    char kind = 0;  // 'F', 'D', 'L'
    QByteArray value;
    bool operator==(const Entry&) const = default;
};

// Keys are paths relative to the root, prefixed with `label`.
using Snapshot = QMap<QByteArray, Entry>;

void addTree(Snapshot& into, const QByteArray& root, const QByteArray& label);
// The content of every file, with its number of copies.
QMap<QByteArray, int> contentCounts(const Snapshot& snapshot);
// Every file's time set to one fixed second, so that runs compare.
void pinTimes(const QByteArray& root);
// Removes everything below root (root stays).
void emptyTree(const QByteArray& root);

}  // namespace reliability
