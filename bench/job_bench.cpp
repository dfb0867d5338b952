// The speed of the resize job's path: ten 6000 x 4000 JPEGs into 1024 x 768
// copies at quality 8 (library quality 80), with the time per picture split
// into decode, resize and encode and the peak memory, next to vipsthumbnail
// and ImageMagick (one thread) on the same files in the same run.
//
// The job's path runs in the Windows program job_path_bench under Wine (its
// image objects are Windows bitmaps); the outside tools run natively. Every
// tool is a process of its own, so its peak memory is its resident set's
// high-water mark as the kernel reports it. Then the whole program:
// Skalaro.exe from a folder of its own with the ten pictures on its command
// line, timed from its start until its file list is back (skalaro_driver
// watches the window; a display is needed), without and with jhead.
// Arguments: the paths of job_path_bench.exe, scripts/wine_run.sh, the
// folder with Skalaro.exe and jhead.exe, and skalaro_driver.exe.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/codecs/jpeg_codec.h"
#include "image/pixel_layout.h"

namespace {

constexpr int kPictures = 10;
constexpr int kWidth = 6000, kHeight = 4000;

struct Run {
  double seconds = -1;  // negative when the command failed
  double peak_mb = 0;
};

// Starts a command (no shell), its standard output into `output` when
// given, else discarded like its errors.
pid_t start_quietly(const std::vector<std::string>& command, const std::string& output = {}) {
  pid_t child = fork();
  if (child == 0) {
    int sink =
        open(output.empty() ? "/dev/null" : output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(sink, 1);
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 2);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// Runs a command to its end, timed, with its peak memory.
Run run_measured(const std::vector<std::string>& command, const std::string& output = {}) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = start_quietly(command, output);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Run run;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peak_mb = usage.ru_maxrss / 1024.0;
  return run;
}

std::string wine_path(const std::string& path) {
  return "Z:" + path;
}

struct ProgramRun {
  double total = -1;   // from the start of the process until the list is back
  double job = -1;     // from the window shown until the list is back
  double peak_mb = 0;  // of the program's process
};

// One run of Skalaro.exe over the pictures, with or without jhead.
ProgramRun time_program(const std::string& wine_run, const std::string& package,
                        const std::string& driver, const std::vector<std::string>& pictures,
                        const std::string& folder, bool keep_exif) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (const char* file : {"/Skalaro.exe", "/jhead.exe"})
    std::filesystem::copy_file(package + file, folder + file);
  std::ofstream(folder + "/Skalaro.ini") << "JHEAD_KeepEXIF = " << (keep_exif ? 1 : 0) << "\r\n";

  std::vector<std::string> command = {wine_run, folder + "/Skalaro.exe"};
  for (const std::string& picture : pictures) command.push_back(wine_path(picture));
  const auto start = std::chrono::steady_clock::now();
  const pid_t program = start_quietly(command);
  ProgramRun run;
  if (run_measured({wine_run, driver, "window", "180"}).seconds >= 0) {
    const auto shown = std::chrono::steady_clock::now();
    if (run_measured({wine_run, driver, "job", "900"}).seconds >= 0) {
      const auto done = std::chrono::steady_clock::now();
      run.total = std::chrono::duration<double>(done - start).count();
      run.job = std::chrono::duration<double>(done - shown).count();
    }
  }
  run_measured({wine_run, driver, "close", "60"});
  int status = 0;
  rusage usage{};
  wait4(program, &status, 0, &usage);
  run.peak_mb = usage.ru_maxrss / 1024.0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: job_bench JOB_PATH_BENCH_EXE WINE_RUN_SH SKALARO_FOLDER DRIVER_EXE\n");
    return 2;
  }
  const std::string dir = bench_scratch_dir() + "/job";
  const std::string sources = dir + "/sources";
  for (const char* sub : {"/sources", "/skalaro", "/vips", "/magick"})
    std::filesystem::create_directories(dir + sub);

  std::printf("Ten %d x %d JPEGs into copies within 1024 x 768 at quality 8 (library 80)\n", kWidth,
              kHeight);
  std::vector<std::string> pictures;
  for (int i = 1; i <= kPictures; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/photo%02d.jpg", i);
    pictures.push_back(sources + name);
    const auto pixels = bench_photo(kWidth, kHeight, 3, 99 + static_cast<std::uint32_t>(i));
    if (!jpeg_codec_encode(pictures.back().c_str(), pixels.data(), kWidth, kHeight,
                           image_row_pitch(kWidth, 24), ROWS_BOTTOM_UP, 8, 24)) {
      std::fprintf(stderr, "cannot write %s\n", pictures.back().c_str());
      return 1;
    }
  }

  // One process a picture for every tool, taken in turns, so that a change
  // in the machine's load falls on all three alike.
  const std::string report = dir + "/skalaro.txt";
  Run skalaro{0, 0}, vips{0, 0}, magick{0, 0};
  double decode = 0, resize = 0, encode = 0, start_mb = 0;
  int counted = 0;
  auto add = [&](Run& total, const Run& one) {
    if (one.seconds < 0 || total.seconds < 0) {
      total.seconds = -1;
      return;
    }
    total.seconds += one.seconds / kPictures;
    total.peak_mb = std::max(total.peak_mb, one.peak_mb);
  };
  for (const std::string& picture : pictures) {
    const std::string name = std::filesystem::path(picture).filename().string();
    add(skalaro, run_measured({argv[2], argv[1], wine_path(dir + "/skalaro"), "1024", "768",
                               wine_path(picture)},
                              report));
    std::ifstream lines(report);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string key, ignored;
      fields >> key;
      if (key == "picture") {
        double d = 0, r = 0, e = 0;
        fields >> ignored >> d >> r >> e;
        decode += d / kPictures;
        resize += r / kPictures;
        encode += e / kPictures;
        ++counted;
      } else if (key == "start_bytes") {
        unsigned long long bytes = 0;
        fields >> bytes;
        start_mb = std::max(start_mb, static_cast<double>(bytes) / (1024.0 * 1024.0));
      }
    }
    add(vips, run_measured({"vipsthumbnail", picture, "--size", "1024x768", "-o",
                            dir + "/vips/%s.jpg[Q=80]"}));
    add(magick, run_measured({imagemagick_convert(), "-limit", "thread", "1", picture, "-resize",
                              "1024x768", "-quality", "80", dir + "/magick/" + name}));
  }
  if (skalaro.seconds < 0 || counted != kPictures) {
    std::fprintf(stderr, "job_path_bench failed (%d pictures)\n", counted);
    return 1;
  }
  const double ours = decode + resize + encode;

  std::printf("\n%-44s %10s %10s\n", "per picture", "time", "peak RSS");
  std::printf("%-44s %7.1f ms %7.0f MB\n", "Skalaro job path (under Wine, a process each)",
              ours * 1000, skalaro.peak_mb);
  std::printf("  %-42s %7.1f ms\n", "decode (image_load)", decode * 1000);
  std::printf("  %-42s %7.1f ms\n", "resize (image_resize, smooth)", resize * 1000);
  std::printf("  %-42s %7.1f ms\n", "encode (image_save, .tmp, replace)", encode * 1000);
  std::printf("  %-42s %10s %7.0f MB\n", "peak before the first picture", "", start_mb);
  std::printf("  %-42s %7.1f ms\n", "whole process, Wine's start included", skalaro.seconds * 1000);
  if (vips.seconds < 0)
    std::printf("%-44s %10s\n", "vipsthumbnail", "failed");
  else
    std::printf("%-44s %7.1f ms %7.0f MB\n", "vipsthumbnail (a process a picture)",
                vips.seconds * 1000, vips.peak_mb);
  if (magick.seconds < 0)
    std::printf("%-44s %10s\n", "ImageMagick convert -limit thread 1", "failed");
  else
    std::printf("%-44s %7.1f ms %7.0f MB\n", "ImageMagick convert -limit thread 1",
                magick.seconds * 1000, magick.peak_mb);

  const ProgramRun plain =
      time_program(argv[2], argv[3], argv[4], pictures, dir + "/program", false);
  const ProgramRun exif = time_program(argv[2], argv[3], argv[4], pictures, dir + "/program", true);
  std::printf("\n%-44s %10s %10s\n", "Skalaro.exe, the ten on its command line", "per picture",
              "peak RSS");
  const std::pair<const char*, const ProgramRun*> runs[] = {{"without jhead", &plain},
                                                            {"with jhead (the default)", &exif}};
  for (const auto& [name, run] : runs) {
    if (run->total < 0) {
      std::printf("  %-42s %10s\n", name, "failed");
      continue;
    }
    std::printf("  %-42s %7.1f ms %7.0f MB\n", name, run->job * 1000 / kPictures, run->peak_mb);
    std::printf("    %-40s %7.1f ms\n", "with Wine's start and the window",
                run->total * 1000 / kPictures);
  }

  std::printf("\nratios (Skalaro / tool)                       time     memory\n");
  const auto ratio_row = [&](const char* name, double seconds, double peak_mb) {
    if (vips.seconds > 0)
      std::printf("%-44s %6.2fx %8.2fx\n", (std::string(name) + " / vipsthumbnail").c_str(),
                  seconds / vips.seconds, peak_mb / vips.peak_mb);
    if (magick.seconds > 0)
      std::printf("%-44s %6.2fx %8.2fx\n", (std::string(name) + " / ImageMagick").c_str(),
                  seconds / magick.seconds, peak_mb / magick.peak_mb);
  };
  ratio_row("job path", ours, skalaro.peak_mb);
  if (plain.total >= 0) ratio_row("Skalaro.exe", plain.job / kPictures, plain.peak_mb);
  if (plain.total >= 0)
    std::printf("%-44s %6.2fx\n", "Skalaro.exe / job path", plain.job / kPictures / ours);
  return plain.total >= 0 && exif.total >= 0 ? 0 : 1;
}
