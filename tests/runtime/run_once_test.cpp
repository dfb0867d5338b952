// Run-once guards under contention.
#include "runtime/run_once.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

std::atomic<int> runs{0};
std::atomic<bool> finished{false};

void slow_procedure() {
  runs.fetch_add(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  finished.store(true);
}

TEST(RunOnce, runs_once_and_every_caller_waits_for_it) {
  RunOnceGuard guard = 0;
  std::atomic<int> saw_unfinished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      run_once(&guard, slow_procedure);
      if (!finished.load()) saw_unfinished.fetch_add(1);
    });
  }
  for (auto& thread : threads) thread.join();
  run_once(&guard, slow_procedure);
  EXPECT_EQ(runs.load(), 1);
  EXPECT_EQ(saw_unfinished.load(), 0);
}

int counter_a = 0, counter_b = 0;
void bump_a() {
  ++counter_a;
}
void bump_b() {
  ++counter_b;
}

TEST(RunOnce, each_guard_is_independent) {
  RunOnceGuard first = 0, second = 0;
  run_once(&first, bump_a);
  run_once(&first, bump_a);
  run_once(&second, bump_b);
  run_once(&second, bump_a);
  EXPECT_EQ(counter_a, 1);
  EXPECT_EQ(counter_b, 1);
}

}  // namespace
