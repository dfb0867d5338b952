// The start-up and shutdown sequence runs joined steps in stage order.
#include "runtime/lifecycle.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/heap.h"

namespace {

std::string trace;

void start_network() {
  trace += "net ";
}
void start_images() {
  trace += "img ";
  EXPECT_TRUE(heap_is_open(HEAP_CODEC));
}
void start_codecs() {
  trace += "codec ";
}
void start_regex() {
  trace += "re ";
}
void stop_threads() {
  trace += "threads ";
}
void stop_images() {
  trace += "images ";
  EXPECT_TRUE(heap_is_open(HEAP_CODEC));
}
void stop_prefs() {
  trace += "prefs ";
  EXPECT_TRUE(heap_is_open(HEAP_RUNTIME));
}

TEST(Lifecycle, stages_run_in_their_fixed_order_whatever_the_join_order) {
  // Joined out of order, and twice, on purpose.
  runtime_join_startup(StartupStage::CodecRegistrations, start_codecs);
  runtime_join_startup(StartupStage::Network, start_network);
  runtime_join_startup(StartupStage::ImageKind, start_images);
  runtime_join_startup(StartupStage::RegexKind, start_regex);
  runtime_join_startup(StartupStage::ImageKind, start_images);
  runtime_join_shutdown(ShutdownStage::Images, stop_images);
  runtime_join_shutdown(ShutdownStage::PrefsState, stop_prefs);
  runtime_join_shutdown(ShutdownStage::Threads, stop_threads);

  trace.clear();
  ASSERT_TRUE(runtime_start());
  EXPECT_TRUE(runtime_is_running());
  EXPECT_TRUE(heap_is_open(HEAP_RUNTIME));
  EXPECT_TRUE(heap_is_open(HEAP_STRING));
  EXPECT_EQ(trace, "img re net codec ");
  trace.clear();
  runtime_stop();
  EXPECT_EQ(trace, "threads prefs images ");
  EXPECT_FALSE(runtime_is_running());
  for (HeapId heap : {HEAP_RUNTIME, HEAP_STRING, HEAP_CODEC}) EXPECT_FALSE(heap_is_open(heap));
}

TEST(Lifecycle, a_second_start_changes_nothing_and_stop_without_start_is_harmless) {
  runtime_stop();
  ASSERT_TRUE(runtime_start());
  void* block = runtime_alloc(10);
  trace.clear();
  EXPECT_TRUE(runtime_start());
  EXPECT_EQ(trace, "");
  runtime_free(block);
  runtime_stop();
  runtime_stop();
}

}  // namespace
