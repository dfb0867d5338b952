// The resize job's path for one picture (load, size, resize, save), run on
// the pictures given and timed step by step. A Windows program: job_bench
// runs it under Wine and sets its figures beside vipsthumbnail's and
// ImageMagick's. Arguments: [whole] output folder, box width, height,
// pictures.
// Prints "start_bytes N" (the peak working set before the first picture),
// "workers N" (how many pictures the job works on at once on this machine),
// one "picture NAME DECODE RESIZE ENCODE" line (seconds) per picture and
// "peak_bytes N".
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/resize_file.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "runtime/lifecycle.h"
#include "runtime/threads.h"

namespace {

unsigned long long peak_working_set() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: job_path_bench OUTPUT_FOLDER WIDTH HEIGHT PICTURE...\n");
    return 2;
  }
  image_join_runtime();
  codecs_join_runtime();
  if (!runtime_start()) return 3;
  // "whole" before the folder: every JPEG decoded at its full size, as
  // before shrink on load, for the comparison of the copies' quality.
  const bool whole = std::string(argv[1]) == "whole";
  if (whole) ++argv, --argc;
  const std::string output = argv[1];
  const PictureSize box{std::stoll(argv[2]), std::stoll(argv[3])};
  const std::vector<std::filesystem::path> pictures(argv + 4, argv + argc);

  std::printf("start_bytes %llu\n", peak_working_set());
  // How many pictures a job of many works on at once here.
  std::printf("workers %d\n", job_worker_count(processor_count(), memory_available(), INT32_MAX));
  int status = 0;
  for (const auto& picture : pictures) {
    auto start = std::chrono::steady_clock::now();
    const ScaledSizeRule scaled_to = [box](PictureSize shown) {
      return scaled_size(shown, box, "max");
    };
    const PictureLoad loaded =
        picture_load(IMAGE_WORK, picture.string(), whole ? ScaledSizeRule{} : scaled_to);
    bool done = loaded.loaded;
    const double decode = seconds_since(start);
    start = std::chrono::steady_clock::now();
    done = done && picture_scale(IMAGE_WORK, scaled_size(loaded.shown, box, "max"));
    const double resize = seconds_since(start);
    start = std::chrono::steady_clock::now();
    const std::string target = output + "\\" + picture.filename().string();
    done = done && picture_write(IMAGE_WORK, target, PictureKind::Jpeg, 8, nullptr);
    const double encode = seconds_since(start);
    if (!done) status = 1;
    std::printf("picture %s %.6f %.6f %.6f\n", picture.filename().string().c_str(), decode, resize,
                encode);
  }
  std::printf("peak_bytes %llu\n", peak_working_set());
  runtime_stop();
  return status;
}
