#include "filesystem/DirProbe.h"

#include "runtime/Dir.h"

#include <exception>

namespace fs_detail {
namespace {

// The name is emptied before each call, so a call that throws ends the walk.
QString firstName(const QString& pattern, int attributes)
{
    try {
        return rt::Dir(pattern, attributes);
    } catch (const std::exception&) {
        return QString();
    }
}

QString nextName()
{
    try {
        return rt::Dir();
    } catch (const std::exception&) {
        return QString();
    }
}

}  // namespace

QStringList collectNames(const QString& pattern, int attributes)
{
    QStringList names;
    for (QString name = firstName(pattern, attributes); !name.isEmpty(); name = nextName())
        names.append(name);
    return names;
}

bool anyMatch(const QString& pattern, int attributes)
{
    QString name = firstName(pattern, attributes);
    const bool found = !name.isEmpty();
    // Run the listing to its end so that no listing stays in progress.
    while (!name.isEmpty())
        name = nextName();
    return found;
}

}  // namespace fs_detail
