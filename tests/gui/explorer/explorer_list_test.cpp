// The explorer list under Wine: real directories, a real list view in a
// toolkit window, clicks and keys by SendInput, changes on disk seen by the
// monitor thread.
#include "gui/explorer/explorer_list.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <chrono>
#include <string>
#include <vector>

#include "gui/dnd/drag_drop.h"
#include "gui/explorer/explorer_monitor.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadgets.h"
#include "support/child_process.h"
#include "support/gadget_support.h"
#include "support/input.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"
#include "support/toolkit_fixture.h"

namespace {

using ExplorerListTest = DropToolkitTest;

constexpr object_number kWindow = 1;
constexpr object_number kList = 1000;
constexpr const char* kPictures = "*.jpg;*.jpeg;*.png";
constexpr std::uint32_t kApplicationFlags = 0x220005E;

void write_file(const std::string& path, std::size_t size) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const std::string bytes(size, 'x');
  DWORD written = 0;
  if (size) WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

// A directory with pictures, other files and two subdirectories.
struct PictureFolder {
  ScratchDir scratch;
  std::string path;  // with its trailing backslash

  PictureFolder() : path(scratch.path().string() + "\\") {
    write_file(path + "Alpen.jpg", 1025);
    write_file(path + "Berg.jpeg", 0);
    write_file(path + "Chalet.png", 4096);
    write_file(path + "notiz.txt", 10);
    write_file(path + "daten.bin", 3000);
    CreateDirectoryA((path + "Archiv").c_str(), nullptr);
    CreateDirectoryA((path + "Zentral").c_str(), nullptr);
  }
};

// The application's file list: the pictures of a folder, two columns.
bool create_application_list(const PictureFolder& folder) {
  if (!gadget_create_explorer_list(kList, 0, 0, 350, 200, (folder.path + kPictures).c_str(),
                                   kApplicationFlags))
    return false;
  gadget_add_column(kList, 0, "ZQ_Explorer_Column_Size", 50);
  gadget_add_column(kList, 0, "ZQ_Explorer_Column_Name", 276);
  for (int i = 0; i < 4; ++i) gadget_remove_column(kList, 2);
  return true;
}

HWND list_control() {
  GadgetObject* gadget = gadget_object(kList);
  return gadget ? gadget->handle : nullptr;
}

std::vector<std::string> column_texts(int column = 0) {
  std::vector<std::string> texts;
  for (std::int64_t i = 0; i < gadget_count_items(kList); ++i)
    texts.push_back(gadget_get_item_text(kList, i, column));
  return texts;
}

int index_of(const std::string& name) {
  const std::vector<std::string> names = column_texts();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

POINT item_point(int item) {
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessageA(list_control(), LVM_GETITEMRECT, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(&r));
  POINT p{r.left + 10, (r.top + r.bottom) / 2};
  ClientToScreen(list_control(), &p);
  return p;
}

std::vector<std::int64_t> list_event_types(const std::vector<ToolkitTest::SeenEvent>& seen) {
  std::vector<std::int64_t> types;
  for (const auto& e : seen)
    if (e.code == EVENT_GADGET && e.gadget == kList) types.push_back(e.type);
  return types;
}

bool has_type(const std::vector<ToolkitTest::SeenEvent>& seen, std::int64_t type) {
  for (std::int64_t t : list_event_types(seen))
    if (t == type) return true;
  return false;
}

HWND open_window(int width = 420, int height = 300) {
  if (!window_open(kWindow, 60, 60, width, height, "Explorer")) return nullptr;
  return window_handle(kWindow);
}

void double_click(POINT p) {
  click_at(p.x, p.y);
  click_at(p.x, p.y);
}

TEST_F(ExplorerListTest, lists_the_pictures_of_a_directory_and_names_the_selected_file) {
  PictureFolder folder;
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, (folder.path + kPictures).c_str()),
            0u);
  EXPECT_EQ(gadget_object(kList)->kind->kind_id, KIND_EXPLORER_LIST);
  // Unsorted: parent entry, directories, then the files pattern by pattern.
  EXPECT_EQ(column_texts(), (std::vector<std::string>{"..", "Archiv", "Zentral", "Alpen.jpg",
                                                      "Berg.jpeg", "Chalet.png"}));
  EXPECT_EQ(column_texts(1), (std::vector<std::string>{"", "", "", "2 KB", "0 KB", "4 KB"}));
  EXPECT_EQ(gadget_get_item_text(kList, -1, 0), "Name");  // the header (Wine has no shell title)
  EXPECT_EQ(gadget_get_text(kList), folder.path);

  // The state is the selected item; the text and its name make the path.
  EXPECT_EQ(gadget_get_state(kList), -1);
  gadget_set_item_state(kList, 5, EXPLORER_ITEM_SELECTED);
  EXPECT_EQ(gadget_get_state(kList), 5);
  EXPECT_EQ(gadget_get_item_state(kList, 5), EXPLORER_ITEM_FILE + EXPLORER_ITEM_SELECTED);
  EXPECT_EQ(gadget_get_item_state(kList, 1), EXPLORER_ITEM_OTHER);
  EXPECT_EQ(gadget_get_text(kList) + gadget_get_item_text(kList, gadget_get_state(kList)),
            folder.path + "Chalet.png");

  // A file that matches two patterns is listed twice; a text without a
  // backslash keeps the directory.
  gadget_set_text(kList, "*.png;C*");
  EXPECT_EQ(column_texts(),
            (std::vector<std::string>{"..", "Archiv", "Zentral", "Chalet.png", "Chalet.png"}));
  EXPECT_EQ(gadget_get_text(kList), folder.path);
  gadget_set_text(kList, (folder.path + "*.txt").c_str());
  EXPECT_EQ(column_texts().back(), "notiz.txt");
  EXPECT_EQ(gadget_get_item_state(kList, 0), EXPLORER_ITEM_OTHER);
}

TEST_F(ExplorerListTest, the_application_s_list_has_a_name_and_a_size_column) {
  PictureFolder folder;
  const HWND window = open_window(350, 330);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(create_application_list(folder));

  const HWND list = list_control();
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(gadget_get_item_attribute(kList, 0, EXPLORER_COLUMN_WIDTH, 0), 276);
  EXPECT_EQ(gadget_get_item_attribute(kList, 0, EXPLORER_COLUMN_WIDTH, 1), 50);
  EXPECT_EQ(gadget_get_item_text(kList, -1, 0), "Name");
  EXPECT_EQ(gadget_get_item_text(kList, -1, 1), "Size");
  LVCOLUMNA format{};
  format.mask = LVCF_FMT;
  SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  // Sorted by name, no parent entry, no directories.
  EXPECT_EQ(column_texts(), (std::vector<std::string>{"Alpen.jpg", "Berg.jpeg", "Chalet.png"}));
  EXPECT_EQ(column_texts(1), (std::vector<std::string>{"2 KB", "0 KB", "4 KB"}));
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_SINGLESEL, 0);
  EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(GetWindowLongPtrA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  // A right click raises type 1 with the clicked item current; a double
  // click on a file type 2.
  pump_for(200);
  ASSERT_TRUE(bring_to_front(window));
  const POINT berg = item_point(1);
  move_mouse_to(berg.x, berg.y);
  mouse_button(MOUSEEVENTF_RIGHTDOWN);
  mouse_button(MOUSEEVENTF_RIGHTUP);
  auto seen = pump_until([](const auto& s) { return has_type(s, EVENT_TYPE_RIGHT_CLICK); });
  EXPECT_TRUE(has_type(seen, EVENT_TYPE_RIGHT_CLICK));
  EXPECT_EQ(gadget_get_state(kList), 1);
  Sleep(GetDoubleClickTime() + 50);
  double_click(item_point(2));
  seen = pump_until([](const auto& s) { return has_type(s, EVENT_TYPE_LEFT_DOUBLE_CLICK); });
  EXPECT_TRUE(has_type(seen, EVENT_TYPE_LEFT_CLICK));
  EXPECT_TRUE(has_type(seen, EVENT_TYPE_LEFT_DOUBLE_CLICK));
  EXPECT_EQ(gadget_get_state(kList), 2);

  // On a screen of 144 DPI the columns are half as wide again, and still
  // 276 and 50 in the toolkit's units.
  RECT frame{};
  GetWindowRect(window, &frame);
  SendMessageA(window, 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 414);
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 75);
  EXPECT_EQ(gadget_get_item_attribute(kList, 0, EXPLORER_COLUMN_WIDTH, 0), 276);
}

TEST_F(ExplorerListTest, files_created_or_deleted_on_disk_appear_and_go_by_themselves) {
  PictureFolder folder;
  ASSERT_NE(open_window(350, 330), nullptr);
  ASSERT_TRUE(create_application_list(folder));
  ASSERT_EQ(gadget_count_items(kList), 3);
  write_file(folder.path + "Dorf.jpg", 2048);
  write_file(folder.path + "liesmich.txt", 5);
  pump_until([](const auto&) { return gadget_count_items(kList) == 4; }, 10000);
  EXPECT_EQ(column_texts(),
            (std::vector<std::string>{"Alpen.jpg", "Berg.jpeg", "Chalet.png", "Dorf.jpg"}));
  DeleteFileA((folder.path + "Alpen.jpg").c_str());
  pump_until([](const auto&) { return gadget_count_items(kList) == 3; }, 10000);
  EXPECT_EQ(column_texts(), (std::vector<std::string>{"Berg.jpeg", "Chalet.png", "Dorf.jpg"}));
  // A burst of changes is read in one go, not once per change.
  static int refreshes = 0;
  const SUBCLASSPROC count_refreshes = [](HWND w, UINT m, WPARAM f, LPARAM s, UINT_PTR,
                                          DWORD_PTR) -> LRESULT {
    refreshes += m == LVM_DELETEALLITEMS;
    return DefSubclassProc(w, m, f, s);
  };
  ASSERT_TRUE(SetWindowSubclass(list_control(), count_refreshes, 1, 0));
  for (int i = 0; i < 20; ++i) {
    write_file(folder.path + "Serie" + std::to_string(i) + ".jpg", 100);
    Sleep(5);
  }
  pump_until([](const auto&) { return gadget_count_items(kList) == 23; }, 10000);
  pump_for(1000);
  RemoveWindowSubclass(list_control(), count_refreshes, 1);
  EXPECT_EQ(gadget_count_items(kList), 23);
  EXPECT_GE(refreshes, 1);
  EXPECT_LE(refreshes, 3);
  // A list that shows another directory no longer follows the old one.
  ScratchDir other;
  gadget_set_text(kList, (other.path().string() + "\\").c_str());
  EXPECT_EQ(gadget_count_items(kList), 0);
  write_file(folder.path + "Esel.png", 1);
  pump_for(1000);
  EXPECT_EQ(gadget_count_items(kList), 0);
}

TEST_F(ExplorerListTest, columns_come_and_go_and_keep_the_others_in_place) {
  PictureFolder folder;
  ASSERT_NE(open_window(), nullptr);
  const std::string modified = folder.path + "Alpen.jpg";
  {
    // 17 May 2013, 14:30:45 local time.
    SYSTEMTIME local{2013, 5, 5, 17, 14, 30, 45, 0}, utc{};
    FILETIME time{};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    SystemTimeToFileTime(&utc, &time);
    const HANDLE file =
        CreateFileA(modified.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }
  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, (folder.path + "*.jpg").c_str(),
                                        EXPLORER_NO_PARENT | EXPLORER_NO_DIRECTORIES),
            0u);
  EXPECT_FALSE(column_texts(2).at(0).empty());  // the shell's type name
  const std::string date = column_texts(3).at(0);
  EXPECT_NE(date.find("2013"), std::string::npos) << date;
  EXPECT_NE(date.find("30"), std::string::npos) << date;
  EXPECT_EQ(date.find(":45"), std::string::npos) << date;  // no seconds

  gadget_remove_column(kList, 1);  // the size column
  EXPECT_EQ(gadget_get_item_text(kList, -1, 0), "Name");
  EXPECT_EQ(gadget_get_item_text(kList, -1, 1), "Type");
  EXPECT_EQ(gadget_get_item_text(kList, -1, 2), "Modified");
  EXPECT_EQ(column_texts(0), std::vector<std::string>{"Alpen.jpg"});
  EXPECT_EQ(column_texts(2), std::vector<std::string>{date});
  gadget_add_column(kList, -1, "ZQ_Explorer_Column_Attributes", 60);
  gadget_add_column(kList, 1, "Bemerkung", 80);
  EXPECT_EQ(gadget_get_item_text(kList, -1, 1), "Bemerkung");
  EXPECT_EQ(gadget_get_item_text(kList, -1, 4), "Attributes");
  EXPECT_EQ(column_texts(1), std::vector<std::string>{""});
  EXPECT_EQ(column_texts(3), std::vector<std::string>{date});
  EXPECT_EQ(column_texts(4), std::vector<std::string>{"A"});
}

TEST_F(ExplorerListTest, header_clicks_sort_with_the_parent_entry_always_first) {
  PictureFolder folder;
  const HWND window = open_window();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, (folder.path + "*.*").c_str()), 0u);
  pump_for(200);
  ASSERT_TRUE(bring_to_front(window));
  const HWND list = list_control();
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  auto click_header = [&](int column) {
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(header, &p);
    click_at(p.x, p.y);
    pump_for(300);
    Sleep(GetDoubleClickTime() + 50);
  };
  click_header(0);
  EXPECT_EQ(column_texts(),
            (std::vector<std::string>{"..", "Archiv", "Zentral", "Alpen.jpg", "Berg.jpeg",
                                      "Chalet.png", "daten.bin", "notiz.txt"}));
  click_header(0);
  EXPECT_EQ(column_texts(),
            (std::vector<std::string>{"..", "notiz.txt", "daten.bin", "Chalet.png", "Berg.jpeg",
                                      "Alpen.jpg", "Zentral", "Archiv"}));
  // By size: directories have none and sort as the largest.
  click_header(1);
  const std::vector<std::string> sorted = column_texts();
  std::vector<std::string> by_size = sorted;
  ASSERT_EQ(by_size.size(), 8u);
  if (by_size[6] == "Zentral") std::swap(by_size[6], by_size[7]);  // two directories tie
  EXPECT_EQ(by_size, (std::vector<std::string>{"..", "Berg.jpeg", "notiz.txt", "Alpen.jpg",
                                               "daten.bin", "Chalet.png", "Archiv", "Zentral"}));
  // A column that comes after sorting fills every item from its own file.
  gadget_add_column(kList, -1, "ZQ_Explorer_Column_Attributes", 50);
  EXPECT_EQ(column_texts(0), sorted);
  EXPECT_EQ(column_texts(1),
            (std::vector<std::string>{"", "0 KB", "1 KB", "2 KB", "3 KB", "4 KB", "", ""}));
  EXPECT_EQ(column_texts(4)[7], "D");
  // A refresh keeps the order.
  gadget_set_text(kList, "*.*");
  EXPECT_EQ(column_texts().front(), "..");
  EXPECT_EQ(column_texts()[1], "Berg.jpeg");
}

TEST_F(ExplorerListTest, double_clicks_navigate_unless_navigation_is_off) {
  PictureFolder folder;
  write_file(folder.path + "Archiv\\innen.jpg", 3);
  const HWND window = open_window();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, (folder.path + kPictures).c_str(),
                                        EXPLORER_NO_NAVIGATION),
            0u);
  pump_for(200);
  ASSERT_TRUE(bring_to_front(window));
  double_click(item_point(index_of("Archiv")));
  auto seen = pump_until([](const auto& s) { return has_type(s, EVENT_TYPE_LEFT_DOUBLE_CLICK); });
  EXPECT_TRUE(has_type(seen, EVENT_TYPE_LEFT_DOUBLE_CLICK));
  EXPECT_EQ(gadget_get_text(kList), folder.path);  // stays

  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, (folder.path + kPictures).c_str()),
            0u);
  pump_for(200);
  Sleep(GetDoubleClickTime() + 50);
  double_click(item_point(index_of("Archiv")));
  seen = pump_until([&](const auto&) { return gadget_get_text(kList) != folder.path; });
  const auto after = pump_for(200);
  seen.insert(seen.end(), after.begin(), after.end());
  EXPECT_TRUE(has_type(seen, 768));
  EXPECT_FALSE(has_type(seen, EVENT_TYPE_LEFT_DOUBLE_CLICK));
  EXPECT_EQ(gadget_get_text(kList), folder.path + "Archiv\\");
  EXPECT_EQ(column_texts(), (std::vector<std::string>{"..", "innen.jpg"}));
  // Enter on ".." goes back up, patterns unchanged.
  gadget_set_item_state(kList, 0, EXPLORER_ITEM_SELECTED);
  SetFocus(list_control());
  press_key(VK_RETURN);
  pump_until([&](const auto&) { return gadget_get_text(kList) == folder.path; });
  EXPECT_EQ(gadget_get_text(kList), folder.path);
  EXPECT_EQ(index_of("notiz.txt"), -1);
}

TEST_F(ExplorerListTest, the_root_view_lists_drives_and_a_removed_drive_leads_back_to_it) {
  PictureFolder folder;
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_explorer_list(kList, 0, 0, 420, 300, ""), 0u);
  EXPECT_EQ(gadget_get_text(kList), "");
  const DWORD drives = GetLogicalDrives();
  int expected = 0;
  for (int d = 0; d < 32; ++d) expected += (drives >> d) & 1;
  const std::int64_t count = gadget_count_items(kList);
  EXPECT_GE(count, expected);
  EXPECT_LE(count, expected + 1);  // and the documents entry when the shell names it
  gadget_set_text(kList, (folder.path).c_str());
  EXPECT_EQ(column_texts().front(), "..");
  DEV_BROADCAST_VOLUME removed{};
  removed.dbcv_size = sizeof removed;
  removed.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  removed.dbcv_unitmask = 1u << (folder.path[0] - 'A');
  SendMessageA(window_handle(kWindow), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
               reinterpret_cast<LPARAM>(&removed));
  EXPECT_EQ(gadget_get_text(kList), "");
  EXPECT_EQ(gadget_count_items(kList), count);
}

// A real drag from a second program onto the application's list: the item
// under the pointer is highlighted while the files hover over it; after the
// drop it is selected and focused, and nothing is highlighted.
TEST_F(ExplorerListTest, a_drag_highlights_the_item_under_the_pointer_and_the_drop_selects_it) {
  PictureFolder folder;
  const HWND window = open_window(350, 330);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(create_application_list(folder));
  gadget_enable_drop(kList, DROP_FILES, DROP_COPY);
  gadget_set_item_state(kList, 0, EXPLORER_ITEM_SELECTED);
  pump_for(300);
  const HWND list = list_control();
  auto states = [&](int item) {
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item),
                                          LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED));
  };
  const POINT over = item_point(1);
  std::string command = std::string("\"") + SKALARO_DRAG_HELPER + "\" files " +
                        std::to_string(over.x) + " " + std::to_string(over.y) + " 0 " +
                        std::to_string(DROP_COPY) + " \"" + folder.path + "notiz.txt\"";
  const ChildProcess helper = start_process(command);
  ASSERT_TRUE(helper);
  // The pointer crosses other items on its way; one item at a time is lit.
  // The highlight is no change of the selection: no event until the drop.
  bool highlighted = false, several_highlighted = false;
  int changes_while_hovering = 0;
  std::string dropped;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline && helper.running()) {
    const std::int64_t code = event_wait(10);
    if (code == EVENT_GADGET_DROP && event_gadget() == kList) dropped = event_drop_files();
    if (code == EVENT_GADGET && event_gadget() == kList && event_type() == 768 &&
        !(states(1) & LVIS_SELECTED))
      ++changes_while_hovering;
    int lit = 0;
    for (int item = 0; item < 3; ++item) lit += (states(item) & LVIS_DROPHILITED) != 0;
    highlighted |= (states(1) & LVIS_DROPHILITED) != 0;
    several_highlighted |= lit > 1;
  }
  for (const auto& e : pump_for(300))
    if (e.code == EVENT_GADGET_DROP) ADD_FAILURE() << "a second drop";
  EXPECT_EQ(helper.wait(0), static_cast<DWORD>(DROP_COPY));
  EXPECT_TRUE(highlighted);
  EXPECT_FALSE(several_highlighted);
  EXPECT_EQ(changes_while_hovering, 0);
  EXPECT_EQ(dropped, folder.path + "notiz.txt");
  EXPECT_EQ(states(1), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(states(0), 0u);
  EXPECT_EQ(states(2), 0u);
  EXPECT_EQ(gadget_get_state(kList), 1);
}

TEST_F(ExplorerListTest, looks_like_a_windows_list) {
  PictureFolder folder;
  const HWND window = open_window(780, 330);
  ASSERT_NE(window, nullptr);
  // The application's list, and one with the four standard columns.
  ASSERT_TRUE(create_application_list(folder));
  gadget_set_item_state(kList, 1, EXPLORER_ITEM_SELECTED);
  ASSERT_NE(
      gadget_create_explorer_list(kList + 1, 355, 0, 425, 200, (folder.path + "*.*").c_str(),
                                  EXPLORER_SORTED | EXPLORER_FULL_ROW | EXPLORER_SHOW_SELECTION),
      0u);
  gadget_set_item_state(kList + 1, 4, EXPLORER_ITEM_SELECTED);
  // Grid lines in a colour of the list's own.
  ASSERT_NE(gadget_create_explorer_list(kList + 2, 0, 205, 780, 125, (folder.path + "*.*").c_str(),
                                        EXPLORER_SORTED | EXPLORER_GRID_LINES),
            0u);
  gadget_set_color(kList + 2, EXPLORER_COLOR_GRID, RGB(192, 0, 0));
  EXPECT_EQ(gadget_get_color(kList + 2, EXPLORER_COLOR_GRID), RGB(192, 0, 0));
  ASSERT_TRUE(bring_to_front(window));
  SetFocus(list_control());
  pump_for(500);
  const std::string shot = take_screenshot("explorer_list");
  EXPECT_FALSE(shot.empty());
  // The line under the first row is the list's own.
  const HWND grid_list = gadget_object(kList + 2)->handle;
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(grid_list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const HDC context = GetDC(grid_list);
  const COLORREF pixel = GetPixel(context, row.left + 150, row.bottom - 1);
  ReleaseDC(grid_list, context);
  EXPECT_EQ(pixel, RGB(192, 0, 0));
}

// The monitor is off for the rest of the process afterwards, so this test
// comes last.
TEST_F(ExplorerListTest, a_monitor_that_does_not_answer_is_switched_off_for_good) {
  PictureFolder folder;
  ASSERT_NE(open_window(350, 330), nullptr);
  ASSERT_TRUE(create_application_list(folder));
  ASSERT_TRUE(explorer_monitor_running());
  const HANDLE monitor = explorer_monitor_thread();
  ASSERT_NE(SuspendThread(monitor), static_cast<DWORD>(-1));
  const auto start = std::chrono::steady_clock::now();
  gadget_set_text(kList, "*.jpg");  // the request waits for an answer in vain
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
  EXPECT_GE(waited, 4500);
  EXPECT_FALSE(explorer_monitor_running());
  EXPECT_EQ(explorer_monitor_thread(), nullptr);
  // Woken again, the thread ends by itself.
  ResumeThread(monitor);
  EXPECT_EQ(WaitForSingleObject(monitor, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(column_texts(), std::vector<std::string>{"Alpen.jpg"});  // the list still works
  write_file(folder.path + "Dorf.jpg", 10);
  pump_for(1500);
  EXPECT_EQ(gadget_count_items(kList), 1);  // but no longer follows the disk
  gadget_set_text(kList, "*.jpg");
  EXPECT_EQ(gadget_count_items(kList), 2);
}

}  // namespace
