#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace engine_detail {

// Memory for a store that only grows and is let go of all at once. The first
// megabyte comes from the ordinary allocator; past it, the store is large
// (a folder of many thousands of names), and it is taken in 2 MiB regions
// that the kernel may back with huge pages: a first touch then costs one
// fault per 2 MiB instead of one per 4 KiB page.
class GrowingMemory {
public:
    GrowingMemory() = default;
    GrowingMemory(GrowingMemory&& other) noexcept { swap(other); }
    GrowingMemory& operator=(GrowingMemory&& other) noexcept
    {
        GrowingMemory gone(std::move(other));
        swap(gone);
        return *this;
    }
    GrowingMemory(const GrowingMemory&) = delete;
    GrowingMemory& operator=(const GrowingMemory&) = delete;
    ~GrowingMemory();

    // Room for bytes, aligned for any object; it stays where it is as long
    // as this lives.
    void* take(std::size_t bytes);
    // The same, filled with zeros (a fresh region already is).
    void* takeZeroed(std::size_t bytes);

private:
    // Whether rounded bytes still come from the ordinary allocator.
    bool fitsSmall(std::size_t rounded) const;
    void swap(GrowingMemory& other) noexcept
    {
        std::swap(m_Small, other.m_Small);
        std::swap(m_Regions, other.m_Regions);
        std::swap(m_Taken, other.m_Taken);
        std::swap(m_Next, other.m_Next);
        std::swap(m_Left, other.m_Left);
    }

    struct Region {
        void* start;
        std::size_t size;
    };
    std::vector<void*> m_Small;
    std::vector<Region> m_Regions;
    std::size_t m_Taken = 0;
    std::byte* m_Next = nullptr;  // the free end of the last region
    std::size_t m_Left = 0;
};

}  // namespace engine_detail
