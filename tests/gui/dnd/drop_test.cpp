// Drag and drop under Wine: real drags from a second program (DoDragDrop
// with the mouse moved by SendInput), and calls on the drop target that the
// platform registered for a window, read back from the toolkit's events and
// the controls.
#include "gui/dnd/drag_drop.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "gui/core/window_object.h"
#include "gui/dnd/drop_feedback.h"
#include "gui/dnd/drop_target.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_list.h"
#include "gui/gadgets/gadgets.h"
#include "runtime/programs.h"
#include "runtime/strings.h"
#include "support/child_process.h"
#include "support/drop_data_object.h"
#include "support/gadget_support.h"
#include "support/input.h"
#include "support/scratch_dir.h"
#include "support/toolkit_fixture.h"

namespace {

using DropTest = DropToolkitTest;

constexpr object_number kWindow = 1;
constexpr object_number kArea = 3;

// A window with one text gadget as the drop area.
HWND open_drop_window() {
  if (!window_open(kWindow, 300, 250, 360, 260, "Ablage")) return nullptr;
  if (!gadget_create_text(kArea, 20, 20, 220, 160, "hierher", GADGET_SUNKEN)) return nullptr;
  return window_handle(kWindow);
}

struct SeenDrop {
  std::int64_t code, gadget, type;
  std::int32_t action;
  std::string files;
};

struct DragResult {
  int effect = -1;  // the helper's exit code
  std::vector<SeenDrop> drops;
};

std::string helper_path() {
  return path_part(program_filename()) + "drag_source_helper.exe";
}

// Runs the helper, which drags onto `target`, while this thread waits for
// events; drop events are read at once, as their data lives until the next
// wait.
DragResult drag_from_helper(const char* what, POINT target, bool shift, DWORD offered,
                            const std::vector<std::string>& paths = {}) {
  std::string command = "\"" + helper_path() + "\" " + what + " " + std::to_string(target.x) + " " +
                        std::to_string(target.y) + " " + (shift ? "1" : "0") + " " +
                        std::to_string(offered);
  for (const std::string& path : paths) command += " \"" + path + "\"";
  DragResult result;
  const ChildProcess helper = start_process(command);
  if (!helper) return result;
  auto record_drops = [&result](std::int64_t code) {
    if (code != EVENT_GADGET_DROP && code != EVENT_WINDOW_DROP) return;
    const DropRecord* record = event_state()->drop_data;
    result.drops.push_back(
        {code, event_gadget(), event_type(), record ? record->action : -1, event_drop_files()});
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  auto ended_at = deadline;
  // After the helper ends, what the last calls of its drag posted is still
  // on its way for a moment.
  while (std::chrono::steady_clock::now() < std::min(deadline, ended_at)) {
    record_drops(event_wait(10));
    if (ended_at == deadline && !helper.running())
      ended_at = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  }
  const bool ended = ended_at != deadline;
  result.effect = ended ? static_cast<int>(helper.wait(0)) : -1;
  return result;
}

}  // namespace

namespace {

// Three real files, in the order the shell would list them.
std::vector<std::string> three_files(const ScratchDir& dir) {
  std::vector<std::string> paths;
  for (const char* name : {"b Bild.jpg", "a.png", "c.jpeg"}) {
    paths.push_back(dir.file(name));
    std::ofstream(paths.back()) << name;
  }
  return paths;
}

TEST_F(DropTest, three_files_dragged_from_another_program_raise_one_gadget_drop) {
  const HWND window = open_drop_window();
  ASSERT_NE(window, nullptr);
  gadget_enable_drop(kArea, DROP_FILES, DROP_COPY);
  pump_for(300);
  const ScratchDir dir;
  const std::vector<std::string> paths = three_files(dir);
  const DragResult result = drag_from_helper("files", screen_centre_of(control_of(kArea)), false,
                                             DROPEFFECT_COPY | DROPEFFECT_MOVE, paths);
  EXPECT_EQ(result.effect, DROP_COPY);
  ASSERT_EQ(result.drops.size(), 1u);
  EXPECT_EQ(result.drops[0].code, EVENT_GADGET_DROP);
  EXPECT_EQ(result.drops[0].gadget, kArea);
  EXPECT_EQ(result.drops[0].type, -1);
  EXPECT_EQ(result.drops[0].action, DROP_COPY);
  EXPECT_EQ(result.drops[0].files, paths[0] + "\n" + paths[1] + "\n" + paths[2]);
  // The record is gone with the next wait; a non-drop event has no files.
  PostMessageA(window, WM_APP, 0, 0);
  EXPECT_EQ(event_wait(0), WM_APP);
  EXPECT_EQ(event_state()->drop_data, nullptr);
  EXPECT_EQ(event_drop_files(), "");
}

TEST_F(DropTest, a_text_only_drag_is_refused_and_raises_nothing) {
  ASSERT_NE(open_drop_window(), nullptr);
  gadget_enable_drop(kArea, DROP_FILES, DROP_COPY | DROP_MOVE);
  pump_for(300);
  const DragResult result =
      drag_from_helper("text", screen_centre_of(control_of(kArea)), false, DROPEFFECT_COPY);
  EXPECT_EQ(result.effect, 0);
  EXPECT_TRUE(result.drops.empty());
}

TEST_F(DropTest, shift_chooses_move_only_where_move_is_allowed) {
  const HWND window = open_drop_window();
  ASSERT_NE(window, nullptr);
  gadget_enable_drop(kArea, DROP_FILES, DROP_COPY | DROP_MOVE);
  window_enable_drop(kWindow, DROP_FILES, DROP_COPY);
  pump_for(300);
  const ScratchDir dir;
  const std::vector<std::string> paths = three_files(dir);
  const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  DragResult onto_gadget =
      drag_from_helper("files", screen_centre_of(control_of(kArea)), true, offered, paths);
  EXPECT_EQ(onto_gadget.effect, DROP_MOVE);
  ASSERT_EQ(onto_gadget.drops.size(), 1u);
  EXPECT_EQ(onto_gadget.drops[0].action, DROP_MOVE);
  // The window itself, beside the gadget, allows only copying.
  RECT client{};
  GetClientRect(window, &client);
  POINT beside{client.right - 30, client.bottom - 30};
  ClientToScreen(window, &beside);
  DragResult onto_window = drag_from_helper("files", beside, true, offered, paths);
  EXPECT_EQ(onto_window.effect, DROP_COPY);
  ASSERT_EQ(onto_window.drops.size(), 1u);
  EXPECT_EQ(onto_window.drops[0].code, EVENT_WINDOW_DROP);
  EXPECT_EQ(onto_window.drops[0].action, DROP_COPY);
  EXPECT_EQ(onto_window.drops[0].files, paths[0] + "\n" + paths[1] + "\n" + paths[2]);
}

// Someone else's drop target, which accepts nothing.
struct ForeignTarget final : IDropTarget {
  int references = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = 0;
    return S_OK;
  }
};

DropTarget* drop_target_of(HWND owner) {
  return static_cast<DropTarget*>(GetPropA(owner, "ZQ_DropAccept"));
}

// The target that the platform keeps for a registered window.
IDropTarget* registered_target(HWND owner) {
  return static_cast<IDropTarget*>(GetPropA(owner, "OleDropTargetInterface"));
}

std::vector<std::pair<std::int32_t, std::int32_t>> entries_of(const DropFormatList& list) {
  std::vector<std::pair<std::int32_t, std::int32_t>> entries;
  for (const DropFormatEntry& e : list.entries()) entries.emplace_back(e.key, e.allowed_actions);
  return entries;
}

TEST_F(DropTest, formats_come_and_go_and_the_last_one_takes_the_target_along) {
  // Check boxes made before the drop area lie above it: one over it, one
  // beside it.
  ASSERT_NE(window_open(kWindow, 300, 250, 360, 260, "Formate"), 0u);
  const HWND window = window_handle(kWindow);
  ASSERT_NE(gadget_create_checkbox(4, 30, 30, 100, 20, "darueber"), 0u);
  ASSERT_NE(gadget_create_checkbox(5, 260, 30, 80, 20, "daneben"), 0u);
  ASSERT_NE(gadget_create_text(kArea, 20, 20, 220, 160, "hierher", GADGET_SUNKEN), 0u);
  const HWND area = control_of(kArea);
  auto is_above = [](HWND a, HWND b) {
    for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
      if (w == a) return true;
    return false;
  };
  ASSERT_TRUE(is_above(control_of(4), area));

  gadget_enable_drop(kArea, 0, DROP_COPY);        // format 0: nothing
  gadget_enable_drop(99, DROP_FILES, DROP_COPY);  // no such gadget
  EXPECT_EQ(drop_target_of(area), nullptr);
  gadget_enable_drop(kArea, DROP_FILES, DROP_COPY);
  DropTarget* target = drop_target_of(area);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(registered_target(area), static_cast<IDropTarget*>(target));
  EXPECT_FALSE(is_above(control_of(4), area));
  EXPECT_TRUE(is_above(control_of(5), area));

  // Twice the same format: only its actions change. New entries go in front.
  gadget_enable_drop(kArea, 2, DROP_LINK);
  gadget_enable_drop(kArea, DROP_FILES, DROP_MOVE);
  gadget_enable_drop(kArea, DROP_PRIVATE, DROP_COPY, 7);
  EXPECT_EQ(drop_target_of(area), target);
  EXPECT_EQ(entries_of(target->formats), (std::vector<std::pair<std::int32_t, std::int32_t>>{
                                             {2, DROP_LINK}, {DROP_FILES, DROP_MOVE}}));
  EXPECT_EQ(entries_of(target->private_types),
            (std::vector<std::pair<std::int32_t, std::int32_t>>{{7, DROP_COPY}}));
  // The interfaces the target answers.
  IUnknown* unknown = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  unknown->Release();
  void* none = &unknown;
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(target->QueryInterface(IID_IDropTarget, nullptr), E_INVALIDARG);

  gadget_enable_drop(kArea, DROP_FILES, 0);
  gadget_enable_drop(kArea, 2, 0);
  EXPECT_EQ(drop_target_of(area), target);  // the private type is left
  gadget_enable_drop(kArea, DROP_PRIVATE, 0, 7);
  EXPECT_EQ(drop_target_of(area), nullptr);
  EXPECT_EQ(registered_target(area), nullptr);
  EXPECT_EQ(RevokeDragDrop(area), DRAGDROP_E_NOTREGISTERED);

  // A window that already has someone else's target gets the toolkit's.
  ForeignTarget foreign;
  ASSERT_EQ(RegisterDragDrop(window, &foreign), S_OK);
  window_enable_drop(kWindow, DROP_FILES, DROP_COPY);
  ASSERT_NE(drop_target_of(window), nullptr);
  EXPECT_EQ(registered_target(window), static_cast<IDropTarget*>(drop_target_of(window)));
  EXPECT_EQ(foreign.references, 1);  // the platform let go of it
}

// A list view gadget (the kind of the toolkit's list views): the item under
// the pointer is highlighted while the drag may drop, and selected and
// focused after the drop.
TEST_F(DropTest, list_views_highlight_the_item_under_the_pointer) {
  ASSERT_NE(open_drop_window(), nullptr);
  static constexpr GadgetKind kListKind = gadget_kind_table(KIND_LIST_ICON);
  drop_feedback_register(KIND_LIST_ICON, DropFeedbackStyle::ListView);
  const HWND list = gadget_create_control(WC_LISTVIEWA, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT,
                                          0, 20, 190, 300, 60);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(gadget_register(8, list, &kListKind), nullptr);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = 200;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < 3; ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    char text[] = "Bild";
    item.pszText = text;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  LVITEMA selected{};
  selected.stateMask = selected.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
  gadget_enable_drop(8, DROP_FILES, DROP_COPY);
  pump_for(200);

  RECT row{};
  row.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  POINT over{row.left + 5, (row.top + row.bottom) / 2};
  ClientToScreen(list, &over);
  const POINTL at{over.x, over.y};
  auto state_of = [&](int item) {
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, item,
                                          LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED));
  };
  IDropTarget* target = registered_target(list);
  ASSERT_NE(target, nullptr);

  // Only text: refused, nothing highlighted.
  const char text[] = "Text";
  DataObject only_text(CF_TEXT, std::vector<unsigned char>(text, text + sizeof text));
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(target->DragEnter(&only_text, MK_LBUTTON, at, &effect), S_OK);
  EXPECT_EQ(effect, 0u);
  EXPECT_EQ(state_of(1) & LVIS_DROPHILITED, 0u);
  target->DragLeave();

  const ScratchDir dir;
  DataObject files(CF_HDROP, file_drop_block(three_files(dir)));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, at, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(state_of(1), static_cast<UINT>(LVIS_DROPHILITED));
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(target->DragOver(MK_LBUTTON | MK_SHIFT, at, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));  // move is not allowed
  ASSERT_EQ(target->Drop(&files, 0, at, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(state_of(1), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(state_of(0), 0u);
  const auto seen = pump_until([](const auto& s) { return saw(s, EVENT_GADGET_DROP); });
  ASSERT_TRUE(saw(seen, EVENT_GADGET_DROP));
  EXPECT_EQ(event_gadget(), 8);
}

// List boxes and tree views (kinds the application does not create, made
// here from their controls, with the feedback their kinds register): the
// drop selects the item under the pointer; a tree marks it while the drag
// hovers.
TEST_F(DropTest, list_boxes_and_trees_select_the_item_under_the_drop) {
  ASSERT_NE(open_drop_window(), nullptr);
  static constexpr GadgetKind kListBoxKind = gadget_kind_table(KIND_LIST_BOX);
  static constexpr GadgetKind kTreeKind = gadget_kind_table(KIND_TREE);
  drop_feedback_register(KIND_LIST_BOX, DropFeedbackStyle::ListBox);
  drop_feedback_register(KIND_TREE, DropFeedbackStyle::TreeView);
  const HWND box = gadget_create_control("LISTBOX", nullptr,
                                         WS_CHILD | WS_VISIBLE | LBS_EXTENDEDSEL | LBS_NOTIFY, 0,
                                         250, 20, 100, 100);
  const HWND tree =
      gadget_create_control(WC_TREEVIEWA, nullptr, WS_CHILD | WS_VISIBLE, 0, 250, 130, 100, 100);
  ASSERT_NE(gadget_register(9, box, &kListBoxKind), nullptr);
  ASSERT_NE(gadget_register(10, tree, &kTreeKind), nullptr);
  std::vector<HTREEITEM> nodes;
  for (const char* name : {"eins", "zwei", "drei"}) {
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    TVINSERTSTRUCTA insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(name);
    nodes.push_back(reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert))));
  }
  SendMessageA(box, LB_SETSEL, TRUE, 0);
  gadget_enable_drop(9, DROP_FILES, DROP_COPY);
  gadget_enable_drop(10, DROP_FILES, DROP_COPY);
  pump_for(200);
  const ScratchDir dir;
  DataObject files(CF_HDROP, file_drop_block(three_files(dir)));

  RECT item{};
  SendMessageA(box, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  POINT over{item.left + 5, (item.top + item.bottom) / 2};
  ClientToScreen(box, &over);
  DWORD effect = DROPEFFECT_COPY;
  IDropTarget* target = registered_target(box);
  ASSERT_NE(target, nullptr);
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, POINTL{over.x, over.y}, &effect), S_OK);
  ASSERT_EQ(target->Drop(&files, 0, POINTL{over.x, over.y}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(SendMessageA(box, LB_GETSELCOUNT, 0, 0), 1);
  EXPECT_GT(SendMessageA(box, LB_GETSEL, 2, 0), 0);

  std::memcpy(&item, &nodes[1],
              sizeof(HTREEITEM));  // the item goes in where the rectangle comes back
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item));
  over = POINT{item.left + 2, (item.top + item.bottom) / 2};
  ClientToScreen(tree, &over);
  target = registered_target(tree);
  ASSERT_NE(target, nullptr);
  effect = DROPEFFECT_COPY;
  auto marked = [&](HTREEITEM node) {
    return (SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_DROPHILITED) &
            TVIS_DROPHILITED) != 0;
  };
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, POINTL{over.x, over.y}, &effect), S_OK);
  EXPECT_TRUE(marked(nodes[1]));
  target->DragLeave();
  EXPECT_FALSE(marked(nodes[1]));
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, POINTL{over.x, over.y}, &effect), S_OK);
  EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0),
            reinterpret_cast<LRESULT>(nodes[1]));
  ASSERT_EQ(target->Drop(&files, 0, POINTL{over.x, over.y}, &effect), S_OK);
  EXPECT_FALSE(marked(nodes[1]));
  EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0),
            reinterpret_cast<LRESULT>(nodes[1]));
  const auto seen = pump_for(300);
  std::vector<std::int64_t> dropped_on;
  for (const SeenEvent& e : seen)
    if (e.code == EVENT_GADGET_DROP) dropped_on.push_back(e.gadget);
  EXPECT_EQ(dropped_on, (std::vector<std::int64_t>{9, 10}));
}

// A gadget outside any toolkit window has no window to deliver its drops
// to: the drop is refused and its record freed.
TEST_F(DropTest, a_drop_without_a_toolkit_window_is_refused) {
  const HWND plain = CreateWindowExA(0, "STATIC", "fremd", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                                     300, 200, 120, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  gadget_list_use(plain);
  ASSERT_NE(gadget_create_text(kArea, 10, 10, 100, 50, "hier"), 0u);
  gadget_enable_drop(kArea, DROP_FILES, DROP_COPY);
  IDropTarget* target = registered_target(control_of(kArea));
  ASSERT_NE(target, nullptr);
  const ScratchDir dir;
  DataObject files(CF_HDROP, file_drop_block(three_files(dir)));
  const POINT centre = screen_centre_of(control_of(kArea));
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, POINTL{centre.x, centre.y}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_EQ(target->Drop(&files, 0, POINTL{centre.x, centre.y}, &effect), S_OK);
  EXPECT_EQ(effect, 0u);
  EXPECT_FALSE(saw(pump_for(200), EVENT_GADGET_DROP));
  DestroyWindow(plain);
}

}  // namespace
