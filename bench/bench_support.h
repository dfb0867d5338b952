// Timing and outside-command helpers shared by the benchmark programs.
#pragma once

#include <chrono>
#include <functional>
#include <string>

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
