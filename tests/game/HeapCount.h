// The game tests replace the global operator new once (HeapCount.cpp) so that a test can
// count the heap allocations made while it plays: set Counting, play, read Allocations.
#pragma once

#include <atomic>

namespace heap
{
extern std::atomic<bool> Counting;
extern std::atomic<long> Allocations;
} // namespace heap
