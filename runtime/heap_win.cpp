// Platform heaps on Windows: private, growable, serialised Win32 heaps.
#include "runtime/heap.h"

#include <windows.h>

namespace {
constexpr SIZE_T kInitialCommit = 4096;
HANDLE win_heap(PlatformHeap* heap) {
  return reinterpret_cast<HANDLE>(heap);
}
}  // namespace

PlatformHeap* platform_heap_create() {
  return reinterpret_cast<PlatformHeap*>(HeapCreate(0, kInitialCommit, 0));
}

void platform_heap_destroy(PlatformHeap* heap) {
  HeapDestroy(win_heap(heap));
}

void* platform_heap_alloc(PlatformHeap* heap, std::size_t size, bool zeroed) {
  return HeapAlloc(win_heap(heap), zeroed ? HEAP_ZERO_MEMORY : 0, size ? size : 1);
}

void* platform_heap_realloc(PlatformHeap* heap, void* block, std::size_t size) {
  return HeapReAlloc(win_heap(heap), HEAP_ZERO_MEMORY, block, size ? size : 1);
}

void platform_heap_free(PlatformHeap* heap, void* block) {
  HeapFree(win_heap(heap), 0, block);
}
