#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace rt {

// An ordered list of strings in which each string is its own key. Keys match
// without regard to letter case (case folding); each key is present once.
class KeyedStringList {
public:
    // Appends item under its own key. Throws VbError 457 when the key exists.
    void Add(const QString& item);
    // The stored item for key. Throws VbError 5 when the key is missing.
    const QString& Item(const QString& key) const;
    bool Contains(const QString& key) const;
    int Count() const { return static_cast<int>(m_items.size()); }
    // Items in order of addition.
    const QStringList& Items() const { return m_items; }

private:
    QStringList m_items;
    QHash<QString, int> m_index;  // case-folded key -> position in m_items
};

}  // namespace rt
