// Platform heaps for the host build: malloc blocks that remember their size
// (so that growth can be zero-filled) and are linked into their heap, so that
// destroying a heap releases all of its blocks as a private heap would.
#include "runtime/heap.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

struct alignas(16) BlockHeader {
  BlockHeader* next;
  BlockHeader* prev;
  std::size_t size;
};

struct PlatformHeap {
  std::mutex lock;
  BlockHeader* blocks = nullptr;
};

namespace {

BlockHeader* header_of(void* block) {
  return static_cast<BlockHeader*>(block) - 1;
}

void link(PlatformHeap* heap, BlockHeader* header) {
  header->prev = nullptr;
  header->next = heap->blocks;
  if (heap->blocks) heap->blocks->prev = header;
  heap->blocks = header;
}

void unlink(PlatformHeap* heap, BlockHeader* header) {
  if (header->prev)
    header->prev->next = header->next;
  else
    heap->blocks = header->next;
  if (header->next) header->next->prev = header->prev;
}

}  // namespace

PlatformHeap* platform_heap_create() {
  return new (std::nothrow) PlatformHeap;
}

void platform_heap_destroy(PlatformHeap* heap) {
  for (BlockHeader* header = heap->blocks; header;) {
    BlockHeader* next = header->next;
    std::free(header);
    header = next;
  }
  delete heap;
}

void* platform_heap_alloc(PlatformHeap* heap, std::size_t size, bool zeroed) {
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto* header = static_cast<BlockHeader*>(zeroed ? std::calloc(1, sizeof(BlockHeader) + size)
                                                  : std::malloc(sizeof(BlockHeader) + size));
  if (!header) return nullptr;
  header->size = size;
  std::lock_guard<std::mutex> guard(heap->lock);
  link(heap, header);
  return header + 1;
}

void* platform_heap_realloc(PlatformHeap* heap, void* block, std::size_t size) {
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  std::lock_guard<std::mutex> guard(heap->lock);
  BlockHeader* old_header = header_of(block);
  std::size_t old_size = old_header->size;
  unlink(heap, old_header);
  auto* header = static_cast<BlockHeader*>(std::realloc(old_header, sizeof(BlockHeader) + size));
  if (!header) {
    link(heap, old_header);
    return nullptr;
  }
  if (size > old_size)
    std::memset(reinterpret_cast<char*>(header + 1) + old_size, 0, size - old_size);
  header->size = size;
  link(heap, header);
  return header + 1;
}

void platform_heap_free(PlatformHeap* heap, void* block) {
  std::lock_guard<std::mutex> guard(heap->lock);
  BlockHeader* header = header_of(block);
  unlink(heap, header);
  std::free(header);
}
