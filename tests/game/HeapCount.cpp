#include "tests/game/HeapCount.h"

#include <cstdlib>
#include <new>

namespace heap
{
std::atomic<bool> Counting{false};
std::atomic<long> Allocations{0};
} // namespace heap

namespace
{
void* Allocate(std::size_t n)
{
    if (heap::Counting)
    {
        ++heap::Allocations;
    }
    if (void* p = std::malloc(n == 0 ? 1 : n))
    {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t n)
{
    return Allocate(n);
}
void* operator new[](std::size_t n)
{
    return Allocate(n);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
