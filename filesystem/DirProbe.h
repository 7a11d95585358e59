#pragma once

#include <QString>
#include <QStringList>

// Listings over the runtime's one-per-process directory listing, shared by
// Cls_FileSystem and mdl_FileSystem. Neither throws: a failing listing call
// ends the listing, and both leave no listing in progress when they return.
namespace fs_detail {

// Every name the listing yields for pattern and attributes, in listing order.
QStringList collectNames(const QString& pattern, int attributes);

// True when the listing yields at least one name.
bool anyMatch(const QString& pattern, int attributes);

}  // namespace fs_detail
