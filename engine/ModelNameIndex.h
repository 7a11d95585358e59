#pragma once

#include "engine/GrowingMemory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace engine_detail {

// The names of one folder of the preview's model, found by their bytes: an
// open-addressing table over the folder's own list of entries, so that a
// lookup costs one hash and, mostly, one probe. Entries keep their names and
// hashes; a slot keeps an entry's number and the high half of its hash, so a
// probe reads an entry only when that half matches.
//
// names.nameOf(i) and names.hashOf(i) give entry i's present name and its
// hash; names.entryCount() and names.listed(i) give the entries the table
// covers.
class ModelNameIndex {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    static std::uint64_t hashOf(std::string_view name)
    {
        return std::hash<std::string_view>{}(name);
    }

    template <typename Names>
    std::uint32_t find(std::string_view name, std::uint64_t hash, const Names& names) const
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

    // Indexes every listed entry at once, in a table sized for them. Where a
    // name is listed twice (a folder changing while it is read) the later
    // entry stands; the earlier one is handed to unlist.
    template <typename Names, typename Unlist> void build(const Names& names, Unlist&& unlist)
    {
        const std::size_t count = names.entryCount();
        resize(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t hash = names.hashOf(i);
            const std::uint32_t twin = find(names.nameOf(i), hash, names);
            if (twin == kNone) {
                place(i, hash);
            } else {
                unlist(twin);
                m_Slots[slotIndexOf(twin, names.hashOf(twin))] = slotOf(i, hash);
            }
        }
    }

    // Adds entry, whose name is not in the table.
    template <typename Names> void insert(std::uint32_t entry, const Names& names)
    {
        if ((m_Used + 1) * 2 > m_Slots.size()) {
            rebuild(names);
            return;
        }
        place(entry, names.hashOf(entry));
    }

    // Takes entry out, found under the hash of the name it had; the entries
    // after it in its run move back, so no lookup needs a marker to pass.
    template <typename Names>
    void erase(std::uint32_t entry, std::uint64_t hash, const Names& names)
    {
        const std::size_t mask = m_Slots.size() - 1;
        std::size_t hole = slotIndexOf(entry, hash);
        for (std::size_t next = (hole + 1) & mask; m_Slots[next] != kEmpty;
             next = (next + 1) & mask) {
            const auto moved = static_cast<std::uint32_t>(m_Slots[next]) - 1;
            const std::size_t home = names.hashOf(moved) & mask;
            // It stays where it is when its home lies after the hole, up to it.
            const bool stays =
                hole <= next ? hole < home && home <= next : hole < home || home <= next;
            if (stays)
                continue;
            m_Slots[hole] = m_Slots[next];
            hole = next;
        }
        m_Slots[hole] = kEmpty;
        --m_Used;
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

    std::size_t slotIndexOf(std::uint32_t entry, std::uint64_t hash) const
    {
        const std::size_t mask = m_Slots.size() - 1;
        std::size_t at = hash & mask;
        while (static_cast<std::uint32_t>(m_Slots[at]) != entry + 1)
            at = (at + 1) & mask;
        return at;
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

    // Empty, with room for count names and at least one more, at most half
    // full: a rename takes its entry out before it puts it back, so a table
    // built for a folder never grows while the run renames in it.
    void resize(std::size_t count)
    {
        std::size_t size = 16;
        while (size < 2 * (count + 1))
            size *= 2;
        m_Memory = GrowingMemory();
        m_Slots = {static_cast<std::uint64_t*>(m_Memory.takeZeroed(size * sizeof(std::uint64_t))),
                   size};
        m_Used = 0;
    }

    template <typename Names> void rebuild(const Names& names)
    {
        const std::size_t count = names.entryCount();
        resize(2 * count);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (names.listed(i))
                place(i, names.hashOf(i));
        }
    }

    static_assert(kEmpty == 0, "a zeroed table is an empty one");
    GrowingMemory m_Memory;
    std::span<std::uint64_t> m_Slots;
    std::size_t m_Used = 0;
};

}  // namespace engine_detail
