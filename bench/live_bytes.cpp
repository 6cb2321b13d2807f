#include "live_bytes.hpp"

#include <cstdlib>
#include <new>

// Each block carries its requested size in front of it, so delete can take it
// off the count. The array, nothrow and sized forms in libstdc++ all call
// these two, so replacing them counts everything. Not thread-safe: the
// benchmark runs on one thread.

namespace
{

constexpr std::size_t header = alignof(std::max_align_t);
std::size_t live = 0;
std::size_t blocks = 0;

} // namespace

std::size_t live_bytes() noexcept
{
    return live;
}

std::size_t counting_overhead() noexcept
{
    return blocks * header;
}

void* operator new(std::size_t size)
{
    void* const block = std::malloc(size + header);
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = size;
    live += size;
    ++blocks;
    return static_cast<char*>(block) + header;
}

void operator delete(void* p) noexcept
{
    if (p == nullptr)
    {
        return;
    }
    void* const block = static_cast<char*>(p) - header;
    live -= *static_cast<std::size_t*>(block);
    --blocks;
    std::free(block);
}

#if defined(__cpp_sized_deallocation)
void operator delete(void* p, std::size_t /*unused*/) noexcept
{
    operator delete(p);
}
#endif
