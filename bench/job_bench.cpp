// The speed of the resize job: ten 6000 x 4000 JPEGs into 1024 x 768 copies
// at quality 8 (library quality 80), against vipsthumbnail and ImageMagick
// (one thread) on the same files in the same run.
//
// First the job's path for one picture (load, scale, save) in the Windows
// program job_path_bench under Wine, a process a picture, with the time
// split into decode, resize and encode, beside the outside tools, also a
// process a picture. Then the whole program: Skalaro.exe from a folder of
// its own with the ten pictures on its command line, timed from its window
// shown until its file list is back (skalaro_driver watches the window
// from one process at a 5 ms step, started before the program; a display
// is needed), without and with jhead, against vipsthumbnail on the
// same batch in one process; and the same for ten 4000 x 3000 RGBA PNGs,
// where no shrink on load applies. Every tool is a process of its own, so
// its peak memory is its resident set's high-water mark as the kernel
// reports it.
//
// Quality: four pictures of different content (a smooth fractal, a rough
// texture, fine bricks, the photo-like test picture) go through the job's
// path once decoded whole, as before shrink on load, and once decoded
// smaller; each copy's PSNR against ImageMagick's Lanczos resize of the
// whole picture is printed side by side.
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
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
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

  // The driver watches from before the program starts, so the window's
  // showing is seen within its step.
  const std::string watched = folder + "/timed.txt";
  const pid_t watcher = start_quietly({wine_run, driver, "timed", "900"}, watched);
  auto file_text = [&watched] {
    std::ifstream in(watched);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  for (int waited = 0; file_text().find("ready") == std::string::npos && waited < 60000; waited += 10)
    usleep(10000);

  std::vector<std::string> command = {wine_run, folder + "/Skalaro.exe"};
  for (const std::string& picture : pictures) command.push_back(wine_path(picture));
  const auto start = std::chrono::steady_clock::now();
  const pid_t program = start_quietly(command);
  ProgramRun run;
  int watched_status = 0;
  waitpid(watcher, &watched_status, 0);
  const auto done = std::chrono::steady_clock::now();
  if (WIFEXITED(watched_status) && WEXITSTATUS(watched_status) == 0) {
    std::istringstream figures(file_text());
    std::string ready;
    double job_ms = -1;
    if (figures >> ready >> job_ms && job_ms >= 0) {
      run.job = job_ms / 1000;
      run.total = std::chrono::duration<double>(done - start).count();
    }
  }
  run_measured({wine_run, driver, "close", "60"});
  int status = 0;
  rusage usage{};
  wait4(program, &status, 0, &usage);
  run.peak_mb = usage.ru_maxrss / 1024.0;
  return run;
}

// The PSNR of a copy against a reference, as ImageMagick's compare prints
// it; negative when it cannot be had.
double psnr(const std::string& copy, const std::string& reference) {
  const std::string output = bench_scratch_dir() + "/psnr.txt";
  const std::string compare = std::filesystem::path(imagemagick_convert()).parent_path() / "compare";
  run_measured({"/bin/sh", "-c",
                "'" + compare + "' -metric PSNR '" + copy + "' '" + reference + "' null: 2>'" +
                    output + "'"});
  std::ifstream in(output);
  double value = -1;
  in >> value;
  return value;
}

// Pictures of different content for the quality comparison, as JPEGs at
// quality 92: ImageMagick's fractal, granite and bricks, and the test photo.
std::vector<std::pair<std::string, std::string>> quality_pictures(const std::string& dir) {
  const std::string convert = imagemagick_convert();
  const std::pair<const char*, std::vector<std::string>> made[] = {
      {"Fraktal", {"-size", "1500x1000", "plasma:fractal", "-resize", "6000x4000!"}},
      {"Granit", {"-size", "6000x4000", "tile:granite:"}},
      {"Ziegel", {"-size", "6000x4000", "tile:pattern:bricks", "-blur", "0x0.6"}},
  };
  std::vector<std::pair<std::string, std::string>> pictures;
  for (const auto& [name, arguments] : made) {
    std::vector<std::string> command = {convert, "-seed", "7"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.insert(command.end(), {"-quality", "92", dir + "/" + name + ".jpg"});
    if (run_measured(command).seconds >= 0) pictures.emplace_back(name, dir + "/" + name + ".jpg");
  }
  const auto pixels = bench_photo(kWidth, kHeight, 3, 7);
  const std::string photo = dir + "/Foto.jpg";
  if (jpeg_codec_encode(photo.c_str(), pixels.data(), kWidth, kHeight, image_row_pitch(kWidth, 24),
                        ROWS_BOTTOM_UP, 9, 24))
    pictures.emplace_back("Foto", photo);
  return pictures;
}

struct PathFigures {
  double decode = 0, resize = 0, encode = 0, start_mb = 0, peak_mb = 0, process = 0;
  int workers = 0, counted = 0;
};

// Reads what job_path_bench printed about its pictures.
void read_path_report(const std::string& report, PathFigures& figures, int pictures) {
  std::ifstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string key, ignored;
    fields >> key;
    if (key == "picture") {
      double d = 0, r = 0, e = 0;
      fields >> ignored >> d >> r >> e;
      figures.decode += d / pictures;
      figures.resize += r / pictures;
      figures.encode += e / pictures;
      ++figures.counted;
    } else if (key == "start_bytes") {
      unsigned long long bytes = 0;
      fields >> bytes;
      figures.start_mb = std::max(figures.start_mb, static_cast<double>(bytes) / (1024.0 * 1024.0));
    } else if (key == "workers") {
      fields >> figures.workers;
    }
  }
}

std::string per_picture(const Run& run, int pictures) {
  char text[64];
  if (run.seconds < 0) return "    failed";
  std::snprintf(text, sizeof text, "%7.1f ms %7.0f MB", run.seconds * 1000 / pictures, run.peak_mb);
  return text;
}

void print_ratio(const char* what, double ours, double theirs, const char* goal) {
  if (ours > 0 && theirs > 0)
    std::printf("  %-50s %6.2fx  %s\n", what, ours / theirs, goal);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: job_bench JOB_PATH_BENCH_EXE WINE_RUN_SH SKALARO_FOLDER DRIVER_EXE\n");
    return 2;
  }
  const std::string dir = bench_scratch_dir() + "/job";
  const std::string sources = dir + "/sources", pngs = dir + "/pngs", quality = dir + "/quality";
  for (const std::string& sub : {sources, pngs, quality, dir + "/skalaro", dir + "/vips",
                                 dir + "/vipsbatch", dir + "/vipspng", dir + "/magick"})
    std::filesystem::create_directories(sub);

  std::printf("Ten %d x %d JPEGs into copies within 1024 x 768 at quality 8 (library 80)\n",
              kWidth, kHeight);
  std::vector<std::string> pictures, png_pictures;
  for (int i = 1; i <= kPictures; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/photo%02d.jpg", i);
    pictures.push_back(sources + name);
    const auto pixels = bench_photo(kWidth, kHeight, 3, 99 + static_cast<std::uint32_t>(i));
    std::snprintf(name, sizeof name, "/photo%02d.png", i);
    png_pictures.push_back(pngs + name);
    const auto rgba = bench_photo(4000, 3000, 4, 199 + static_cast<std::uint32_t>(i));
    if (!jpeg_codec_encode(pictures.back().c_str(), pixels.data(), kWidth, kHeight,
                           image_row_pitch(kWidth, 24), ROWS_BOTTOM_UP, 8, 24) ||
        !png_codec_encode_alpha(png_pictures.back().c_str(), rgba.data(), 4000, 3000, 4000 * 4,
                                ROWS_BOTTOM_UP, 7, 32)) {
      std::fprintf(stderr, "cannot write the pictures\n");
      return 1;
    }
  }

  // One process a picture for every tool, taken in turns, so that a change
  // in the machine's load falls on all three alike.
  const std::string report = dir + "/skalaro.txt";
  Run skalaro{0, 0}, vips{0, 0}, magick{0, 0};
  PathFigures path;
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
    read_path_report(report, path, kPictures);
    add(vips, run_measured({"vipsthumbnail", picture, "--size", "1024x768", "-o",
                            dir + "/vips/%s.jpg[Q=80]"}));
    add(magick, run_measured({imagemagick_convert(), "-limit", "thread", "1", picture, "-resize",
                              "1024x768", "-quality", "80", dir + "/magick/" + name}));
  }
  if (skalaro.seconds < 0 || path.counted != kPictures) {
    std::fprintf(stderr, "job_path_bench failed (%d pictures)\n", path.counted);
    return 1;
  }
  const double ours = path.decode + path.resize + path.encode;

  std::printf("\n%-46s %10s %10s\n", "per picture, a process each", "time", "peak RSS");
  std::printf("%-46s %7.1f ms %7.0f MB\n", "Skalaro job path (under Wine)", ours * 1000,
              skalaro.peak_mb);
  std::printf("  %-44s %7.1f ms\n", "decode (image_load, shrink on load)", path.decode * 1000);
  std::printf("  %-44s %7.1f ms\n", "resize (image_resize, smooth)", path.resize * 1000);
  std::printf("  %-44s %7.1f ms\n", "encode (image_save, .tmp, replace)", path.encode * 1000);
  std::printf("  %-44s %10s %7.0f MB\n", "peak before the first picture", "", path.start_mb);
  std::printf("  %-44s %7.1f ms\n", "whole process, Wine's start included",
              skalaro.seconds * 1000);
  std::printf("%-46s %s\n", "vipsthumbnail", per_picture(vips, 1).c_str());
  std::printf("%-46s %s\n", "ImageMagick convert -limit thread 1", per_picture(magick, 1).c_str());

  // The batches: the whole program, and vipsthumbnail with all ten in one process.
  std::vector<std::string> vips_batch = {"vipsthumbnail", "--size", "1024x768", "-o",
                                         dir + "/vipsbatch/%s.jpg[Q=80]"};
  vips_batch.insert(vips_batch.end(), pictures.begin(), pictures.end());
  const Run vips_jpegs = run_measured(vips_batch);
  std::vector<std::string> vips_png_batch = {"vipsthumbnail", "--size", "1024x768", "-o",
                                             dir + "/vipspng/%s.png"};
  vips_png_batch.insert(vips_png_batch.end(), png_pictures.begin(), png_pictures.end());
  const Run vips_pngs = run_measured(vips_png_batch);
  const ProgramRun plain =
      time_program(argv[2], argv[3], argv[4], pictures, dir + "/program", false);
  const ProgramRun exif = time_program(argv[2], argv[3], argv[4], pictures, dir + "/program", true);
  const ProgramRun png = time_program(argv[2], argv[3], argv[4], png_pictures, dir + "/program", false);

  std::printf("\n%-46s %10s %10s\n", "the ten in one batch, per picture", "time", "peak RSS");
  const std::pair<const char*, const ProgramRun*> runs[] = {
      {"Skalaro.exe, JPEGs without jhead", &plain},
      {"Skalaro.exe, JPEGs with jhead (the default)", &exif},
      {"Skalaro.exe, RGBA PNGs", &png}};
  for (const auto& [name, run] : runs)
    std::printf("%-46s %s\n", name,
                per_picture(Run{run->total < 0 ? -1 : run->job, run->peak_mb}, kPictures).c_str());
  std::printf("%-46s %s\n", "vipsthumbnail, the JPEGs in one process",
              per_picture(vips_jpegs, kPictures).c_str());
  std::printf("%-46s %s\n", "vipsthumbnail, the PNGs in one process",
              per_picture(vips_pngs, kPictures).c_str());
  std::printf("  %-44s %d\n", "pictures Skalaro works on at once", path.workers);

  std::printf("\nratios (Skalaro / tool)\n");
  print_ratio("job path / vipsthumbnail, a process each", ours, vips.seconds, "");
  print_ratio("job path / ImageMagick, a process each", ours, magick.seconds, "");
  print_ratio("Skalaro.exe JPEGs without jhead / vipsthumbnail batch", plain.job,
              vips_jpegs.seconds, "(goal: at most 0.5)");
  print_ratio("Skalaro.exe JPEGs with jhead / vipsthumbnail batch", exif.job, vips_jpegs.seconds,
              "(goal: at most 0.6)");
  print_ratio("Skalaro.exe JPEGs, peak memory / vipsthumbnail batch", plain.peak_mb,
              vips_jpegs.peak_mb, "(goal: at most 1)");
  print_ratio("Skalaro.exe PNGs / vipsthumbnail batch", png.job, vips_pngs.seconds, "");
  print_ratio("Skalaro.exe PNGs, peak memory / vipsthumbnail batch", png.peak_mb, vips_pngs.peak_mb,
              "");

  // Quality: the job's path decoding whole, as before, and decoding smaller.
  std::printf("\nPSNR against ImageMagick's Lanczos resize of the whole picture (dB)\n");
  std::printf("  %-12s %14s %14s %10s\n", "picture", "decoded whole", "shrink on load",
              "difference");
  for (const auto& [name, file] : quality_pictures(quality)) {
    const std::string reference = quality + "/" + name + ".lanczos.png";
    run_measured({imagemagick_convert(), file, "-filter", "Lanczos", "-resize", "1024x768",
                  reference});
    double value[2] = {-1, -1};
    for (int shrink = 0; shrink < 2; ++shrink) {
      const std::string out = quality + (shrink ? "/small" : "/whole");
      std::filesystem::create_directories(out);
      std::vector<std::string> command = {argv[2], argv[1]};
      if (!shrink) command.push_back("whole");
      command.insert(command.end(), {wine_path(out), "1024", "768", wine_path(file)});
      run_measured(command);
      value[shrink] = psnr(out + "/" + name + ".jpg", reference);
    }
    std::printf("  %-12s %14.2f %14.2f %+10.2f\n", name.c_str(), value[0], value[1],
                value[1] - value[0]);
  }
  return plain.total >= 0 && exif.total >= 0 && png.total >= 0 ? 0 : 1;
}
