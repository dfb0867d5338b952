// Decode cost of hostile pictures: for each file the wall-clock time and the
// peak memory of one decode through the decoder chain, each in a process of
// its own (a fork) so that one file's peak cannot hide another's. The files
// are built in memory by tests/support/hostile_pictures.h; each line says
// whether the decode succeeded, its wall-clock and processor time and peak
// memory.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>

#include "image/codec_registry.h"
#include "image/codecs/codec_plugins.h"
#include "runtime/lifecycle.h"
#include "support/hostile_pictures.h"

namespace {

using hostile::Bytes;

long peak_kilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Processor seconds (user and system) of this process so far: unlike the
// wall-clock time, they hardly change with the load of a shared machine.
double processor_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string only;  // the command line's filter: cases whose name holds it

struct Figures {
  bool loaded = false;
  std::size_t size = 0;
  double seconds = 0;
  double processor = 0;
  double megabytes = 0;
};

// Builds and decodes one file in a child process.
Figures decode_apart(const std::function<Bytes()>& build) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    runtime_start();
    decoder_init();
    codecs_use_all();
    const Bytes file = build();
    const long before = peak_kilobytes();
    const double processor_before = processor_seconds();
    const auto start = std::chrono::steady_clock::now();
    DecodedPicture picture = decode_chain(file.data(), static_cast<std::uint32_t>(file.size()));
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.processor = processor_seconds() - processor_before;
    f.megabytes = static_cast<double>(std::max(peak_kilobytes(), before)) / 1024.0;
    f.loaded = picture.store != nullptr;
    f.size = file.size();
    if (write(channel[1], &f, sizeof f) != sizeof f) _exit(1);
    _exit(0);
  }
  close(channel[1]);
  Figures f;
  if (read(channel[0], &f, sizeof f) != sizeof f) f.size = 0;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return f;
}

void print(const std::string& what, const Figures& f) {
  if (f.size == 0) {
    std::printf("%-58s ended abnormally\n", what.c_str());
    return;
  }
  std::printf("%-58s %9zu B %7.2f s %7.2f s %7.0f MB  %s\n", what.c_str(), f.size, f.seconds,
              f.processor, f.megabytes, f.loaded ? "loaded" : "refused");
}

void measure(const std::string& what, const std::function<Bytes()>& build) {
  if (what.find(only) == std::string::npos) return;
  print(what, decode_apart(build));
}

// The largest square picture of the kind that still loads from a file just
// under a megabyte, found to one percent by halving the range of sides up
// to `side` (what loads is the smaller sides: files and costs grow with it).
void measure_largest(const std::string& what, int side,
                     const std::function<Bytes(int side, std::size_t size)>& build) {
  if (what.find(only) == std::string::npos) return;
  constexpr std::size_t kJustUnderAMegabyte = (1 << 20) - 1;
  int low = 0;  // the largest side seen loading
  Figures best;
  for (int high = side; high > low && high - low > low / 100;) {
    const int middle = low == 0 && high == side ? side : low + (high - low + 1) / 2;
    Figures f = decode_apart([&] { return build(middle, kJustUnderAMegabyte); });
    if (f.size == 0) {
      print(what + " " + std::to_string(middle) + "^2", f);
      return;
    }
    if (f.loaded && f.size <= kJustUnderAMegabyte) {
      low = middle;
      best = f;
    } else {
      high = middle - 1;
    }
  }
  if (low > 0)
    print(what + " " + std::to_string(low) + "^2", best);
  else
    std::printf("%-58s none loads\n", what.c_str());
}

hostile::JpegRecipe jpeg(int side, int components, bool progressive) {
  hostile::JpegRecipe r;
  r.width = r.height = side;
  r.components = components;
  r.progressive = progressive;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) only = argv[1];
  double load[1] = {0};
  getloadavg(load, 1);
  std::printf("load average %.1f on %ld processors\n", load[0], sysconf(_SC_NPROCESSORS_ONLN));
  std::printf("%-58s %11s %9s %9s %10s\n", "file", "size", "time", "processor", "peak memory");
  // Declared far beyond the data: 16 bytes of scan data.
  measure("JPEG baseline 32767 x 32767, 16 bytes of data",
          [] { return hostile::make_jpeg(jpeg(32767, 3, false)); });
  measure("JPEG progressive 32767 x 32767, 16 bytes of data",
          [] { return hostile::make_jpeg(jpeg(32767, 3, true)); });
  measure("JPEG progressive CMYK 32767 x 32767, 16 bytes of data",
          [] { return hostile::make_jpeg(jpeg(32767, 4, true)); });
  // Many empty scans.
  measure("JPEG progressive 8192 x 8192, 5000 empty scans", [] {
    auto r = jpeg(8192, 3, true);
    r.empty_scans = 5000;
    return hostile::make_jpeg(r);
  });
  measure("JPEG progressive 32767 x 32767, 300 empty scans", [] {
    auto r = jpeg(32767, 3, true);
    r.empty_scans = 300;
    return hostile::make_jpeg(r);
  });
  // PNG: the stream goes on after the last row; texts; rows declared, not carried.
  measure("PNG 100 x 100, stream inflating to 4 GiB", [] {
    hostile::PngRecipe r;
    r.tail = 4ull << 30;
    return hostile::make_png(r);
  });
  measure("PNG with 128 compressed texts of 7.99 MB each", [] {
    hostile::PngRecipe r;
    r.text_chunks = 128;
    r.text_size = 7990000;
    return hostile::make_png(r);
  });
  measure("PNG 32767 x 32767 RGBA, 1 GiB of rows, then nothing", [] {
    hostile::PngRecipe r;
    r.width = r.height = 32767;
    r.colour_type = 6;
    r.rows = (1ull << 30) / hostile::png_row_bytes(r);
    return hostile::make_png(r);
  });

  // Declared within the memory any picture may take, with 16 bytes of data.
  measure("JPEG baseline 12000 x 12000, 16 bytes of data",
          [] { return hostile::make_jpeg(jpeg(12000, 3, false)); });
  measure("JPEG progressive 8000 x 8000, 16 bytes of data",
          [] { return hostile::make_jpeg(jpeg(8000, 3, true)); });
  measure("PNG 8000 x 8000 RGB of one colour, all rows", [] {
    hostile::PngRecipe r;
    r.width = r.height = 8000;
    return hostile::make_png(r);
  });
  measure("PNG 12000 x 12000 RGB, half of its rows, then nothing", [] {
    hostile::PngRecipe r;
    r.width = r.height = 12000;
    r.rows = 6000;
    return hostile::make_png(r);
  });

  // Refinement scans that each visit every coefficient, from a file padded
  // to just under 1 MiB: the side that the memory allowance of such a file
  // once let through, and the side that the memory any picture may take does.
  for (int side : {5600, 9400})
    for (bool arithmetic : {false, true})
      measure("JPEG grey progressive " + std::to_string(side) + " x " + std::to_string(side) +
                  ", 64 refinement scans, " + (arithmetic ? "arithmetic" : "end-of-band runs"),
              [=] { return hostile::make_refinement_jpeg(side, 64, arithmetic, (1 << 20) - 1); });

  std::printf("\nThe largest picture of each kind that loads from a file just under 1 MiB\n");
  for (int components : {1, 3, 4})
    for (bool progressive : {false, true})
      measure_largest("JPEG " +
                          std::string(progressive ? "progressive, 64 scans, " : "baseline, ") +
                          std::to_string(components) + " comp.,",
                      12000, [=](int side, std::size_t size) {
                        auto r = jpeg(side, components, progressive);
                        r.pad_to = size;
                        r.empty_scans = progressive ? 63 : 0;
                        return hostile::make_jpeg(r);
                      });
  for (int components : {1, 3, 4})
    for (bool progressive : {false, true})
      measure_largest("JPEG flat, every block coded, " +
                          std::string(progressive ? "progressive, " : "baseline, ") +
                          std::to_string(components) + " comp.,",
                      16000, [=](int side, std::size_t) {
                        auto r = jpeg(side, components, progressive);
                        r.whole_scan = true;
                        return hostile::make_jpeg(r);
                      });
  for (bool arithmetic : {false, true})
    measure_largest(std::string("JPEG grey progressive, 64 refinement scans, ") +
                        (arithmetic ? "arithmetic," : "end-of-band runs,"),
                    16000, [=](int side, std::size_t size) {
                      return hostile::make_refinement_jpeg(side, 64, arithmetic, size);
                    });
  struct Kind {
    const char* name;
    int colour_type, bit_depth;
    bool interlaced;
  };
  for (int filter : {0, 4})
    for (Kind kind : {Kind{"RGB", 2, 8, false}, Kind{"RGBA 16-bit", 6, 16, false},
                      Kind{"RGBA 16-bit interlaced", 6, 16, true}, Kind{"grey", 0, 8, false},
                      Kind{"1-bit palette", 3, 1, false}})
      measure_largest(std::string("PNG ") + kind.name + (filter ? ", Paeth" : "") + ", all rows,",
                      16000, [=](int side, std::size_t size) {
                        hostile::PngRecipe r;
                        r.width = r.height = side;
                        r.colour_type = kind.colour_type;
                        r.bit_depth = kind.bit_depth;
                        r.interlaced = kind.interlaced;
                        r.filter = filter;
                        r.pad_to = size;
                        return hostile::make_png(r);
                      });
  return 0;
}
