#include "engine/GrowingMemory.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace engine_detail {

namespace {

constexpr std::size_t kSmallTotal = std::size_t{1} << 20;
constexpr std::size_t kRegion = std::size_t{2} << 20;  // the size of a huge page on x86-64
constexpr std::size_t kAlign = alignof(std::max_align_t);

std::size_t roundUp(std::size_t bytes)
{
    return (bytes + kAlign - 1) & ~(kAlign - 1);
}

// A region aligned to its huge-page size: over-map by one region, then give
// back the ends.
void* mapRegion(std::size_t size)
{
    const std::size_t span = size + kRegion;
    void* mapped =
        ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto first = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t start = (first + kRegion - 1) & ~(kRegion - 1);
    if (start > first)
        ::munmap(mapped, start - first);
    if (const std::size_t tail = first + span - (start + size); tail > 0)
        ::munmap(reinterpret_cast<void*>(start + size), tail);
#ifdef MADV_HUGEPAGE
    // Only a hint: without huge pages the region works the same.
    ::madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(start);
}

}  // namespace

GrowingMemory::~GrowingMemory()
{
    for (void* small : m_Small)
        ::operator delete(small);
    for (const Region& region : m_Regions)
        ::munmap(region.start, region.size);
}

bool GrowingMemory::fitsSmall(std::size_t rounded) const
{
    return m_Taken + rounded <= kSmallTotal;
}

void* GrowingMemory::takeZeroed(std::size_t bytes)
{
    const bool small = fitsSmall(roundUp(bytes));
    void* taken = take(bytes);
    if (small)
        std::memset(taken, 0, bytes);
    return taken;
}

void* GrowingMemory::take(std::size_t bytes)
{
    bytes = roundUp(bytes);
    if (fitsSmall(bytes)) {
        m_Small.reserve(m_Small.size() + 1);
        void* small = ::operator new(bytes);
        m_Small.push_back(small);
        m_Taken += bytes;
        return small;
    }
    if (bytes > m_Left) {
        const std::size_t size = (bytes + kRegion - 1) & ~(kRegion - 1);
        m_Regions.reserve(m_Regions.size() + 1);
        void* start = mapRegion(size);
        m_Regions.push_back({start, size});
        m_Next = static_cast<std::byte*>(start);
        m_Left = size;
    }
    void* taken = m_Next;
    m_Next += bytes;
    m_Left -= bytes;
    m_Taken += bytes;
    return taken;
}

}  // namespace engine_detail
