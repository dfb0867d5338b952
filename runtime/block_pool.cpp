// Block pool. A block is an 8-byte header and the caller's bytes: while the
// block is out the header points to its chunk, while it is free it links to
// the next free block of the chunk. A chunk is freed as soon as every block
// ever taken from it has come back.
#include "runtime/block_pool.h"

#include <cstring>

#include "runtime/block_pool_testing.h"

#include "runtime/heap.h"
#include "runtime/run_once.h"

struct PoolChunk {
  PoolChunk* next;
  PoolChunk* prev;
  void* free_list;
  std::int32_t capacity;
  std::int32_t used;
  std::int32_t free_count;
};

struct PoolShareEntry {
  PoolShareEntry* next;
  PoolShareEntry* prev;
  BlockPool* pool;
  std::uint64_t stride;
  int flags;
  std::int32_t reference_count;
};

namespace {

constexpr std::uint64_t kBlockHeader = 8;

RunOnceGuard share_lock_guard = 0;
PlatformLock share_lock;
PoolShareEntry* share_list = nullptr;

void init_share_lock() {
  lock_init(&share_lock);
}

PlatformLock* pool_lock(BlockPool* pool) {
  return pool->locked ? &pool->lock : nullptr;
}

char* block_area(PoolChunk* chunk) {
  return reinterpret_cast<char*>(chunk + 1);
}

void push_chunk(PoolChunk*& list, PoolChunk* chunk) {
  chunk->prev = nullptr;
  chunk->next = list;
  if (list) list->prev = chunk;
  list = chunk;
}

void unlink_chunk(PoolChunk*& list, PoolChunk* chunk) {
  if (chunk->prev)
    chunk->prev->next = chunk->next;
  else
    list = chunk->next;
  if (chunk->next) chunk->next->prev = chunk->prev;
}

bool chunk_exhausted(const PoolChunk* chunk) {
  return chunk->free_count == 0 && chunk->used >= chunk->capacity;
}

void free_chunk_list(PoolChunk*& list) {
  for (PoolChunk* chunk = list; chunk;) {
    PoolChunk* next = chunk->next;
    runtime_free(chunk);
    chunk = next;
  }
  list = nullptr;
}

std::int64_t next_chunk_blocks(const BlockPool* pool) {
  std::int64_t count = pool->min_blocks;
  std::int64_t sixteenth = (pool->total_blocks / 16) / 16 * 16;
  if (sixteenth >= count) count = sixteenth < pool->max_blocks ? sixteenth : pool->max_blocks;
  return count;
}

PoolChunk* allocate_chunk(std::int64_t count, std::uint64_t stride) {
  return static_cast<PoolChunk*>(heap_alloc(
      HEAP_RUNTIME, sizeof(PoolChunk) + static_cast<std::size_t>(count * stride), false));
}

// Takes the first block of a new chunk, or null when no chunk can be had.
char* block_from_new_chunk(BlockPool* pool, PoolChunk** owner) {
  std::int64_t count = next_chunk_blocks(pool);
  PoolChunk* chunk = allocate_chunk(count, pool->stride);
  if (!chunk) {
    count = 1;
    chunk = allocate_chunk(count, pool->stride);
    if (!chunk) return nullptr;
  }
  std::memset(chunk, 0, sizeof *chunk);
  chunk->capacity = static_cast<std::int32_t>(count);
  chunk->used = 1;
  pool->total_blocks += count;
  push_chunk(count > 1 ? pool->partial_chunks : pool->full_chunks, chunk);
  *owner = chunk;
  return block_area(chunk);
}

char* block_from_partial_chunk(BlockPool* pool, PoolChunk* chunk) {
  char* block;
  if (chunk->free_count > 0) {
    block = static_cast<char*>(chunk->free_list);
    std::memcpy(&chunk->free_list, block, sizeof(void*));
    --chunk->free_count;
  } else {
    block = block_area(chunk) + chunk->used * pool->stride;
    ++chunk->used;
  }
  if (chunk_exhausted(chunk)) {
    unlink_chunk(pool->partial_chunks, chunk);
    push_chunk(pool->full_chunks, chunk);
  }
  return block;
}

BlockPool* create_private(std::int64_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                          int flags) {
  auto* pool = static_cast<BlockPool*>(runtime_alloc(sizeof(BlockPool)));
  if (!pool) return nullptr;
  pool->stride = (static_cast<std::uint64_t>(block_size) + 7) / 8 * 8 + kBlockHeader;
  pool->min_blocks = min_blocks;
  pool->max_blocks = max_blocks;
  if ((flags & 3) == POOL_LOCKED) {
    lock_init(&pool->lock);
    pool->locked = 1;
  }
  return pool;
}

void destroy_private(BlockPool* pool) {
  pool_clear(pool);
  if (pool->locked) lock_delete(&pool->lock);
  runtime_free(pool);
}

BlockPool* create_shared(std::int64_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                         int flags) {
  run_once(&share_lock_guard, init_share_lock);
  LockGuard guard(&share_lock);
  std::uint64_t stride = (static_cast<std::uint64_t>(block_size) + 7) / 8 * 8 + kBlockHeader;
  for (PoolShareEntry* entry = share_list; entry; entry = entry->next) {
    if (entry->stride == stride && entry->flags == flags) {
      ++entry->reference_count;
      return entry->pool;
    }
  }
  auto* entry = static_cast<PoolShareEntry*>(runtime_alloc(sizeof(PoolShareEntry)));
  if (!entry) return nullptr;
  BlockPool* pool = create_private(block_size, min_blocks, max_blocks, flags & ~POOL_SHARED);
  if (!pool) {
    runtime_free(entry);
    return nullptr;
  }
  pool->share_entry = entry;
  entry->pool = pool;
  entry->stride = stride;
  entry->flags = flags;
  entry->reference_count = 1;
  entry->next = share_list;
  if (share_list) share_list->prev = entry;
  share_list = entry;
  return pool;
}

}  // namespace

BlockPool* pool_create(std::int64_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                       int flags) {
  if (block_size <= 0 || min_blocks <= 0 || max_blocks < min_blocks) return nullptr;
  if (flags & POOL_SHARED) return create_shared(block_size, min_blocks, max_blocks, flags);
  return create_private(block_size, min_blocks, max_blocks, flags);
}

void* pool_alloc(BlockPool* pool) {
  if (!pool) return nullptr;
  LockGuard guard(pool_lock(pool));
  PoolChunk* owner = pool->partial_chunks;
  char* block = owner ? block_from_partial_chunk(pool, owner) : block_from_new_chunk(pool, &owner);
  if (!block) return nullptr;
  std::memcpy(block, &owner, sizeof owner);
  return block + kBlockHeader;
}

void* pool_alloc_zeroed(BlockPool* pool) {
  void* block = pool_alloc(pool);
  if (block) std::memset(block, 0, pool->stride - kBlockHeader);
  return block;
}

void pool_free(BlockPool* pool, void* user_block) {
  if (!pool || !user_block) return;
  LockGuard guard(pool_lock(pool));
  char* block = static_cast<char*>(user_block) - kBlockHeader;
  PoolChunk* chunk;
  std::memcpy(&chunk, block, sizeof chunk);
  // An exhausted chunk (one-block chunks included) is on the full list.
  bool on_full_list = chunk_exhausted(chunk);
  std::memcpy(block, &chunk->free_list, sizeof(void*));
  chunk->free_list = block;
  ++chunk->free_count;
  if (chunk->free_count == chunk->used) {
    unlink_chunk(on_full_list ? pool->full_chunks : pool->partial_chunks, chunk);
    pool->total_blocks -= chunk->capacity;
    runtime_free(chunk);
  } else if (on_full_list) {
    unlink_chunk(pool->full_chunks, chunk);
    push_chunk(pool->partial_chunks, chunk);
  }
}

void pool_clear(BlockPool* pool) {
  if (!pool) return;
  LockGuard guard(pool_lock(pool));
  free_chunk_list(pool->full_chunks);
  free_chunk_list(pool->partial_chunks);
  pool->total_blocks = 0;
}

void pool_destroy(BlockPool* pool) {
  if (!pool) return;
  PoolShareEntry* entry = pool->share_entry;
  if (!entry) {
    destroy_private(pool);
    return;
  }
  LockGuard guard(&share_lock);
  if (--entry->reference_count > 0) return;
  pool->share_entry = nullptr;
  destroy_private(pool);
  if (entry->prev)
    entry->prev->next = entry->next;
  else
    share_list = entry->next;
  if (entry->next) entry->next->prev = entry->prev;
  runtime_free(entry);
}

namespace {
std::vector<int> capacities_of(const PoolChunk* list) {
  std::vector<int> capacities;
  for (; list; list = list->next) capacities.push_back(list->capacity);
  return capacities;
}
}  // namespace

std::vector<int> pool_full_chunk_capacities(const BlockPool* pool) {
  return capacities_of(pool->full_chunks);
}

std::vector<int> pool_partial_chunk_capacities(const BlockPool* pool) {
  return capacities_of(pool->partial_chunks);
}
