// Runs the resize job in replace mode over the pictures of one folder and
// ends; the test of a killed job ends it midway. Arguments: the folder, and
// 1 to keep the EXIF blocks (jhead.exe then lies in the folder).
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/resize_job.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "regex/regex.h"
#include "runtime/files.h"
#include "runtime/lifecycle.h"
#include "runtime/programs.h"
#include "runtime/threads.h"

namespace {

class FixedWindow final : public JobWindow {
 public:
  explicit FixedWindow(bool keep_exif) : keep_exif_(keep_exif) {}
  int check_box_state(object_number gadget) override {
    return gadget == GADGET_REPLACE_ORIGINALS || (gadget == GADGET_KEEP_EXIF && keep_exif_);
  }
  void set_progress(std::int64_t) override {}
  void set_status_text(const std::string&) override {}
  void show_message(const std::string&, const std::string&) override {}

 private:
  bool keep_exif_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  image_join_runtime();
  codecs_join_runtime();
  regex_join_runtime();
  programs_join_runtime();
  threads_join_runtime();
  if (!runtime_start()) return 3;

  const std::string folder = argv[1];
  directory_set_current(folder);
  std::vector<std::string> pictures;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".jpg" || extension == ".png") pictures.push_back(entry.path().string());
  }
  std::sort(pictures.begin(), pictures.end());
  AppState& state = app_state();
  state.output_dir_name = OUTPUT_DIR_NAME;
  state.output_directory = folder + "\\" + std::string(OUTPUT_DIR_NAME) + "\\";
  for (const std::string& picture : pictures)
    state.dropped_files += (state.dropped_files.empty() ? "" : "\n") + picture;
  resize_settings().target_width = 400;
  resize_settings().target_height = 300;

  FixedWindow window(std::string(argv[2]) == "1");
  resize_job_bind_window(&window);
  resize_job(0);
  runtime_stop();
  return 0;
}
