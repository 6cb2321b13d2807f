#include "counting_new.hpp"

#include <cstdlib>

namespace
{

std::size_t allocation_count = 0;
std::size_t live_count = 0;
std::size_t failing_allocation = 0; // counts down; the allocation that takes it to 0 fails

void* allocate(std::size_t size)
{
    if (failing_allocation != 0 && --failing_allocation == 0)
    {
        throw std::bad_alloc();
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
    {
        throw std::bad_alloc();
    }
    ++allocation_count;
    ++live_count;
    return p;
}

void release(void* p) noexcept
{
    if (p != nullptr)
    {
        --live_count;
        std::free(p);
    }
}

} // namespace

namespace counting_new
{

std::size_t allocations()
{
    return allocation_count;
}

std::size_t live_blocks()
{
    return live_count;
}

void fail_at(std::size_t k)
{
    failing_allocation = k;
}

bool failure_pending()
{
    return failing_allocation != 0;
}

} // namespace counting_new

void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

void operator delete(void* p) noexcept
{
    release(p);
}

void operator delete[](void* p) noexcept
{
    release(p);
}

void operator delete(void* p, std::size_t /*size*/) noexcept
{
    release(p);
}

void operator delete[](void* p, std::size_t /*size*/) noexcept
{
    release(p);
}
