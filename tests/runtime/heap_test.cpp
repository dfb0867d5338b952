// The codec heap's size rules and the private heaps' lifetime.
#include "runtime/heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "runtime/heap_testing.h"
#include "support/runtime_fixture.h"

namespace {

using HeapTest = RuntimeTest;

bool all_zero(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (std::size_t i = 0; i < size; ++i)
    if (bytes[i]) return false;
  return true;
}

TEST_F(HeapTest, alloc_refuses_sizes_of_zero_and_below) {
  EXPECT_EQ(memory_alloc(0, 0), nullptr);
  EXPECT_EQ(memory_alloc(-5, 0), nullptr);
}

TEST_F(HeapTest, alloc_clears_unless_asked_not_to) {
  void* block = memory_alloc(4096, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(all_zero(block, 4096));
  void* raw = memory_alloc(64, MEMORY_UNCLEARED);
  EXPECT_NE(raw, nullptr);
  memory_free(raw);
  memory_free(block);
}

TEST_F(HeapTest, realloc_to_zero_fails_and_keeps_the_block) {
  auto* block = static_cast<char*>(memory_alloc(16, 0));
  std::memcpy(block, "kept intact", 12);
  EXPECT_EQ(memory_realloc(block, 0), nullptr);
  EXPECT_EQ(memory_realloc(block, -1), nullptr);
  EXPECT_STREQ(block, "kept intact");
  memory_free(block);
}

TEST_F(HeapTest, realloc_of_null_gives_zeroed_bytes) {
  void* block = memory_realloc(nullptr, 100);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(all_zero(block, 100));
  memory_free(block);
}

TEST_F(HeapTest, realloc_keeps_contents_and_zeroes_growth) {
  auto* block = static_cast<unsigned char*>(memory_alloc(10, MEMORY_UNCLEARED));
  std::memset(block, 0xAB, 10);
  block = static_cast<unsigned char*>(memory_realloc(block, 100000));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(block[i], 0xAB);
  EXPECT_TRUE(all_zero(block + 10, 100000 - 10));
  memory_free(block);
}

TEST_F(HeapTest, exhausted_heap_gives_null_and_realloc_keeps_the_old_block) {
  auto* block = static_cast<char*>(memory_alloc(8, 0));
  block[0] = 'x';
  heap_fail_next_allocations(2);
  EXPECT_EQ(memory_alloc(8, 0), nullptr);
  EXPECT_EQ(memory_realloc(block, 800), nullptr);
  EXPECT_EQ(block[0], 'x');
  memory_free(block);
}

TEST_F(HeapTest, heaps_are_usable_from_many_threads_at_once) {
  // Each thread fills its blocks with its own mark; a block handed to two
  // threads, or bytes lost in a move, show up as a wrong mark.
  std::vector<std::thread> threads;
  std::vector<int> bad(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &bad] {
      const auto mark = static_cast<unsigned char>(0x10 + t);
      for (int i = 0; i < 2000; ++i) {
        const std::size_t size = 32 + i % 100;
        auto* a = static_cast<unsigned char*>(memory_alloc(static_cast<std::int64_t>(size), 0));
        auto* b = static_cast<unsigned char*>(runtime_alloc(48));
        if (!a || !b || !all_zero(a, size) || !all_zero(b, 48)) {
          ++bad[t];
          continue;
        }
        std::memset(a, mark, size);
        std::memset(b, mark, 48);
        a = static_cast<unsigned char*>(memory_realloc(a, 500));
        if (!a || !all_zero(a + size, 500 - size)) ++bad[t];
        for (std::size_t k = 0; a && k < size; ++k)
          if (a[k] != mark) ++bad[t];
        for (int k = 0; k < 48; ++k)
          if (b[k] != mark) ++bad[t];
        memory_free(a);
        runtime_free(b);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(bad, std::vector<int>(4, 0));
}

TEST(HeapLifetime, closed_heap_gives_no_memory_and_reopens_empty) {
  ASSERT_TRUE(runtime_start());
  EXPECT_TRUE(heap_is_open(HEAP_CODEC));
  EXPECT_NE(memory_alloc(100, 0), nullptr);  // left for the heap's destruction to release
  runtime_stop();
  EXPECT_FALSE(heap_is_open(HEAP_CODEC));
  EXPECT_FALSE(heap_is_open(HEAP_RUNTIME));
  EXPECT_EQ(memory_alloc(100, 0), nullptr);
  EXPECT_EQ(runtime_alloc(100), nullptr);
}

}  // namespace
