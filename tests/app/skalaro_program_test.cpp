// Skalaro.exe end to end under Wine: the real program in a folder of its
// own on generated pictures, driven the way a user drives it (pictures on
// its command line, a real drag from another program, clicks and keys), and
// checked by the files it writes and by what the platform shows of it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/app_state.h"
#include "app/job_messages.h"
#include "app/main_window_rules.h"
#include "app/sha256.h"
#include "app_pictures.h"
#include "gui/dnd/drag_drop.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "net/sockets.h"
#include "runtime/files_testing.h"
#include "runtime/programs.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"
#include "runtime/wide_text.h"
#include "skalaro_program.h"
#include "support/child_process.h"
#include "support/loopback_server.h"
#include "support/png_maker.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"

namespace {

using Shape = std::vector<int>;

class SkalaroProgramTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() {
    image_join_runtime();
    codecs_join_runtime();
    net_join_runtime();  // the loopback server's sockets
  }
  void SetUp() override {
    ASSERT_NE(GetSystemMetrics(SM_CXSCREEN), 0);
    ASSERT_TRUE(std::getenv("DISPLAY")) << "no display: the program's tests run inside Xvfb";
    RuntimeTest::SetUp();
  }

  ScratchDir dir;

  // Joined as texts in the UTF-8 code page of this program.
  std::string path(const std::string& name) const { return dir.path().string() + "\\" + name; }
  // Where the program is installed, below the scratch folder.
  std::string program_folder = "Skalaro";
  std::string pictures(const std::string& name) const { return path("Bilder\\" + name); }

  // A copy of the program as a user installs it, with a settings file when given.
  std::string install(const char* program, bool with_jhead, const std::string& settings = {}) {
    CreateDirectoryA(path(program_folder).c_str(), nullptr);
    CreateDirectoryA(path("Bilder").c_str(), nullptr);
    const std::string folder = path(program_folder);
    EXPECT_TRUE(CopyFileA(program, (folder + "\\Skalaro.exe").c_str(), FALSE)) << program;
    if (with_jhead) {
      EXPECT_TRUE(CopyFileA(SKALARO_JHEAD_EXE, (folder + "\\jhead.exe").c_str(), FALSE));
    }
    if (!settings.empty()) write_bytes(folder + "\\Skalaro.ini", {settings.begin(), settings.end()});
    return folder;
  }
  std::string copy(const std::string& name) const {
    return path(program_folder + "\\ResizedImages\\" + name);
  }

  static Shape shape_of(const std::string& file) {
    if (!image_load(5, file.c_str())) return {};
    Shape shape = {image_width(5), image_height(5)};
    image_free(5);
    return shape;
  }
  // The names in a folder, as UTF-8 texts (a plain string would be read
  // in the C library's own code page).
  static std::set<std::string> files_in(const std::string& folder) {
    std::set<std::string> names;
    const std::u8string utf8(folder.begin(), folder.end());
    for (const auto& entry : std::filesystem::directory_iterator(utf8)) {
      const std::u8string name = entry.path().filename().u8string();
      names.emplace(name.begin(), name.end());
    }
    return names;
  }
  std::vector<std::string> temporary_files() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
      if (entry.path().extension() == ".tmp") found.push_back(entry.path().string());
    return found;
  }
  std::string settings_text() const {
    const auto bytes = read_bytes(path(program_folder + "\\Skalaro.ini"));
    return {bytes.begin(), bytes.end()};
  }
};

// PNG files of the two colour types the program's own encoder does not write.
void write_palette_png(const std::string& name, int width, int height) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.colour_type = PNG_COLOR_TYPE_PALETTE;
  for (int i = 0; i < 16; ++i)
    recipe.palette.push_back(
        {static_cast<png_byte>(i * 16), 90, static_cast<png_byte>(255 - i * 16)});
  for (int y = 0; y < height; ++y) {
    recipe.rows.emplace_back(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
      recipe.rows.back()[x] = static_cast<png_byte>((x / 50 + y / 50) % 16);
  }
  write_bytes(name, make_png(recipe));
}

void write_grey_png(const std::string& name, int width, int height) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  for (int y = 0; y < height; ++y) {
    recipe.rows.emplace_back(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) recipe.rows.back()[x] = static_cast<png_byte>((x + y) % 256);
  }
  write_bytes(name, make_png(recipe));
}

// The colour type in a PNG file's header.
int png_colour_type(const std::string& name) {
  const auto bytes = read_bytes(name);
  return bytes.size() > 25 ? bytes[25] : -1;
}

bool is_checked(HWND check_box) {
  return SendMessageA(check_box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::int64_t item_count(HWND list) {
  return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

// The screen point of a list row (rows from 0, below the column header).
POINT list_row(HWND list, int row) {
  RECT header{}, frame{};
  GetWindowRect(GetWindow(list, GW_CHILD), &header);
  GetWindowRect(list, &frame);
  const LRESULT one = SendMessageA(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1));
  const LRESULT two = SendMessageA(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1));
  const int row_height = HIWORD(two) - HIWORD(one);
  return {frame.left + 60, header.bottom + row_height * row + row_height / 2};
}

void double_click_at(POINT p) {
  click_at(p.x, p.y);
  Sleep(50);
  click_at(p.x, p.y);
  Sleep(500);
}

// Runs the drag helper, which drags the files from its own window onto a
// point of the screen with DoDragDrop; the effect the target chose.
DWORD drag_files_to(POINT target, const std::vector<std::string>& files) {
  std::string command = std::string("\"") + SKALARO_DRAG_HELPER + "\" files " +
                        std::to_string(target.x) + " " + std::to_string(target.y) + " 0 1";
  for (const std::string& file : files) command += " \"" + file + "\"";
  return run_process(command, 60000);
}

HWND preview_window(DWORD process) {
  const auto found = top_level_windows(process, "WindowClass_1004");
  return found.empty() ? HWND{} : found.front();
}

// A DWORD value of the Wine prefix's registry (Wine's LogPixels, Windows'
// LongPathsEnabled), set while the object lives and then as it was.
class RegistryValue {
 public:
  RegistryValue(HKEY root, const char* key, const char* name, DWORD value) : name_(name) {
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
      ADD_FAILURE() << key;
    DWORD size = sizeof old_;
    had_ = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
           ERROR_SUCCESS;
    set(value);
  }
  ~RegistryValue() {
    if (had_)
      set(old_);
    else
      RegDeleteValueA(key_, name_);
    RegCloseKey(key_);
  }
  void set(DWORD value) {
    RegSetValueExA(key_, name_, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }

 private:
  HKEY key_ = nullptr;
  const char* name_;
  DWORD old_ = 0;
  bool had_ = false;
};

// Windows 10 with long paths enabled, for the programs started meanwhile
// (Wine takes long paths in its wide calls, and decides nothing itself);
// this process writes and reads them too.
class LongPathsEnabled {
 public:
  LongPathsEnabled() { long_paths_allowed_for_testing(1); }
  ~LongPathsEnabled() { long_paths_allowed_for_testing(-1); }

 private:
  RegistryValue value_{HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                       "LongPathsEnabled", 1};
};

// A name of 300 characters in `folder`, in folders of its own.
std::string deep_path(const std::string& folder, const std::string& extension) {
  std::string path = folder + "\\" + std::string(150, 't') + "\\";
  std::filesystem::create_directories(std::u8string(path.begin(), path.end()));
  return path + std::string(300 - path.size() - extension.size(), 'b') + extension;
}

// Copy mode from the command line, with the settings file's presets: sizes
// under "max", web names, the EXIF block carried over by the real jhead.exe,
// the fitting picture copied byte for byte, the corrupt file's requester
// (above the topmost main window while another program is in front), the
// .gif skipped, the list of the copies, and the settings written at exit
// with the comment block. A second start is closed while its job runs: the
// window goes at once, the job stops after its picture, nothing is left
// half-written.
TEST_F(SkalaroProgramTest, command_line_pictures_are_copied_under_their_web_names) {
  const std::string folder = install(SKALARO_EXE, true, "OptWebNames = 1\r\n");
  const std::string holiday = pictures("Urlaub 2013 (1).jpg");
  const std::string blossoms = pictures("Blüten im März.png");
  const std::string fitting = pictures("passend.jpg");
  const std::string corrupt = pictures("kaputt.jpg");
  ASSERT_TRUE(write_test_jpeg_with_exif(holiday, 4000, 2000));
  ASSERT_TRUE(write_test_png(blossoms, 1000, 1500, true));
  write_palette_png(pictures("palette.png"), 1600, 800);
  write_bytes(corrupt, {0xFF, 0xD8, 'k', 'a', 'p', 'u', 't', 't'});
  write_grey_png(pictures("grau.png"), 800, 1200);
  ASSERT_TRUE(write_test_jpeg_with_exif(fitting, 1024, 768));
  write_bytes(pictures("animation.gif"), {'G', 'I', 'F', '8', '9', 'a'});
  const LongPathsEnabled long_paths;
  const std::string deep = deep_path(path("Bilder"), ".jpg");
  ASSERT_TRUE(write_test_jpeg_with_exif(deep, 2000, 1000));

  SkalaroProgram program(folder, {holiday, blossoms, pictures("palette.png"), corrupt,
                                  pictures("grau.png"), fitting, pictures("animation.gif"), deep});
  ASSERT_TRUE(program.window());
  const HWND other = CreateWindowExA(0, "STATIC", "anderes Programm", WS_POPUP | WS_VISIBLE, 0, 0,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  const std::string load_failed =
      program.answer(std::string(LOAD_FAILED_TITLE), IDOK, [&](HWND box) {
        EXPECT_TRUE(program.gadget(GADGET_PROGRESS)) << "the job's gadgets stand in for the list";
        EXPECT_NE(GetForegroundWindow(), program.window());
        RECT r{};
        GetWindowRect(box, &r);
        EXPECT_EQ(GetAncestor(WindowFromPoint({(r.left + r.right) / 2, r.top + 8}), GA_ROOT), box)
            << "hidden by the main window";
        take_screenshot("skalaro_job");
      });
  DestroyWindow(other);
  EXPECT_EQ(load_failed, std::string(LOAD_FAILED_TITLE) + "\r" + corrupt +
                             "\r    keine lesbare JPEG- oder PNG-Datei\r");
  ASSERT_TRUE(program.wait_for_job());
  Sleep(500);
  take_screenshot("skalaro_idle");

  EXPECT_EQ(files_in(folder + "\\ResizedImages"),
            (std::set<std::string>{"Urlaub_2013__1_.jpg", "Bl_ten_im_M_rz.png", "palette.png",
                                   "grau.png", "passend.jpg", file_part(deep)}));
  EXPECT_EQ(item_count(program.gadget(GADGET_FILE_LIST)), 6);
  EXPECT_EQ(shape_of(copy(file_part(deep))), (Shape{1024, 512}));
  EXPECT_TRUE(contains(read_bytes(copy(file_part(deep))), exif_segment()));
  EXPECT_EQ(shape_of(copy("Urlaub_2013__1_.jpg")), (Shape{1024, 512}));
  EXPECT_TRUE(contains(read_bytes(copy("Urlaub_2013__1_.jpg")), exif_segment()));
  EXPECT_EQ(shape_of(copy("Bl_ten_im_M_rz.png")), (Shape{512, 768}));
  EXPECT_EQ(shape_of(copy("palette.png")), (Shape{1024, 512}));
  EXPECT_EQ(png_colour_type(copy("palette.png")), PNG_COLOR_TYPE_PALETTE);
  EXPECT_EQ(shape_of(copy("grau.png")), (Shape{512, 768}));
  EXPECT_EQ(read_bytes(copy("passend.jpg")), read_bytes(fitting));
  EXPECT_EQ(program.close(), 0);

  const std::string settings = settings_text();
  EXPECT_EQ(settings.rfind("NewImageWidth = 1024\r\nNewImageHeight = 768\r\nJPEG_Qualitiy = 8\r\n"
                           "OptWebNames = 1\r\nJHEAD_KeepEXIF = 1\r\nresizing = max\r\n"
                           "; Beschreibung: resizing\r\n",
                           0),
            0u)
      << settings;
  EXPECT_EQ(std::count(settings.begin(), settings.end(), '\n'), 6 + 21);

  // Closed while its job runs.
  std::vector<std::string> many;
  for (int i = 0; i < 10; ++i) {
    many.push_back(pictures("gross" + std::to_string(i) + ".jpg"));
    ASSERT_TRUE(write_test_jpeg(many.back(), 3000, 2000));
  }
  SkalaroProgram closed(folder, many);
  ASSERT_TRUE(
      wait_for([&] { return closed.window() ? closed.gadget(GADGET_PROGRESS) : nullptr; }, 60));
  PostMessageA(closed.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(wait_for([&] { return !IsWindowVisible(closed.window()); }, 5));
  EXPECT_EQ(closed.exit_code(60), 0);
  int written = 0;
  for (int i = 0; i < 10; ++i)
    if (std::filesystem::exists(copy("gross" + std::to_string(i) + ".jpg"))) {
      ++written;
      EXPECT_EQ(shape_of(copy("gross" + std::to_string(i) + ".jpg")), (Shape{1024, 682}));
    }
  EXPECT_LT(written, 10) << "the job stopped after its picture in progress";
  EXPECT_TRUE(temporary_files().empty());
}

// Replace mode by a real drop from another program after a click on the
// check box, with "min" from the settings file: sources replaced in place
// with their EXIF block, a fitting picture copied and its source left, a
// read-only source kept and named with its reason in the failure requester.
// A width typed while the job runs ("8", then "00") is for the next job:
// every picture is scaled by the box the job started with.
TEST_F(SkalaroProgramTest, dropped_pictures_replace_their_sources) {
  const std::string folder = install(
      SKALARO_EXE, true, "NewImageWidth = 400\r\nNewImageHeight = 300\r\nresizing = min\r\n");
  const std::string wide = pictures("breit.jpg"), tall = pictures("hoch.png");
  const std::string small = pictures("klein.png"), locked = pictures("schreibgeschuetzt.jpg");
  ASSERT_TRUE(write_test_jpeg_with_exif(wide, 1000, 500));
  ASSERT_TRUE(write_test_png(tall, 500, 1000, true));
  ASSERT_TRUE(write_test_png(small, 400, 300, false));
  ASSERT_TRUE(write_test_jpeg(locked, 800, 600));
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  const auto small_bytes = read_bytes(small), locked_bytes = read_bytes(locked);
  const LongPathsEnabled long_paths;
  const std::string deep = deep_path(path("Bilder"), ".jpg");
  ASSERT_TRUE(write_test_jpeg_with_exif(deep, 1000, 500));
  std::vector<std::string> dropped = {wide, tall, small, locked, deep};
  for (int i = 0; i < 30; ++i) {
    dropped.push_back(pictures("serie" + std::to_string(i) + ".jpg"));
    ASSERT_TRUE(write_test_jpeg(dropped.back(), 2000, 1500));
  }

  SkalaroProgram program(folder, {});
  ASSERT_TRUE(program.window());
  ASSERT_TRUE(wait_for([&] { return program.gadget(GADGET_FILE_LIST); }, 30));
  EXPECT_FALSE(is_checked(program.gadget(GADGET_REPLACE_ORIGINALS)));
  program.click(GADGET_REPLACE_ORIGINALS);
  ASSERT_TRUE(is_checked(program.gadget(GADGET_REPLACE_ORIGINALS)));

  EXPECT_EQ(drag_files_to(program.centre_of(GADGET_FILE_LIST), dropped),
            static_cast<DWORD>(DROP_COPY));
  program.click(GADGET_WIDTH);
  SendMessageA(program.gadget(GADGET_WIDTH), EM_SETSEL, 0, -1);
  press_key('8');
  Sleep(300);
  for (WORD key : {'0', '0'}) press_key(key);
  EXPECT_TRUE(program.gadget(GADGET_PROGRESS)) << "typed while the job ran";
  const std::string failed = program.answer(
      "Folgendes Bild konnte nicht geschrieben werden:", IDOK,
      [](HWND) { take_screenshot("skalaro_write_failed"); });
  EXPECT_EQ(failed.rfind("Folgendes Bild konnte nicht geschrieben werden:\r" + locked + "\r    ", 0),
            0u)
      << failed;
  EXPECT_GT(failed.size(), 60 + locked.size()) << "a reason";
  ASSERT_TRUE(program.wait_for_job());
  EXPECT_EQ(window_text(program.window()), "Skalaro v4.0> 800x300 - Q=8");
  for (int i = 0; i < 30; ++i)
    EXPECT_EQ(shape_of(pictures("serie" + std::to_string(i) + ".jpg")), (Shape{400, 300})) << i;
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_EQ(shape_of(wide), (Shape{600, 300}));
  EXPECT_TRUE(contains(read_bytes(wide), exif_segment()));
  EXPECT_EQ(shape_of(deep), (Shape{600, 300}));
  EXPECT_TRUE(contains(read_bytes(deep), exif_segment()));
  EXPECT_EQ(shape_of(tall), (Shape{400, 800}));
  EXPECT_EQ(read_bytes(small), small_bytes);
  EXPECT_EQ(read_bytes(copy("klein.png")), small_bytes);
  EXPECT_EQ(read_bytes(locked), locked_bytes);
  EXPECT_EQ(files_in(folder + "\\ResizedImages"), (std::set<std::string>{"klein.png"}));
  EXPECT_TRUE(temporary_files().empty());
  EXPECT_EQ(program.close(), 0);
  EXPECT_EQ(
      settings_text().rfind("NewImageWidth = 800\r\nNewImageHeight = 300\r\nJPEG_Qualitiy = "
                            "8\r\nOptWebNames = 0\r\nJHEAD_KeepEXIF = 1\r\nresizing = min\r\n",
                            0),
      0u);
}

// The texts of a list's first column, read from the program's process
// (the list view writes them into memory of its own process).
std::vector<std::string> list_names(HWND list, DWORD process) {
  std::vector<std::string> names;
  const KernelHandle target(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                            PROCESS_VM_WRITE, FALSE, process));
  struct Cell {
    LVITEMW item;
    wchar_t text[512];
  } cell{}, *remote = static_cast<Cell*>(
                VirtualAllocEx(target.get(), nullptr, sizeof cell, MEM_COMMIT, PAGE_READWRITE));
  cell.item.pszText = remote->text;  // an address in the other process
  cell.item.cchTextMax = std::size(cell.text);
  for (LRESULT item = 0; remote && item < item_count(list); ++item) {
    WriteProcessMemory(target.get(), remote, &cell, sizeof cell, nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote));
    Cell back{};
    ReadProcessMemory(target.get(), remote, &back, sizeof back, nullptr);
    std::string name;
    text_from_wide(back.text, CP_UTF8, name);
    names.push_back(name);
  }
  return names;
}

// A copy of a program whose manifest no longer declares the UTF-8 code page,
// as the published jhead.exe declares none: the element's content blanked.
bool copy_without_utf8(const std::string& program, const std::string& copy) {
  std::vector<std::uint8_t> bytes = read_bytes(program);
  const std::string declared = ">UTF-8</activeCodePage>";
  const auto at = std::search(bytes.begin(), bytes.end(), declared.begin(), declared.end());
  if (at == bytes.end()) return false;
  std::fill(at + 1, at + 6, ' ');
  write_bytes(copy, bytes);
  return true;
}

// Names of every script, each a picture of a shape of its own, beside
// look-alikes that a conversion with best fit would turn them into. The
// full-width backslash in "..＼Ziel.jpg" would become a real one and
// name "Ziel.jpg" one folder up.
struct NamedPicture {
  std::string name;
  Shape source, scaled;  // in the box 400 x 300
};
const NamedPicture kNames[] = {
    {"写真.jpg", {800, 600}, {400, 300}},          {"Ελλάδα.jpg", {800, 500}, {400, 250}},
    {"Čeština.png", {800, 400}, {400, 200}},       {"Łódź.jpg", {900, 300}, {400, 133}},
    {"Urlaub 😀.png", {600, 900}, {200, 300}},     {"Blüten im März.jpg", {500, 750}, {200, 300}},
    {"entpackt\\..＼Ziel.jpg", {1000, 300}, {400, 120}},
};
const char* const kLookalikes[] = {"Lódz.jpg", "Lodz.jpg", "Ziel.jpg"};

// Every name by the command line and by a real drop, in copy and in replace
// mode, with the EXIF block carried over by jhead: each picture written under
// exactly its own name, its look-alikes untouched; the list shows the names
// as they are, and its preview and right click act on exactly the clicked
// file. The program built without the UTF-8 code page, as an older Windows
// runs it, refuses the names it cannot hold and touches none of them.
TEST_F(SkalaroProgramTest, names_of_every_script_are_acted_on_exactly) {
  program_folder = "Skalaro 写真";  // its settings and copies beside it
  const std::string folder =
      install(SKALARO_EXE, true, "NewImageWidth = 400\r\nNewImageHeight = 300\r\n");
  std::filesystem::create_directories(pictures("entpackt"));
  std::vector<std::string> sources;
  std::map<std::string, std::vector<std::uint8_t>> untouched;
  for (const NamedPicture& picture : kNames) {
    sources.push_back(pictures(picture.name));
    const bool png = picture.name.ends_with(".png");
    ASSERT_TRUE(png ? write_test_png(sources.back(), picture.source[0], picture.source[1], true)
                    : write_test_jpeg_with_exif(sources.back(), picture.source[0],
                                                picture.source[1]))
        << picture.name;
  }
  for (const char* lookalike : kLookalikes) {
    ASSERT_TRUE(write_test_jpeg(pictures(lookalike), 700, 700));
    untouched[pictures(lookalike)] = read_bytes(pictures(lookalike));
  }
  const auto check_lookalikes = [&] {
    for (const auto& [file, bytes] : untouched) EXPECT_EQ(read_bytes(file), bytes) << file;
    EXPECT_TRUE(temporary_files().empty());
  };

  // jhead is given exactly these files: one that reads the Western code page
  // (the published build) works on a folder's short name and a plain name
  // of the job's own where a name does not fit, and never leaves a file of
  // its own behind.
  ASSERT_TRUE(copy_without_utf8(SKALARO_JHEAD_EXE, folder + "\\jhead.exe"));

  // The command line, copy mode.
  {
    SkalaroProgram program(folder, sources);
    ASSERT_TRUE(program.wait_for_job());
    for (const NamedPicture& picture : kNames) {
      const std::string copied = copy(file_part(picture.name));
      EXPECT_EQ(shape_of(copied), picture.scaled) << picture.name;
      if (picture.name.ends_with(".jpg")) {
        EXPECT_TRUE(contains(read_bytes(copied), exif_segment())) << picture.name;
      }
    }
    check_lookalikes();

    // The list shows every name; a double click previews, and a right click
    // deletes, exactly the file of its row.
    std::set<std::string> expected;
    for (const NamedPicture& picture : kNames) expected.insert(file_part(picture.name));
    EXPECT_EQ(files_in(folder + "\\ResizedImages"), expected);
    const HWND list = program.gadget(GADGET_FILE_LIST);
    Sleep(500);
    take_screenshot("skalaro_names");
    const std::vector<std::string> names = list_names(list, program.id());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    const int lodz = static_cast<int>(std::ranges::find(names, "Łódź.jpg") - names.begin());
    double_click_at(list_row(list, lodz));
    const HWND preview = wait_for([&] { return preview_window(program.id()); }, 10);
    ASSERT_TRUE(preview);
    RECT client{};
    GetClientRect(preview, &client);
    EXPECT_EQ((Shape{client.right, client.bottom}), (Shape{400, 133}));
    POINT inside = {client.right / 2, client.bottom / 2};
    ClientToScreen(preview, &inside);
    click_at(inside.x, inside.y);
    ASSERT_TRUE(wait_for([&] { return !IsWindow(preview); }, 5));
    click_at(list_row(list, lodz).x, list_row(list, lodz).y, true);
    EXPECT_TRUE(wait_for([&] { return !file_exists(copy("Łódź.jpg").c_str()); }, 5));
    expected.erase("Łódź.jpg");
    EXPECT_EQ(files_in(folder + "\\ResizedImages"), expected);
    EXPECT_EQ(program.close(), 0);
    EXPECT_EQ(settings_text().rfind("NewImageWidth = 400\r\n", 0), 0u);
  }

  // A real drop, replace mode, with the jhead the program builds: each
  // source replaced in place.
  ASSERT_TRUE(CopyFileA(SKALARO_JHEAD_EXE, (folder + "\\jhead.exe").c_str(), FALSE));
  {
    SkalaroProgram program(folder, {});
    ASSERT_TRUE(wait_for([&] { return program.gadget(GADGET_FILE_LIST); }, 60));
    program.click(GADGET_REPLACE_ORIGINALS);
    EXPECT_EQ(drag_files_to(program.centre_of(GADGET_FILE_LIST), sources),
              static_cast<DWORD>(DROP_COPY));
    ASSERT_TRUE(program.wait_for_job());
    for (const NamedPicture& picture : kNames)
      EXPECT_EQ(shape_of(pictures(picture.name)), picture.scaled) << picture.name;
    check_lookalikes();
    EXPECT_EQ(program.close(), 0);
  }

  // Without the UTF-8 code page: the names the Western code page cannot hold
  // are refused, by the command line and by a drop; the others are done.
  for (const std::string& source : sources) untouched[source] = read_bytes(source);
  {
    install(SKALARO_ANSI_BUILD_EXE, false);  // in a folder whose name it cannot hold
    SkalaroProgram unnamed(folder, {});
    EXPECT_NE(unnamed.answer("Fehler", IDOK).find("\\Skalaro ??\\Skalaro.exe"), std::string::npos);
    EXPECT_EQ(unnamed.exit_code(30), 1);
  }
  program_folder = "Skalaro";
  SkalaroProgram program(
      install(SKALARO_ANSI_BUILD_EXE, true, "NewImageWidth = 400\r\nNewImageHeight = 300\r\n"),
      sources);
  const std::string refused = program.answer("Folgende Dateien können nicht verarbeitet werden:",
                                             IDOK, [](HWND) { take_screenshot("skalaro_refused"); });
  ASSERT_TRUE(program.wait_for_job());
  EXPECT_NE(refused.find("\\Bilder\\??.jpg\r"), std::string::npos) << refused;
  EXPECT_EQ(std::count(refused.begin(), refused.end(), '\r'), 9) << refused;  // title, 6, reason
  EXPECT_EQ(read_bytes(copy("Blüten im März.jpg")), read_bytes(sources[5]));  // it fits
  EXPECT_EQ(drag_files_to(program.centre_of(GADGET_FILE_LIST), {sources[3]}),
            static_cast<DWORD>(DROP_COPY));
  EXPECT_NE(program.answer("Folgende Datei kann nicht verarbeitet werden:", IDOK)
                .find("\\Bilder\\?ód?.jpg\r"),
            std::string::npos);
  check_lookalikes();
  EXPECT_EQ(program.close(), 0);
}

// Under Wine's LogPixels of 120, 144 and 192 DPI: the window's client area,
// the job's gadgets, every gadget and the list's columns at the layout's
// places and sizes times DPI / 96 (rounded as the platform's
// multiply-divide), and the preview of a picture at its size times the same.
TEST_F(SkalaroProgramTest, the_window_is_laid_out_for_the_screens_dpi) {
  const std::string folder = install(SKALARO_EXE, true);
  ASSERT_TRUE(write_test_png(pictures("bild.png"), 300, 200, false));  // fits: copied
  write_bytes(pictures("kaputt.jpg"), {0xFF, 0xD8});
  RegistryValue log_pixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", 96);
  for (const int dpi : {120, 144, 192}) {
    log_pixels.set(static_cast<DWORD>(dpi));
    const auto scaled = [dpi](int value) { return MulDiv(value, dpi, 96); };
    SkalaroProgram program(folder, {pictures("kaputt.jpg"), pictures("bild.png")});
    const auto expect_places = [&](const std::vector<GadgetPlace>& places) {
      for (const GadgetPlace& place : places) {
        RECT r{};
        GetWindowRect(program.gadget(static_cast<int>(place.gadget)), &r);
        MapWindowPoints(nullptr, program.window(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ((GadgetPlace{place.gadget, r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (GadgetPlace{place.gadget, scaled(place.x), scaled(place.y), scaled(place.width),
                               scaled(place.height)}))
            << dpi << " DPI";
      }
    };
    const std::string shot = dpi == 120 ? "" : "_" + std::to_string(dpi) + "_dpi";
    program.answer(std::string(LOAD_FAILED_TITLE), IDOK, [&](HWND) {
      expect_places(job_gadget_places(MAIN_WINDOW_WIDTH));
      if (!shot.empty()) take_screenshot("skalaro_job" + shot);
    });
    ASSERT_TRUE(program.wait_for_job());
    Sleep(500);
    RECT client{};
    GetClientRect(program.window(), &client);
    EXPECT_EQ(client.right, scaled(MAIN_WINDOW_WIDTH));
    EXPECT_EQ(client.bottom, scaled(MAIN_WINDOW_HEIGHT));
    std::vector<GadgetPlace> places = main_window_layout(MAIN_WINDOW_WIDTH);
    places.push_back(file_list_place(MAIN_WINDOW_WIDTH));
    expect_places(places);
    const HWND list = program.gadget(GADGET_FILE_LIST);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0),
              scaled(name_column_width(MAIN_WINDOW_WIDTH)));
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), scaled(SIZE_COLUMN_WIDTH));
    if (!shot.empty()) take_screenshot("skalaro_idle" + shot);

    double_click_at(list_row(list, 0));
    const HWND preview = wait_for([&] { return preview_window(program.id()); }, 10);
    ASSERT_TRUE(preview);
    GetClientRect(preview, &client);
    EXPECT_EQ((Shape{client.right, client.bottom}), (Shape{scaled(300), scaled(200)}));
    Sleep(300);
    if (!shot.empty()) take_screenshot("skalaro_preview" + shot);
    POINT inside = {client.right / 2, client.bottom / 2};
    ClientToScreen(preview, &inside);
    click_at(inside.x, inside.y);
    EXPECT_TRUE(wait_for([&] { return !IsWindow(preview); }, 5));
    EXPECT_EQ(program.close(), 0);
  }
}

// A settings file that cannot be written at exit is reported, once.
TEST_F(SkalaroProgramTest, settings_that_cannot_be_written_are_reported_once) {
  const std::string folder = install(SKALARO_EXE, true);
  CreateDirectoryA((folder + "\\Skalaro.ini").c_str(), nullptr);  // a folder in the file's place
  SkalaroProgram program(folder, {});
  ASSERT_TRUE(wait_for([&] { return program.gadget(GADGET_FILE_LIST); }, 60));
  PostMessageA(program.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  const std::string title = "Die Einstellungen konnten nicht gespeichert werden:";
  EXPECT_EQ(program.answer(title, IDOK, [](HWND) { take_screenshot("skalaro_settings_failed"); })
                .rfind(title + "\r" + folder + "\\Skalaro.ini\r    ", 0),
            0u);
  EXPECT_EQ(program.exit_code(30), 0);
}

// The program that the tests build with a download source from their
// environment, pointed at a loopback server.
class DownloadOfferTest : public SkalaroProgramTest {
 protected:
  // The body comes after `delay_ms`, as from a slow server.
  void serve(LoopbackServer& server, const std::vector<std::uint8_t>& body, int connections,
             int delay_ms = 0) {
    const std::string response =
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\nConnection: close\r\n\r\n" + std::string(body.begin(), body.end());
    server.serve(connections, [response, delay_ms](LoopbackPeer& peer, int) {
      peer.pause(delay_ms);
      peer.send_text(response);
    });
    SetEnvironmentVariableA("SKALARO_TEST_JHEAD_URL", server.url("jhead.exe").c_str());
    SetEnvironmentVariableA("SKALARO_TEST_JHEAD_SHA256", sha256_hex(sha256(jhead)).c_str());
  }
  const std::vector<std::uint8_t> jhead = read_bytes(SKALARO_JHEAD_EXE);
};

// The main window as the platform shows it, after a download offer answered
// Yes: the gadgets at their places, the title as the width is typed and
// cleared, the preview of a picture and of a file that cannot be loaded,
// the right click that deletes, and the info text.
TEST_F(DownloadOfferTest, the_main_window_its_title_and_its_preview) {
  const std::string folder =
      install(SKALARO_TEST_BUILD_EXE, false,
              "NewImageWidth = 300\r\nNewImageHeight = 300\r\nresizing = noaspect\r\n");
  std::filesystem::create_directories(folder + "\\ResizedImages");
  write_bytes(copy("kaputt.jpg"), {'n', 'i', 'c', 'h', 't', 's'});
  ASSERT_TRUE(write_test_jpeg_with_exif(copy("riesig.jpg"), 6000, 4000, 8));  // stored 4000 x 6000
  ASSERT_TRUE(write_test_png(pictures("bild.png"), 500, 200, false));
  LoopbackServer server;
  serve(server, jhead, 1, 3000);

  SkalaroProgram program(folder, {pictures("bild.png")});
  ASSERT_TRUE(program.window());
  EXPECT_EQ(program.answer(std::string(JHEAD_MISSING_TITLE), IDYES),
            std::string(JHEAD_MISSING_TEXT));
  Sleep(1000);
  DWORD_PTR answered = 0;  // the window answers while the server takes its time
  EXPECT_TRUE(SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000,
                                  &answered));
  EXPECT_FALSE(file_exists((folder + "\\jhead.exe").c_str())) << "the download still runs";
  ASSERT_TRUE(program.wait_for_job());
  EXPECT_EQ(read_bytes(folder + "\\jhead.exe"), jhead);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].rfind("GET /jhead.exe HTTP/1.1\r\n", 0), 0u);
  EXPECT_TRUE(is_checked(program.gadget(GADGET_KEEP_EXIF)));
  EXPECT_TRUE(IsWindowEnabled(program.gadget(GADGET_KEEP_EXIF)));

  // 350 x 330 inside, centred, topmost, every gadget at its place.
  const HWND window = program.window();
  RECT client{}, frame{};
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  EXPECT_EQ(client.right, 350);
  EXPECT_EQ(client.bottom, 330);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  std::vector<GadgetPlace> places = main_window_layout(350);
  places.push_back(file_list_place(350));
  for (const GadgetPlace& place : places) {
    RECT r{};
    GetWindowRect(program.gadget(static_cast<int>(place.gadget)), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((GadgetPlace{place.gadget, r.left, r.top, r.right - r.left, r.bottom - r.top}),
              place);
  }
  const std::pair<int, std::string_view> texts[] = {
      {GADGET_REPLACE_ORIGINALS, REPLACE_ORIGINALS_TEXT},
      {GADGET_KEEP_EXIF, KEEP_EXIF_TEXT},
      {GADGET_WEB_NAMES, WEB_NAMES_TEXT},
      {GADGET_QUALITY_LABEL, QUALITY_LABEL_TEXT},
      {GADGET_SIZE_LABEL, SIZE_LABEL_TEXT},
      {GADGET_SIZE_X, SIZE_X_TEXT},
      {GADGET_OPEN_FOLDER, OPEN_FOLDER_TEXT}};
  for (const auto& [gadget, text] : texts) EXPECT_EQ(window_text(program.gadget(gadget)), text);

  // The title follows the width field as it is typed and cleared.
  EXPECT_EQ(window_text(window), "Skalaro v4.0> 300x300 - Q=8");
  program.click(GADGET_WIDTH);
  SendMessageA(program.gadget(GADGET_WIDTH), EM_SETSEL, 0, -1);
  for (WORD key : {'8', '0', '0'}) press_key(key);
  EXPECT_TRUE(wait_for([&] { return window_text(window) == "Skalaro v4.0> 800x300 - Q=8"; }, 5))
      << window_text(window);
  SendMessageA(program.gadget(GADGET_WIDTH), EM_SETSEL, 0, -1);
  press_key(VK_BACK);
  EXPECT_TRUE(wait_for([&] { return window_text(window) == "Skalaro v4.0> 0x300 - Q=8"; }, 5))
      << window_text(window);

  // The preview: as large as the picture, centred, above the main window;
  // the close box of the main window and a close request do nothing; a
  // click into the picture closes it.
  const HWND list = program.gadget(GADGET_FILE_LIST);
  ASSERT_EQ(item_count(list), 3);  // bild.png, kaputt.jpg, riesig.jpg
  double_click_at(list_row(list, 0));
  HWND preview = wait_for([&] { return preview_window(program.id()); }, 10);
  ASSERT_TRUE(preview);
  EXPECT_EQ(window_text(preview), std::string(PREVIEW_TITLE));
  GetClientRect(preview, &client);
  GetWindowRect(preview, &frame);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 300);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  const POINT centre = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
  EXPECT_EQ(GetAncestor(WindowFromPoint(centre), GA_ROOT), preview) << "hidden by the main window";
  take_screenshot("skalaro_preview");
  PostMessageA(preview, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Sleep(500);
  EXPECT_TRUE(IsWindow(preview));
  EXPECT_TRUE(IsWindowVisible(window));
  click_at(centre.x, centre.y);
  EXPECT_TRUE(wait_for([&] { return !IsWindow(preview); }, 5));

  // A file that cannot be loaded still gives a preview that closes.
  double_click_at(list_row(list, 1));
  preview = wait_for([&] { return preview_window(program.id()); }, 10);
  ASSERT_TRUE(preview);
  GetWindowRect(preview, &frame);
  click_at((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
  EXPECT_TRUE(wait_for([&] { return !IsWindow(preview); }, 5));

  // A picture larger than the screen, stored turned: the window fits the work
  // area, the picture shows turned (wider), scaled down with its aspect kept.
  double_click_at(list_row(list, 2));
  preview = wait_for([&] { return preview_window(program.id()); }, 30);
  ASSERT_TRUE(preview);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(preview, &frame);
  GetClientRect(preview, &client);
  EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
              frame.bottom <= work.bottom);
  EXPECT_GT(client.right, 1000);
  EXPECT_NEAR(client.right * 4000.0 / 6000.0, client.bottom, 1.0);
  EXPECT_FALSE(take_screenshot("skalaro_preview_large").empty());
  click_at((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
  EXPECT_TRUE(wait_for([&] { return !IsWindow(preview); }, 5));

  // Both rows selected, a right click on the second deletes that file only.
  click_at(list_row(list, 0).x, list_row(list, 0).y);
  Sleep(300);
  send_key(VK_CONTROL, false);
  click_at(list_row(list, 1).x, list_row(list, 1).y);
  Sleep(300);
  send_key(VK_CONTROL, true);
  EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
  // A file that cannot be deleted says why.
  SetFileAttributesA(copy("kaputt.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
  click_at(list_row(list, 1).x, list_row(list, 1).y, true);
  const std::string not_deleted =
      program.answer("Folgendes Bild konnte nicht gelöscht werden:", IDOK);
  EXPECT_EQ(not_deleted.rfind("Folgendes Bild konnte nicht gelöscht werden:\r" +
                                  copy("kaputt.jpg") + "\r    ",
                              0),
            0u)
      << not_deleted;
  SetFileAttributesA(copy("kaputt.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
  Sleep(300);
  click_at(list_row(list, 1).x, list_row(list, 1).y, true);
  EXPECT_TRUE(wait_for([&] { return !std::filesystem::exists(copy("kaputt.jpg")); }, 5));
  EXPECT_TRUE(std::filesystem::exists(copy("bild.png")));
  EXPECT_TRUE(wait_for([&] { return item_count(list) == 2; }, 10));

  program.click(GADGET_INFO);
  EXPECT_EQ(program.answer(std::string(INFO_TITLE), IDOK), info_text());
  EXPECT_EQ(program.close(), 0);
  EXPECT_EQ(settings_text().rfind("NewImageWidth = 0\r\nNewImageHeight = 300\r\n", 0), 0u);
  EXPECT_NE(settings_text().find("JHEAD_KeepEXIF = 1\r\n"), std::string::npos);
}

// Answered No, the offer fetches nothing; answered Yes with a file that is
// not the pinned tool, the download counts as failed. Either way the EXIF
// check box is cleared and disabled, and no program is left behind.
TEST_F(DownloadOfferTest, declined_or_unverified_downloads_leave_exif_off) {
  const std::string folder = install(SKALARO_TEST_BUILD_EXE, false);
  LoopbackServer server;
  serve(server, {'M', 'Z', 'n', 'o', 't', ' ', 'j', 'h', 'e', 'a', 'd'}, 1);
  for (const int answer : {IDNO, IDYES}) {
    SkalaroProgram program(folder, {});
    ASSERT_TRUE(program.window());
    EXPECT_EQ(program.answer(std::string(JHEAD_MISSING_TITLE), answer),
              std::string(JHEAD_MISSING_TEXT));
    if (answer == IDYES) {
      EXPECT_EQ(program.answer(std::string(DOWNLOAD_FAILED_TITLE), IDOK),
                download_failed_text(server.url("jhead.exe"), "Die heruntergeladene Datei ist "
                                                              "nicht das erwartete Programm "
                                                              "(Prüfsumme)."));
    }
    ASSERT_TRUE(wait_for([&] { return program.gadget(GADGET_FILE_LIST); }, 30));
    EXPECT_FALSE(is_checked(program.gadget(GADGET_KEEP_EXIF)));
    EXPECT_FALSE(IsWindowEnabled(program.gadget(GADGET_KEEP_EXIF)));
    EXPECT_EQ(server.requests().size(), answer == IDYES ? 1u : 0u);
    EXPECT_EQ(program.close(), 0);
    EXPECT_NE(settings_text().find("JHEAD_KeepEXIF = 0\r\n"), std::string::npos);
    EXPECT_EQ(files_in(folder), (std::set<std::string>{"Skalaro.exe", "Skalaro.ini"}));
  }
}

}  // namespace
