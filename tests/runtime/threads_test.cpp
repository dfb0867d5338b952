// The thread list, thread handles and waits, and the 1 ms pause. Waits have
// wide limits: the tests assert what happened and in which order, never how
// fast.
#include "runtime/threads.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "runtime/scoped_win.h"
#include "support/runtime_fixture.h"

namespace {

constexpr std::int32_t kPatience = 60000;  // ms; only a hung thread takes this long

HANDLE started_event = nullptr;
HANDLE release_event = nullptr;
std::atomic<std::int64_t> seen_parameter{0};

void wait_for_release(std::int64_t parameter) {
  seen_parameter = parameter;
  SetEvent(started_event);
  WaitForSingleObject(release_event, INFINITE);
}

void end_at_once(std::int64_t) {}

class ThreadsTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { threads_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    started_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    release_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    SetEvent(release_event);
    for (std::int64_t number : started_) EXPECT_EQ(thread_wait(number, kPatience), 1);
    CloseHandle(release_event);
    CloseHandle(started_event);
    RuntimeTest::TearDown();
  }
  std::int64_t start(ThreadProcedure procedure, std::int64_t parameter) {
    std::int64_t number = thread_create(procedure, parameter);
    if (number) started_.push_back(number);
    return number;
  }
  static void await_start() {
    ASSERT_EQ(WaitForSingleObject(started_event, kPatience), WAIT_OBJECT_0);
  }

 private:
  std::vector<std::int64_t> started_;
};

TEST_F(ThreadsTest, a_running_thread_has_a_handle_until_it_ends) {
  std::int64_t number = start(wait_for_release, 4711);
  ASSERT_GT(number, 0);
  await_start();
  EXPECT_EQ(seen_parameter, 4711);
  EXPECT_EQ(thread_is_running(number), 1);
  EXPECT_EQ(thread_wait(number, 0), 0);
  KernelHandle handle(thread_handle(number));
  EXPECT_TRUE(handle);
  SetEvent(release_event);
  EXPECT_EQ(thread_wait(number, kPatience), 1);
  EXPECT_EQ(thread_is_running(number), 0);
  EXPECT_EQ(thread_handle(number), nullptr);
}

TEST_F(ThreadsTest, a_handle_given_out_stays_the_callers_after_the_list_drops_the_thread) {
  std::int64_t number = start(wait_for_release, 1);
  ASSERT_GT(number, 0);
  await_start();
  HANDLE handle = thread_handle(number);
  ASSERT_NE(handle, nullptr);
  SetEvent(release_event);
  ASSERT_EQ(WaitForSingleObject(handle, kPatience), WAIT_OBJECT_0);
  ASSERT_GT(start(end_at_once, 0), 0);  // drops the ended thread from the list
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeThread(handle, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(CloseHandle(handle));
}

TEST_F(ThreadsTest, numbers_rise_by_one_and_are_never_reused) {
  std::int64_t first = start(end_at_once, 0);
  ASSERT_GT(first, 0);
  ASSERT_EQ(thread_wait(first, kPatience), 1);
  std::int64_t second = start(end_at_once, 0);
  std::int64_t third = start(wait_for_release, 0);
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(third, first + 2);
  await_start();
  EXPECT_EQ(thread_is_running(first), 0);
  EXPECT_EQ(thread_is_running(third), 1);
}

TEST_F(ThreadsTest, numbers_that_name_no_thread_are_not_running) {
  EXPECT_EQ(thread_is_running(0), 0);
  EXPECT_EQ(thread_is_running(-5), 0);
  EXPECT_EQ(thread_is_running(1 << 30), 0);
  EXPECT_EQ(thread_handle(1 << 30), nullptr);
  EXPECT_EQ(thread_wait(1 << 30, 0), 1);
  EXPECT_EQ(thread_create(nullptr, 0), 0);
}

TEST_F(ThreadsTest, many_short_threads_are_dropped_from_the_list_as_they_end) {
  std::vector<std::int64_t> numbers;
  for (int i = 0; i < 200; ++i) numbers.push_back(start(end_at_once, i));
  for (std::size_t i = 1; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], numbers[i - 1] + 1);
  for (std::int64_t n : numbers) EXPECT_EQ(thread_wait(n, kPatience), 1);
  for (std::int64_t n : numbers) EXPECT_EQ(thread_is_running(n), 0);
}

TEST_F(ThreadsTest, delay_pauses_at_least_the_time_asked) {
  auto start = std::chrono::steady_clock::now();
  delay(30);
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(ms, 29.0);
  delay(0);
  delay(-5);
}

}  // namespace
