// Where a double click or Enter leads an explorer list (parent, directory,
// documents folder, drive, root view), the prompt for a disk in a drive that
// is not ready, and what the lists do when drives arrive or go.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>

#include "gui/core/events.h"
#include "gui/explorer/explorer_state.h"
#include "gui/gadgets/gadget_kind.h"

namespace {

constexpr WORD kDiskPromptDialog = 0x400;
constexpr int kDiskPromptIcon = 12297;
constexpr int kDiskPromptText = 12291;

HWND drive_window = nullptr;  // the top-level window with the drive-change procedure

bool drive_is_ready(const std::string& root) {
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool answered =
      GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
  const DWORD error = answered ? 0 : GetLastError();
  SetErrorMode(previous);
  return error != ERROR_NOT_READY;
}

ExplorerState* prompt_owner(HWND dialog) {
  return reinterpret_cast<ExplorerState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The prompt's text names the drive: its one "%c" becomes the letter, or
// its one "%s" the letter and a colon.
void name_drive_in_prompt(HWND dialog, int drive) {
  char text[512] = {};
  GetDlgItemTextA(dialog, kDiskPromptText, text, sizeof text);
  std::string prompt = text;
  const char letter = static_cast<char>('A' + drive);
  std::size_t at = prompt.find("%c");
  if (at != std::string::npos && prompt.find("%c", at + 2) == std::string::npos) {
    prompt.replace(at, 2, 1, letter);
  } else if ((at = prompt.find("%s")) != std::string::npos &&
             prompt.find("%s", at + 2) == std::string::npos) {
    prompt.replace(at, 2, std::string{letter, ':'});
  }
  SetDlgItemTextA(dialog, kDiskPromptText, prompt.c_str());
}

INT_PTR CALLBACK disk_prompt_procedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<ExplorerState*>(second);
      SetWindowLongPtrA(dialog, DWLP_USER, second);
      SHFILEINFOA info{};
      const std::string root = explorer_drive_root(state->disk_dialog_drive);
      if (SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_ICON) && info.hIcon)
        SendDlgItemMessageA(dialog, kDiskPromptIcon, STM_SETICON,
                            reinterpret_cast<WPARAM>(info.hIcon), 0);
      name_drive_in_prompt(dialog, state->disk_dialog_drive);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(first) != IDCANCEL) return FALSE;
      [[fallthrough]];
    case WM_CLOSE:
      if (ExplorerState* state = prompt_owner(dialog)) explorer_close_disk_dialog(state);
      return TRUE;
    default:
      return FALSE;
  }
}

void open_disk_prompt(ExplorerState* state, int drive) {
  const HMODULE shell = GetModuleHandleA("shell32.dll");
  if (!shell || state->disk_dialog) return;
  if (!FindResourceA(shell, MAKEINTRESOURCEA(kDiskPromptDialog), MAKEINTRESOURCEA(5))) return;
  const HWND top = GetAncestor(state->handle, GA_ROOT);
  state->disk_dialog_drive = drive;
  state->disk_dialog = CreateDialogParamA(shell, MAKEINTRESOURCEA(kDiskPromptDialog), top,
                                          disk_prompt_procedure, reinterpret_cast<LPARAM>(state));
  if (!state->disk_dialog) return;
  EnableWindow(top, FALSE);
  ShowWindow(state->disk_dialog, SW_SHOW);
}

void open_drive(ExplorerState* state, int drive) {
  const std::string root = explorer_drive_root(drive);
  if ((state->flags & EXPLORER_NO_DRIVE_CHECK) || drive_is_ready(root))
    explorer_show(state, root.c_str());
  else
    open_disk_prompt(state, drive);
}

bool lies_on(const ExplorerState* state, DWORD drive_mask) {
  const int drive = explorer_drive_index(state->directory);
  return drive >= 0 && (drive_mask & (1u << drive));
}

void on_drive_change(WPARAM change, DWORD drive_mask) {
  explorer_for_each_state([&](ExplorerState* state) {
    const bool root_view = state->directory.empty();
    if (change == DBT_DEVICEARRIVAL) {
      if (state->disk_dialog && (drive_mask & (1u << state->disk_dialog_drive)))
        explorer_close_disk_dialog(state);
      if (root_view) explorer_refresh(state);
    } else if (root_view ||
               (!(state->flags & EXPLORER_NO_NAVIGATION) && lies_on(state, drive_mask))) {
      explorer_show(state, "");
    }
  });
}

LRESULT CALLBACK drive_change_procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_DEVICECHANGE &&
      (first == DBT_DEVICEARRIVAL || first == DBT_DEVICEREMOVECOMPLETE) && second) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(second);
    if (header->dbch_devicetype == DBT_DEVTYP_VOLUME)
      on_drive_change(first, reinterpret_cast<const DEV_BROADCAST_VOLUME*>(second)->dbcv_unitmask);
  }
  if (message == WM_NCDESTROY && window == drive_window)
    drive_window = nullptr;  // the next list installs the procedure again
  return window_pass_on(drive_change_procedure, window, message, first, second);
}

}  // namespace

std::int64_t explorer_open_selected(ExplorerState* state) {
  const int item = explorer_first_selected(state->handle);
  if (item < 0) return EXPLORER_EVENT_CHANGED;
  const std::int64_t kind = explorer_item_parameter(state->handle, item);
  if ((state->flags & EXPLORER_NO_NAVIGATION) || kind == ITEM_FILE)
    return EVENT_TYPE_LEFT_DOUBLE_CLICK;
  if (kind == ITEM_PARENT_ROOT) {
    explorer_show(state, "");
  } else if (kind == ITEM_PARENT_DIRECTORY) {
    explorer_show(state, explorer_parent_directory(state->directory).c_str());
  } else if (kind == ITEM_DIRECTORY) {
    const int names = explorer_name_column(state);
    const std::string name = names < 0 ? "" : explorer_item_text(state->handle, item, names);
    if (!name.empty()) explorer_show(state, (state->directory + name + "\\").c_str());
  } else if (kind == ITEM_DOCUMENTS) {
    explorer_show(state, explorer_shell().documents_path.c_str());
  } else if (explorer_is_drive_item(kind)) {
    open_drive(state, static_cast<int>(kind));
  }
  return EXPLORER_EVENT_CHANGED;
}

void explorer_close_disk_dialog(ExplorerState* state) {
  const HWND dialog = state->disk_dialog;
  if (!dialog) return;
  state->disk_dialog = nullptr;
  const auto icon =
      reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, kDiskPromptIcon, STM_GETICON, 0, 0));
  EnableWindow(GetAncestor(state->handle, GA_ROOT), TRUE);
  DestroyWindow(dialog);
  if (icon) DestroyIcon(icon);
}

void explorer_watch_drive_changes(HWND top_level) {
  if (drive_window || !top_level) return;
  drive_window = top_level;
  window_subclass(top_level, drive_change_procedure);
}
