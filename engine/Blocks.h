#pragma once

#include "engine/GrowingMemory.h"

#include <cstddef>
#include <new>
#include <type_traits>
#include <vector>

namespace engine_detail {

// Room for many small things that live as long as their owner, taken from
// large blocks that never move, so none of them costs an allocation.
template <typename T> class Blocks {
    static_assert(std::is_trivially_destructible_v<T>);

public:
    T* take(std::size_t count)
    {
        if (count > kBlock / 4)  // kept apart, so the open block goes on being filled
            return static_cast<T*>(m_Memory.take(count * sizeof(T)));
        if (count > m_Free) {
            m_Open = static_cast<T*>(m_Memory.take(kBlock * sizeof(T)));
            m_Free = kBlock;
        }
        T* at = m_Open + (kBlock - m_Free);
        m_Free -= count;
        return at;
    }

private:
    static constexpr std::size_t kBlock = 32 * 1024;  // far above most names
    GrowingMemory m_Memory;
    T* m_Open = nullptr;
    std::size_t m_Free = 0;
};

// A growing array whose items never move: it grows by whole chunks, so a
// large one is never held twice while it grows, and a reference stays valid.
template <typename T> class Chunks {
    static_assert(std::is_trivially_destructible_v<T>);

public:
    T& append()
    {
        if ((m_Count & (kChunk - 1)) == 0)
            m_Chunks.push_back(static_cast<T*>(m_Memory.take(kChunk * sizeof(T))));
        return *new (&(*this)[m_Count++]) T();
    }
    T& operator[](std::size_t i) const { return m_Chunks[i >> kChunkBits][i & (kChunk - 1)]; }
    std::size_t size() const { return m_Count; }

private:
    static constexpr std::size_t kChunkBits = 12;
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;
    GrowingMemory m_Memory;
    std::vector<T*> m_Chunks;
    std::size_t m_Count = 0;
};

}  // namespace engine_detail
