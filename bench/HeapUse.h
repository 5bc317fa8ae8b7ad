// Heap accounting for the benchmarks: every operator new and delete of the
// process passes through bench/HeapUse.cpp, so a piece of work's peak is the
// most its data and temporaries held at once, in the allocator's block
// sizes.
#pragma once

#include <cstddef>
#include <functional>

struct THeapUse {
  size_t Peak = 0, Allocations = 0;
};

// The bytes live now.
size_t HeapLiveBytes();
// The heap's growth at its highest while work ran, over what was live
// before, and the number of blocks it asked for.
THeapUse MeasureHeap(const std::function<void()>& work);
