// The resize job in a scratch folder: the runtime with the kinds the job
// uses, the folder as the current directory with "ResizedImages" in it, and
// a window that records what the job shows and answers every requester at once.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/resize_job.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "regex/regex.h"
#include "runtime/files.h"
#include "runtime/programs.h"
#include "runtime/threads.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

class RecordingWindow final : public JobWindow {
 public:
  struct Message {
    std::string title, text;
  };
  std::map<object_number, int> check_boxes;
  // Called with the gadget whenever the job reads a check box, and after
  // every picture's progress.
  std::function<void(object_number)> on_check_box_read;
  std::function<void()> on_progress;

  int check_box_state(object_number gadget) override {
    if (on_check_box_read) on_check_box_read(gadget);
    auto found = check_boxes.find(gadget);
    return found == check_boxes.end() ? 0 : found->second;
  }
  void set_progress(std::int64_t percent) override {
    if (on_progress) on_progress();
    std::lock_guard<std::mutex> guard(lock_);
    progress_.push_back(percent);
  }
  void set_status_text(const std::string& text) override {
    std::lock_guard<std::mutex> guard(lock_);
    status_ = text;
  }
  void show_message(const std::string& title, const std::string& text) override {
    std::lock_guard<std::mutex> guard(lock_);
    messages_.push_back({title, text});
  }
  std::vector<std::int64_t> progress() {
    std::lock_guard<std::mutex> guard(lock_);
    return progress_;
  }
  std::string status() {
    std::lock_guard<std::mutex> guard(lock_);
    return status_;
  }
  std::vector<Message> messages() {
    std::lock_guard<std::mutex> guard(lock_);
    return messages_;
  }

 private:
  std::mutex lock_;
  std::vector<std::int64_t> progress_;
  std::string status_;
  std::vector<Message> messages_;
};

class JobTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() {
    image_join_runtime();
    codecs_join_runtime();
    regex_join_runtime();
    programs_join_runtime();
    threads_join_runtime();
  }
  void SetUp() override {
    RuntimeTest::SetUp();
    app_state_reset();
    saved_directory_ = directory_current();
    ASSERT_NE(directory_set_current(dir.path().string()), 0);
    AppState& state = app_state();
    state.output_dir_name = OUTPUT_DIR_NAME;
    state.output_directory = out("");
    resize_settings().target_width = 400;
    resize_settings().target_height = 300;
    resize_job_bind_window(&window);
  }
  void TearDown() override {
    resize_job_bind_window(nullptr);
    directory_set_current(saved_directory_);
    RuntimeTest::TearDown();
  }

  ScratchDir dir;
  RecordingWindow window;

  std::string in(const std::string& name) const { return dir.file(name); }
  std::string out(const std::string& name) const {
    return (dir.path() / std::string(OUTPUT_DIR_NAME)).string() + "\\" + name;
  }

  // Starts the job on its own thread, as the drop handler does, and waits
  // until it asks for the list to be rebuilt.
  void run_job(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += (list.empty() ? "" : "\n") + path;
    app_state().dropped_files = list;
    ASSERT_NE(thread_create(resize_job, 0), 0);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (app_state().list_rebuild_pending == 0) {
      ASSERT_LT(std::chrono::steady_clock::now(), give_up) << "the job did not finish";
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // The picture a file holds, as the program loads it: width, height, depth.
  static std::vector<int> picture_of(const std::string& name) {
    if (!image_load(2, name.c_str())) return {};
    std::vector<int> shape = {image_width(2), image_height(2), image_depth(2)};
    image_free(2);
    return shape;
  }

  // Names of files left with ".tmp" anywhere in the folder.
  std::vector<std::string> temporary_files() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
      if (entry.is_regular_file() && entry.path().extension() == ".tmp")
        found.push_back(entry.path().filename().string());
    return found;
  }

 private:
  std::string saved_directory_;
};
