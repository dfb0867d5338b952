// Block pools: stride, chunk growth, chunk release, fall-back chunks, sharing.
#include "runtime/block_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "runtime/heap.h"
#include "runtime/block_pool_testing.h"
#include "runtime/heap_testing.h"
#include "support/runtime_fixture.h"

namespace {

using BlockPoolTest = RuntimeTest;

int full_chunks(const BlockPool* pool) {
  return static_cast<int>(pool_full_chunk_capacities(pool).size());
}
int partial_chunks(const BlockPool* pool) {
  return static_cast<int>(pool_partial_chunk_capacities(pool).size());
}

TEST_F(BlockPoolTest, event_sized_pool_has_stride_64_and_16_block_chunks) {
  BlockPool* pool = pool_create(56, 16, 256, 0);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->stride, 64u);
  void* first = pool_alloc(pool);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(pool->total_blocks, 16);
  EXPECT_EQ(pool_partial_chunk_capacities(pool), std::vector<int>{16});
  std::vector<void*> blocks{first};
  for (int i = 1; i < 16; ++i) blocks.push_back(pool_alloc(pool));
  EXPECT_EQ(pool->total_blocks, 16);
  EXPECT_EQ(partial_chunks(pool), 0);
  EXPECT_EQ(full_chunks(pool), 1);
  std::set<char*> distinct;
  for (void* b : blocks) distinct.insert(static_cast<char*>(b));
  EXPECT_EQ(distinct.size(), 16u);
  for (auto it = distinct.begin(); std::next(it) != distinct.end(); ++it)
    EXPECT_GE(*std::next(it) - *it, 64);
  for (void* b : blocks) std::memset(b, 0xEE, 56);  // every block really holds 56 bytes
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, chunk_is_freed_when_all_its_blocks_come_back) {
  BlockPool* pool = pool_create(56, 16, 256, 0);
  std::vector<void*> blocks;
  for (int i = 0; i < 17; ++i) blocks.push_back(pool_alloc(pool));
  EXPECT_EQ(pool->total_blocks, 32);
  pool_free(pool, blocks[3]);  // the full chunk gets one back: partial again
  EXPECT_EQ(partial_chunks(pool), 2);
  EXPECT_EQ(full_chunks(pool), 0);
  for (int i = 0; i < 16; ++i)
    if (i != 3) pool_free(pool, blocks[i]);
  EXPECT_EQ(pool->total_blocks, 16);
  EXPECT_EQ(partial_chunks(pool), 1);
  pool_free(pool, blocks[16]);
  EXPECT_EQ(pool->total_blocks, 0);
  EXPECT_EQ(partial_chunks(pool), 0);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, freed_blocks_are_reused_before_fresh_ones) {
  BlockPool* pool = pool_create(24, 16, 256, 0);
  void* a = pool_alloc(pool);
  void* b = pool_alloc(pool);
  pool_free(pool, a);
  EXPECT_EQ(pool_alloc(pool), a);
  pool_free(pool, b);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, chunks_grow_by_a_sixteenth_up_to_the_ceiling) {
  BlockPool* pool = pool_create(8, 16, 64, 0);
  std::vector<int> capacities;
  for (int i = 0; i < 2000; ++i) {
    bool needs_chunk = partial_chunks(pool) == 0;
    pool_alloc(pool);
    if (needs_chunk) {
      std::vector<int> partial = pool_partial_chunk_capacities(pool);
      capacities.push_back(partial.empty() ? pool_full_chunk_capacities(pool).front()
                                           : partial.front());
    }
  }
  // 16 blocks a chunk until total/16 (in multiples of 16) reaches 16 at 256
  // blocks; then that sixteenth (16, 16, ..., 32, ...) capped at 64.
  ASSERT_GE(capacities.size(), 20u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(capacities[i], 16) << i;
  std::int64_t total = 0;
  for (std::size_t i = 0; i < capacities.size(); ++i) {
    std::int64_t sixteenth = total / 16 / 16 * 16;
    std::int64_t expected = sixteenth >= 16 ? std::min<std::int64_t>(sixteenth, 64) : 16;
    EXPECT_EQ(capacities[i], expected) << "chunk " << i;
    total += capacities[i];
  }
  EXPECT_EQ(capacities.back(), 64);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, failed_chunk_falls_back_to_a_single_block_on_the_full_list) {
  BlockPool* pool = pool_create(56, 16, 256, 0);
  heap_fail_next_allocations(1);
  void* block = pool_alloc(pool);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(pool->total_blocks, 1);
  EXPECT_EQ(partial_chunks(pool), 0);
  EXPECT_EQ(pool_full_chunk_capacities(pool), std::vector<int>{1});
  pool_free(pool, block);
  EXPECT_EQ(full_chunks(pool), 0);
  EXPECT_EQ(pool->total_blocks, 0);
  heap_fail_next_allocations(2);
  EXPECT_EQ(pool_alloc(pool), nullptr);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, zeroed_alloc_clears_the_rounded_size) {
  BlockPool* pool = pool_create(13, 16, 16, 0);
  auto* block = static_cast<unsigned char*>(pool_alloc(pool));
  void* keeps_chunk = pool_alloc(pool);
  std::memset(block, 0xFF, 16);
  pool_free(pool, block);
  // the freed block's first bytes now hold the free-list link; zeroing must clear them
  auto* again = static_cast<unsigned char*>(pool_alloc_zeroed(pool));
  ASSERT_EQ(again, block);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(again[i], 0) << i;
  pool_free(pool, keeps_chunk);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, clear_empties_the_pool_and_keeps_it_usable) {
  BlockPool* pool = pool_create(56, 16, 256, 0);
  for (int i = 0; i < 40; ++i) pool_alloc(pool);
  pool_clear(pool);
  EXPECT_EQ(pool->total_blocks, 0);
  EXPECT_EQ(full_chunks(pool), 0);
  EXPECT_EQ(partial_chunks(pool), 0);
  EXPECT_NE(pool_alloc(pool), nullptr);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, shared_pools_are_one_per_stride_and_flags_and_counted) {
  BlockPool* a = pool_create(50, 16, 256, POOL_SHARED);
  BlockPool* b = pool_create(56, 16, 256, POOL_SHARED);  // same stride 64
  BlockPool* c = pool_create(56, 16, 256, POOL_SHARED | POOL_LOCKED);
  BlockPool* d = pool_create(72, 16, 256, POOL_SHARED);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_NE(a, d);
  EXPECT_EQ(c->locked, 1);
  EXPECT_EQ(a->locked, 0);
  void* block = pool_alloc(a);
  pool_destroy(b);  // one reference left: the pool stays
  pool_free(a, block);
  EXPECT_NE(pool_alloc(a), nullptr);
  pool_destroy(a);
  BlockPool* fresh = pool_create(56, 16, 256, POOL_SHARED);
  EXPECT_EQ(fresh->total_blocks, 0);
  pool_destroy(fresh);
  pool_destroy(c);
  pool_destroy(d);
}

TEST_F(BlockPoolTest, locked_pool_survives_concurrent_use) {
  BlockPool* pool = pool_create(40, 16, 256, POOL_LOCKED);
  ASSERT_EQ(pool->locked, 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([pool, t] {
      std::vector<void*> held;
      for (int i = 0; i < 5000; ++i) {
        auto* block = static_cast<int*>(pool_alloc(pool));
        *block = t;
        held.push_back(block);
        if (held.size() > 50) {
          EXPECT_EQ(*static_cast<int*>(held.front()), t);
          pool_free(pool, held.front());
          held.erase(held.begin());
        }
      }
      for (void* b : held) pool_free(pool, b);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(pool->total_blocks, 0);
  pool_destroy(pool);
}

TEST_F(BlockPoolTest, refuses_nonsense_sizes) {
  EXPECT_EQ(pool_create(0, 16, 256, 0), nullptr);
  EXPECT_EQ(pool_create(8, 0, 256, 0), nullptr);
  EXPECT_EQ(pool_create(8, 32, 16, 0), nullptr);
}

}  // namespace
