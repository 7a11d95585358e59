#pragma once

#include <QDateTime>
#include <QString>

namespace rt {

// The last-modification time of a file or folder: local time, whole seconds.
// A link reports its target's time (its own when dangling).
// Throws VbError 53 when the entry cannot be reached.
QDateTime FileDateTime(const QString& path);

// Call once at start-up, before any thread starts. With TZ unset, the C
// library re-checks /etc/localtime at every local-time conversion: one extra
// system call for each file time a rename run reads. Naming the same zone
// file in TZ (":/etc/localtime") keeps the zone and drops that call.
void pinLocalTimeZone();

}  // namespace rt
