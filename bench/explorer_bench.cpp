// Listing benchmark: a directory of 10,000 files (pictures and others) in an
// explorer list, as the application shows it (name and size columns, the
// three picture patterns, sorted) and with the four standard columns over
// all files; a refresh, and a sort by name descending. Prints medians.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gui/core/events.h"
#include "gui/core/fonts.h"
#include "gui/core/window.h"
#include "gui/explorer/explorer_list.h"
#include "gui/gadgets/common_controls.h"
#include "gui/gadgets/gadgets.h"
#include "runtime/lifecycle.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kRuns = 5;
constexpr object_number kList = 1;

double median_ms(const std::function<void()>& work) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[kRuns / 2];
}

// 10,000 files: JPEG, PNG and other names in turn, of varied sizes.
std::string make_directory() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string directory =
      std::string(temp) + "skalaro-explorer-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(directory.c_str(), nullptr);
  const char* extensions[] = {".jpg", ".png", ".jpeg", ".txt"};
  const std::string bytes(4096, 'x');
  for (int i = 0; i < kFiles; ++i) {
    const std::string name =
        directory + "Bild_" + std::to_string((i * 7919) % kFiles) + extensions[i % 4];
    const HANDLE file =
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(i % 4096), &written, nullptr);
    CloseHandle(file);
  }
  return directory;
}

void remove_directory(const std::string& directory) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((directory + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do DeleteFileA((directory + found.cFileName).c_str());
    while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(directory.c_str());
}

void application_list(const std::string& directory) {
  auto t = std::chrono::steady_clock::now();
  auto lap = [&](const char* what) {
    auto n = std::chrono::steady_clock::now();
    std::fprintf(stderr, " %s %.0f", what,
                 std::chrono::duration<double, std::milli>(n - t).count());
    t = n;
  };
  gadget_create_explorer_list(kList, 0, 0, 350, 200, (directory + "*.jpg;*.jpeg;*.png").c_str(),
                              0x220005E);
  lap("create");
  gadget_add_column(kList, 0, "ZQ_Explorer_Column_Size", 50);
  lap("size");
  gadget_add_column(kList, 0, "ZQ_Explorer_Column_Name", 276);
  lap("name");
  for (int i = 0; i < 4; ++i) {
    gadget_remove_column(kList, 2);
    lap("rm");
  }
  std::fprintf(stderr, "\n");
}

}  // namespace

int main() {
  windows_join_runtime();
  gadgets_join_runtime();
  fonts_join_runtime();
  common_controls_join_runtime();
  if (!runtime_start() || !window_open(1, 0, 0, 800, 600, "Explorer benchmark")) {
    std::printf("no window: run inside a display (xvfb-run)\n");
    return 1;
  }
  const std::string directory = make_directory();
  const std::string pictures = directory + "*.jpg;*.jpeg;*.png";
  // The shell's first answers (type names, icons) are not the listing's.
  gadget_create_explorer_list(kList, 0, 0, 800, 600, pictures.c_str(), 0x220005E);

  const double create = median_ms(
      [&] { gadget_create_explorer_list(kList, 0, 0, 800, 600, pictures.c_str(), 0x220005E); });
  const std::int64_t pictures_listed = gadget_count_items(kList);
  const double application = median_ms([&] { application_list(directory); });
  const double refresh = median_ms([&] { gadget_set_text(kList, pictures.c_str()); });
  const double standard = median_ms([&] {
    gadget_create_explorer_list(kList, 0, 0, 800, 600, (directory + "*.*").c_str(),
                                EXPLORER_SORTED);
  });
  const std::int64_t all_listed = gadget_count_items(kList);
  const double unsorted = median_ms(
      [&] { gadget_create_explorer_list(kList, 0, 0, 800, 600, (directory + "*.*").c_str(), 0); });
  const auto list = reinterpret_cast<HWND>(gadget_create_explorer_list(
      kList, 0, 0, 800, 600, (directory + "*.*").c_str(), EXPLORER_SORTED));
  const double resort = median_ms([&] { gadget_set_text(kList, "*.*"); });
  // A click on the name column's header, as the list view reports it.
  NMLISTVIEW click{};
  click.hdr = NMHDR{list, static_cast<UINT_PTR>(kList), LVN_COLUMNCLICK};
  click.iSubItem = 0;
  const double header_click = median_ms([&] {
    SendMessageA(window_handle(1), WM_NOTIFY, static_cast<WPARAM>(kList),
                 reinterpret_cast<LPARAM>(&click));
  });

  std::printf("explorer list of %d files (%lld pictures), median of %d runs:\n", kFiles,
              static_cast<long long>(pictures_listed), kRuns);
  std::printf("  pictures, 4 standard columns, sorted by name:   %8.1f ms\n", create);
  std::printf("  the application's list (create + 6 column steps): %8.1f ms\n", application);
  std::printf("  refresh of the application's list:               %8.1f ms\n", refresh);
  std::printf("  all %lld files, 4 standard columns, sorted:      %8.1f ms\n",
              static_cast<long long>(all_listed), standard);
  std::printf("  all files, 4 standard columns, unsorted:         %8.1f ms\n", unsorted);
  std::printf("  refresh of all files, sorted:                    %8.1f ms\n", resort);
  std::printf("  header click on the name column (sort again):    %8.1f ms\n", header_click);
  gadget_free(kList);
  remove_directory(directory);
  runtime_stop();
  return 0;
}
