// The start-up and shutdown sequence.
#include "runtime/lifecycle.h"

#include <array>

#include "runtime/graphics_probe.h"
#include "runtime/heap.h"

namespace {

constexpr int kStepsPerStage = 6;

struct StageSteps {
  std::array<LifecycleStep, kStepsPerStage> steps{};
  int count = 0;

  bool join(LifecycleStep step) {
    for (int i = 0; i < count; ++i)
      if (steps[i] == step) return true;
    if (count == kStepsPerStage) return false;
    steps[count++] = step;
    return true;
  }
  void run() const {
    for (int i = 0; i < count; ++i) steps[i]();
  }
};

std::array<StageSteps, static_cast<int>(StartupStage::Count)> startup_steps;
std::array<StageSteps, static_cast<int>(ShutdownStage::Count)> shutdown_steps;
bool running = false;
void* instance = nullptr;

void open_string_heap() {
  heap_open(HEAP_STRING);
}
void open_codec_heap() {
  heap_open(HEAP_CODEC);
}
void close_codec_heap() {
  heap_close(HEAP_CODEC);
}
void close_string_heap() {
  heap_close(HEAP_STRING);
}

StageSteps& startup(StartupStage stage) {
  return startup_steps[static_cast<int>(stage)];
}
StageSteps& shutdown(ShutdownStage stage) {
  return shutdown_steps[static_cast<int>(stage)];
}

// The runtime's own steps take their places ahead of anything joined later.
// Start-up and joining happen on the main thread before any other exists.
void ensure_own_steps() {
  static bool joined = false;
  if (joined) return;
  joined = true;
  startup(StartupStage::StringBuffers).join(open_string_heap);
  startup(StartupStage::GraphicsProbe).join(graphics_probe_start);
  startup(StartupStage::CodecHeap).join(open_codec_heap);
  shutdown(ShutdownStage::GraphicsRelease).join(graphics_probe_release);
  shutdown(ShutdownStage::CodecHeap).join(close_codec_heap);
  shutdown(ShutdownStage::StringBuffers).join(close_string_heap);
}

}  // namespace

bool runtime_join_startup(StartupStage stage, LifecycleStep step) {
  ensure_own_steps();
  return step && startup(stage).join(step);
}

bool runtime_join_shutdown(ShutdownStage stage, LifecycleStep step) {
  ensure_own_steps();
  return step && shutdown(stage).join(step);
}

bool runtime_start() {
  if (running) return true;
  ensure_own_steps();
  instance = platform_module_instance();
  if (!heap_open(HEAP_RUNTIME)) return false;
  running = true;
  for (const StageSteps& stage : startup_steps) stage.run();
  return true;
}

void runtime_stop() {
  if (!running) return;
  for (const StageSteps& stage : shutdown_steps) stage.run();
  heap_close(HEAP_RUNTIME);
  running = false;
  instance = nullptr;
}

bool runtime_is_running() {
  return running;
}

void* runtime_instance() {
  return instance;
}
