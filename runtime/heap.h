// The runtime's private heaps and the codec heap interface.
//
// Three heaps exist while the runtime runs: the runtime heap (registries,
// records, state blocks, pools and the working memory of the runtime), the
// string heap and the codec heap (memory of the picture codecs). Each is
// private, growable from an initial commit of 4096 bytes, without maximum,
// and serialised so that any thread may use it.
#pragma once

#include <cstddef>
#include <cstdint>

enum HeapId { HEAP_RUNTIME = 0, HEAP_STRING = 1, HEAP_CODEC = 2, HEAP_COUNT = 3 };

// Creates or destroys one heap. Destroying a heap releases every block in it.
bool heap_open(HeapId heap);
void heap_close(HeapId heap);
bool heap_is_open(HeapId heap);

// Blocks of a heap. `zeroed` clears the block. heap_realloc keeps the old
// block unchanged when it fails and zero-fills bytes beyond the old size.
// A heap that is not open gives no memory.
void* heap_alloc(HeapId heap, std::size_t size, bool zeroed);
void* heap_realloc(HeapId heap, void* block, std::size_t size);
void heap_free(HeapId heap, void* block);

// Zeroed memory from the runtime heap, the form every runtime kind uses.
inline void* runtime_alloc(std::size_t size) {
  return heap_alloc(HEAP_RUNTIME, size, true);
}
inline void runtime_free(void* block) {
  heap_free(HEAP_RUNTIME, block);
}

// Codec heap, as the codecs see it.
constexpr int MEMORY_UNCLEARED = 1;
void* memory_alloc(std::int64_t size, int flags);
void* memory_realloc(void* block, std::int64_t size);
void memory_free(void* block);

// Seams to the platform's heap service (heap_win.cpp, heap_posix.cpp).
struct PlatformHeap;
PlatformHeap* platform_heap_create();
void platform_heap_destroy(PlatformHeap* heap);
void* platform_heap_alloc(PlatformHeap* heap, std::size_t size, bool zeroed);
// Grows or shrinks in place or by moving; new bytes are zero; null on failure
// with the old block untouched.
void* platform_heap_realloc(PlatformHeap* heap, void* block, std::size_t size);
void platform_heap_free(PlatformHeap* heap, void* block);
