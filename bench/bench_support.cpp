// Timing and outside-command helpers shared by the benchmark programs.
#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

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
