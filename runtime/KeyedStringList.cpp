#include "runtime/KeyedStringList.h"

#include "runtime/VbError.h"

namespace rt {

void KeyedStringList::Add(const QString& item)
{
    const QString key = item.toCaseFolded();
    if (m_index.contains(key))
        raiseError(kKeyAlreadyExists, QStringLiteral("Collection"));
    m_index.insert(key, static_cast<int>(m_items.size()));
    m_items.append(item);
}

const QString& KeyedStringList::Item(const QString& key) const
{
    const auto found = m_index.constFind(key.toCaseFolded());
    if (found == m_index.constEnd())
        raiseError(kInvalidCall, QStringLiteral("Collection"));
    return m_items.at(found.value());
}

bool KeyedStringList::Contains(const QString& key) const
{
    return m_index.contains(key.toCaseFolded());
}

}  // namespace rt
