#pragma once

#include <QDateTime>
#include <QString>

namespace rt {

// The last-modification time of a file or folder: local time, whole seconds.
// A link reports its target's time (its own when dangling).
// Throws VbError 53 when the entry cannot be reached.
QDateTime FileDateTime(const QString& path);

}  // namespace rt
