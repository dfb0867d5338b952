// Seam between the heap rules and the platform's heap service.
#pragma once

#include <cstddef>

struct PlatformHeap;

PlatformHeap* platform_heap_create();
void platform_heap_destroy(PlatformHeap* heap);
void* platform_heap_alloc(PlatformHeap* heap, std::size_t size, bool zeroed);
// Grows or shrinks in place or by moving; new bytes are zero; null on failure
// with the old block untouched.
void* platform_heap_realloc(PlatformHeap* heap, void* block, std::size_t size);
void platform_heap_free(PlatformHeap* heap, void* block);
