#pragma once

#include <QChar>
#include <QString>

namespace rt {

// The platform's path separator. Every join, token walk, last-name lookup and
// parent computation uses it, never a literal.
inline constexpr char16_t kPathSeparator = u'/';
inline const QString kPathSeparatorText = QString(QChar(kPathSeparator));

}  // namespace rt
