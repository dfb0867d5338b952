// A standard-library allocator over the runtime heap, for containers that
// live as long as the runtime and go away with the heap.
#pragma once

#include <cstddef>
#include <new>

#include "runtime/heap.h"

template <typename T>
struct RuntimeAllocator {
  using value_type = T;
  RuntimeAllocator() = default;
  template <typename U>
  RuntimeAllocator(const RuntimeAllocator<U>&) {}

  T* allocate(std::size_t count) {
    void* block = heap_alloc(HEAP_RUNTIME, count * sizeof(T), false);
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t) { runtime_free(block); }

  template <typename U>
  bool operator==(const RuntimeAllocator<U>&) const {
    return true;
  }
};
