#include "bench/HeapUse.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

size_t LiveBytes = 0, PeakBytes = 0, Allocations = 0;

size_t BlockSize(void* p) {
#ifdef _WIN32
  return _msize(p);
#else
  return malloc_usable_size(p);
#endif
}

void* Allocate(size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  LiveBytes += BlockSize(p);
  if (LiveBytes > PeakBytes) PeakBytes = LiveBytes;
  ++Allocations;
  return p;
}

void Free(void* p) {
  if (!p) return;
  LiveBytes -= BlockSize(p);
  std::free(p);
}

}  // namespace

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }

size_t HeapLiveBytes() { return LiveBytes; }

THeapUse MeasureHeap(const std::function<void()>& work) {
  const size_t base = LiveBytes, allocations = Allocations;
  PeakBytes = LiveBytes;
  work();
  return {PeakBytes - base, Allocations - allocations};
}
