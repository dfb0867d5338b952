// The resize job's path for one picture (load, size, resize, save), run on
// the pictures given and timed step by step. A Windows program: job_bench
// runs it under Wine and sets its figures beside vipsthumbnail's and
// ImageMagick's. Arguments: output folder, box width, height, pictures.
// Prints "start_bytes N" (the peak working set before the first picture),
// one "picture NAME DECODE RESIZE ENCODE" line (seconds) per picture and
// "peak_bytes N".
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/resize_file.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "runtime/lifecycle.h"

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
  const std::string output = argv[1];
  const PictureSize box{std::stoll(argv[2]), std::stoll(argv[3])};
  const std::vector<std::filesystem::path> pictures(argv + 4, argv + argc);

  std::printf("start_bytes %llu\n", peak_working_set());
  int status = 0;
  for (const auto& picture : pictures) {
    auto start = std::chrono::steady_clock::now();
    bool done = picture_load(picture.string());
    const double decode = seconds_since(start);
    start = std::chrono::steady_clock::now();
    done = done && picture_scale(scaled_size(picture_size(), box, "max"));
    const double resize = seconds_since(start);
    start = std::chrono::steady_clock::now();
    const std::string target = output + "\\" + picture.filename().string();
    done = done && picture_write(target, PictureKind::Jpeg, 8, nullptr);
    const double encode = seconds_since(start);
    if (!done) status = 1;
    std::printf("picture %s %.6f %.6f %.6f\n", picture.filename().string().c_str(), decode, resize,
                encode);
  }
  std::printf("peak_bytes %llu\n", peak_working_set());
  runtime_stop();
  return status;
}
