#include "base/Memory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
// Blocks from this size up are mapped on their own: every picture and texture of the game,
// none of its small objects.
constexpr int LargeBlock = 256 * 1024;
} // namespace

void KeepLargeBlocksOutOfTheHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, LargeBlock);
#endif
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
