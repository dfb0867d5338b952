// Timing and outside-command helpers shared by the benchmark programs.
#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "image/pixel_layout.h"

double median_seconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double median_command_seconds(int runs, const std::string& command) {
  bool failed = false;
  double seconds = median_seconds(runs, [&] {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) failed = true;
  });
  return failed ? -1.0 : seconds;
}

std::string bench_scratch_dir() {
  static std::filesystem::path dir = [] {
    auto path = std::filesystem::temp_directory_path() / "skalaro-bench";
    std::filesystem::create_directories(path);
    std::atexit([] {
      std::filesystem::remove_all(std::filesystem::temp_directory_path() / "skalaro-bench");
    });
    return path;
  }();
  return dir.string();
}

std::string imagemagick_convert() {
  return std::filesystem::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
}

void print_row(const std::string& what, double seconds, double reference_seconds) {
  if (seconds < 0) {
    std::printf("%-52s %10s\n", what.c_str(), "failed");
    return;
  }
  if (reference_seconds > 0)
    std::printf("%-52s %8.1f ms  %6.2fx of reference\n", what.c_str(), seconds * 1000,
                seconds / reference_seconds);
  else
    std::printf("%-52s %8.1f ms\n", what.c_str(), seconds * 1000);
}

std::vector<std::uint8_t> bench_photo(int w, int h, int channels, std::uint32_t seed) {
  const std::int64_t pitch = channels == 3 ? image_row_pitch(w, 24) : w * 4;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pitch * h));
  std::uint32_t noise = seed;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      noise = noise * 1664525u + 1013904223u;
      std::uint8_t* p = &pixels[y * pitch + x * channels];
      int wave = ((x / 23 + y / 31) % 64) * 2;
      p[0] = static_cast<std::uint8_t>(x * 200 / w + (noise >> 27));
      p[1] = static_cast<std::uint8_t>(y * 180 / h + wave / 4 + (noise >> 28 & 15));
      p[2] = static_cast<std::uint8_t>(wave + (noise >> 26 & 31));
      if (channels == 4) p[3] = static_cast<std::uint8_t>(x < w / 2 ? 255 : (y * 255 / h));
    }
  return pixels;
}
