// Fixed-size block pool: many small allocations of one size taken from
// chunks of the runtime heap, chunks growing with the pool.
#pragma once

#include <cstdint>

#include "runtime/platform_lock.h"

struct PoolChunk;  // a chunk header and its blocks; the pool's own business
struct PoolShareEntry;

constexpr int POOL_LOCKED = 1;  // flags & 3 == 1: the pool has its own lock
constexpr int POOL_SHARED = 4;  // one pool per stride and flag set, counted

struct BlockPool {
  PoolChunk* full_chunks;     // no block left to give out (and one-block chunks)
  PoolChunk* partial_chunks;  // blocks left to give out
  PoolShareEntry* share_entry;
  std::int64_t total_blocks;
  std::uint64_t stride;  // block size rounded up to 8, plus the 8-byte header
  std::int32_t min_blocks;
  std::int32_t max_blocks;
  std::int32_t locked;
  PlatformLock lock;
};

BlockPool* pool_create(std::int64_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                       int flags);
void* pool_alloc(BlockPool* pool);
void* pool_alloc_zeroed(BlockPool* pool);
void pool_free(BlockPool* pool, void* block);
void pool_clear(BlockPool* pool);
void pool_destroy(BlockPool* pool);
