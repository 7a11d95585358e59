#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace engine_detail {

// The names of one folder of the preview's model, found by their bytes: an
// open-addressing table over the folder's own list of entries, so that a
// lookup costs one hash and, mostly, one probe. Entries keep their names and
// hashes; a slot keeps an entry's number and the high half of its hash, so a
// probe reads an entry only when that half matches.
class ModelNameIndex {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    static std::uint64_t hashOf(const QByteArray& name)
    {
        return std::hash<std::string_view>{}(
            std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    }

    // nameOf(i) and hashOf(i) give entry i's present name and its hash.
    template <typename Names>
    std::uint32_t find(const QByteArray& name, std::uint64_t hash, const Names& names) const
    {
        if (m_Slots.empty())
            return kNone;
        const std::size_t mask = m_Slots.size() - 1;
        const std::uint32_t tag = tagOf(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = m_Slots[at];
            if (slot == kEmpty)
                return kNone;
            const auto entry = static_cast<std::uint32_t>(slot) - 1;
            if (static_cast<std::uint32_t>(slot >> 32) == tag && names.hashOf(entry) == hash &&
                names.nameOf(entry) == name)
                return entry;
        }
    }

    // Adds entry, whose name is not in the table; names.entryCount() and
    // names.listed(i) give the entries that the table covers when it grows.
    // An entry renamed is added again under its new name: its old slot is
    // passed over by every lookup from then on (its hash and name no longer
    // match), so it is left where it is until the table next grows.
    template <typename Names> void insert(std::uint32_t entry, const Names& names)
    {
        if ((m_Used + 1) * 2 > m_Slots.size()) {
            rebuild(names);
            return;
        }
        place(entry, names.hashOf(entry));
    }

    // Points the name's slot at another entry (a name listed twice).
    template <typename Names> void replace(std::uint32_t from, std::uint32_t to, const Names& names)
    {
        const std::size_t mask = m_Slots.size() - 1;
        for (std::size_t at = names.hashOf(from) & mask;; at = (at + 1) & mask) {
            if (static_cast<std::uint32_t>(m_Slots[at]) == from + 1) {
                m_Slots[at] = slotOf(to, names.hashOf(to));
                return;
            }
        }
    }

private:
    static constexpr std::uint64_t kEmpty = 0;

    static std::uint32_t tagOf(std::uint64_t hash)
    {
        return static_cast<std::uint32_t>(hash >> 32);
    }
    static std::uint64_t slotOf(std::uint32_t entry, std::uint64_t hash)
    {
        return (std::uint64_t{tagOf(hash)} << 32) | (entry + 1);
    }

    void place(std::uint32_t entry, std::uint64_t hash)
    {
        const std::size_t mask = m_Slots.size() - 1;
        std::size_t at = hash & mask;
        while (m_Slots[at] != kEmpty)
            at = (at + 1) & mask;
        m_Slots[at] = slotOf(entry, hash);
        ++m_Used;
    }

    // Twice the room for what is listed, with no stale slot.
    template <typename Names> void rebuild(const Names& names)
    {
        const std::size_t count = names.entryCount();
        std::size_t size = 16;
        while (size < count * 4)
            size *= 2;
        m_Slots.assign(size, kEmpty);
        m_Used = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (names.listed(i))
                place(i, names.hashOf(i));
        }
    }

    std::vector<std::uint64_t> m_Slots;
    std::size_t m_Used = 0;  // taken slots, stale ones included
};

}  // namespace engine_detail
