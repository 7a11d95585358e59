#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace engine_detail {

// Room for many small things that live as long as their owner, taken from
// large blocks that never move, so none of them costs an allocation.
template <typename T> class Blocks {
public:
    T* take(std::size_t count)
    {
        if (count > kBlock / 4) {  // kept apart, so the open block goes on being filled
            m_Large.push_back(std::make_unique_for_overwrite<T[]>(count));
            return m_Large.back().get();
        }
        if (count > m_Free) {
            m_Blocks.push_back(std::make_unique_for_overwrite<T[]>(kBlock));
            m_Free = kBlock;
        }
        T* at = m_Blocks.back().get() + (kBlock - m_Free);
        m_Free -= count;
        return at;
    }

private:
    static constexpr std::size_t kBlock = 32 * 1024;  // far above most names
    std::vector<std::unique_ptr<T[]>> m_Blocks;
    std::vector<std::unique_ptr<T[]>> m_Large;
    std::size_t m_Free = 0;
};

// A growing array whose items never move: it grows by whole chunks, so a
// large one is never held twice while it grows, and a reference stays valid.
template <typename T> class Chunks {
public:
    T& append()
    {
        if ((m_Count & (kChunk - 1)) == 0)
            m_Chunks.push_back(std::make_unique_for_overwrite<T[]>(kChunk));
        return (*this)[m_Count++];
    }
    T& operator[](std::size_t i) const { return m_Chunks[i >> kChunkBits][i & (kChunk - 1)]; }
    std::size_t size() const { return m_Count; }

private:
    static constexpr std::size_t kChunkBits = 12;
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;
    std::vector<std::unique_ptr<T[]>> m_Chunks;
    std::size_t m_Count = 0;
};

}  // namespace engine_detail
