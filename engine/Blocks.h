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

}  // namespace engine_detail
