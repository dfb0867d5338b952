// The thread list and the 1 ms pause.
#include "runtime/threads.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "support/runtime_fixture.h"

namespace {

HANDLE release_event = nullptr;
std::atomic<std::int64_t> seen_parameter{0};

void wait_for_release(std::int64_t parameter) {
  seen_parameter = parameter;
  WaitForSingleObject(release_event, INFINITE);
}

void end_at_once(std::int64_t) {}

class ThreadsTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { threads_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    release_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    SetEvent(release_event);
    Sleep(20);
    CloseHandle(release_event);
    RuntimeTest::TearDown();
  }
  static void wait_until_ended(std::int64_t number) {
    for (int i = 0; i < 500 && thread_is_running(number); ++i) Sleep(2);
  }
};

TEST_F(ThreadsTest, a_running_thread_has_a_handle_until_it_ends) {
  std::int64_t number = thread_create(wait_for_release, 4711);
  ASSERT_GT(number, 0);
  for (int i = 0; i < 500 && seen_parameter != 4711; ++i) Sleep(2);
  EXPECT_EQ(seen_parameter, 4711);
  EXPECT_EQ(thread_is_running(number), 1);
  EXPECT_NE(thread_handle(number), nullptr);
  SetEvent(release_event);
  wait_until_ended(number);
  EXPECT_EQ(thread_is_running(number), 0);
  EXPECT_EQ(thread_handle(number), nullptr);
}

TEST_F(ThreadsTest, numbers_rise_by_one_and_are_never_reused) {
  std::int64_t first = thread_create(end_at_once, 0);
  ASSERT_GT(first, 0);
  wait_until_ended(first);
  std::int64_t second = thread_create(end_at_once, 0);
  std::int64_t third = thread_create(wait_for_release, 0);
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(third, first + 2);
  EXPECT_EQ(thread_is_running(first), 0);
  EXPECT_EQ(thread_is_running(third), 1);
}

TEST_F(ThreadsTest, numbers_that_name_no_thread_are_not_running) {
  EXPECT_EQ(thread_is_running(0), 0);
  EXPECT_EQ(thread_is_running(-5), 0);
  EXPECT_EQ(thread_is_running(1 << 30), 0);
  EXPECT_EQ(thread_handle(1 << 30), nullptr);
  EXPECT_EQ(thread_create(nullptr, 0), 0);
}

TEST_F(ThreadsTest, many_short_threads_are_dropped_from_the_list_as_they_end) {
  std::vector<std::int64_t> numbers;
  for (int i = 0; i < 200; ++i) numbers.push_back(thread_create(end_at_once, i));
  for (std::size_t i = 1; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], numbers[i - 1] + 1);
  for (std::int64_t n : numbers) wait_until_ended(n);
  for (std::int64_t n : numbers) EXPECT_EQ(thread_is_running(n), 0);
}

TEST_F(ThreadsTest, delay_pauses_about_the_time_asked) {
  auto start = std::chrono::steady_clock::now();
  delay(30);
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(ms, 29.0);
  delay(0);
  delay(-5);
}

}  // namespace
