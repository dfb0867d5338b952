// Heap bookkeeping and the codec heap's size rules, over the platform seam.
#include "runtime/heap.h"

#include <atomic>

#include "runtime/heap_testing.h"

namespace {

std::atomic<PlatformHeap*> heaps[HEAP_COUNT];
// Failures a test asked for, on its own thread only.
thread_local int injected_failures = 0;

PlatformHeap* heap_of(HeapId heap) {
  if (heap < 0 || heap >= HEAP_COUNT) return nullptr;
  return heaps[heap].load(std::memory_order_acquire);
}

bool injected_failure() {
  if (injected_failures <= 0) return false;
  --injected_failures;
  return true;
}

}  // namespace

bool heap_open(HeapId heap) {
  if (heap < 0 || heap >= HEAP_COUNT) return false;
  if (heap_of(heap)) return true;
  PlatformHeap* created = platform_heap_create();
  if (!created) return false;
  heaps[heap].store(created, std::memory_order_release);
  return true;
}

void heap_close(HeapId heap) {
  PlatformHeap* open = heap_of(heap);
  if (!open) return;
  heaps[heap].store(nullptr, std::memory_order_release);
  platform_heap_destroy(open);
}

bool heap_is_open(HeapId heap) {
  return heap_of(heap) != nullptr;
}

void* heap_alloc(HeapId heap, std::size_t size, bool zeroed) {
  PlatformHeap* open = heap_of(heap);
  if (!open || injected_failure()) return nullptr;
  return platform_heap_alloc(open, size, zeroed);
}

void* heap_realloc(HeapId heap, void* block, std::size_t size) {
  PlatformHeap* open = heap_of(heap);
  if (!open || injected_failure()) return nullptr;
  if (!block) return platform_heap_alloc(open, size, true);
  return platform_heap_realloc(open, block, size);
}

void heap_free(HeapId heap, void* block) {
  PlatformHeap* open = heap_of(heap);
  if (open && block) platform_heap_free(open, block);
}

void* memory_alloc(std::int64_t size, int flags) {
  if (size <= 0) return nullptr;
  return heap_alloc(HEAP_CODEC, static_cast<std::size_t>(size), (flags & MEMORY_UNCLEARED) == 0);
}

void* memory_realloc(void* block, std::int64_t size) {
  if (size <= 0) return nullptr;
  if (!block) return memory_alloc(size, 0);
  return heap_realloc(HEAP_CODEC, block, static_cast<std::size_t>(size));
}

void memory_free(void* block) {
  heap_free(HEAP_CODEC, block);
}

void heap_fail_next_allocations(int count) {
  injected_failures = count;
}
