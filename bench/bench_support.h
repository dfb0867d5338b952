// Timing and outside-command helpers shared by the benchmark programs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Median wall-clock seconds of `runs` calls.
double median_seconds(int runs, const std::function<void()>& work);

// Median wall-clock seconds of `runs` runs of a shell command; negative when
// the command fails or is missing.
double median_command_seconds(int runs, const std::string& command);

// A directory for the benchmark's files, removed at exit.
std::string bench_scratch_dir();

// The real ImageMagick convert (a stand-in of the same name may come first on PATH).
std::string imagemagick_convert();

void print_row(const std::string& what, double seconds, double reference_seconds);

// A photo-like picture of 3 (24-bit, padded rows) or 4 bytes a pixel, bottom
// row first: gradients, soft waves and a little noise from `seed`.
std::vector<std::uint8_t> bench_photo(int w, int h, int channels, std::uint32_t seed = 99);
