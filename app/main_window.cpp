// The main window and its event loop.
#include "app/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/job_messages.h"
#include "app/main_window_rules.h"
#include "app/picture_preview.h"
#include "app/resize_job.h"
#include "app/resize_rules.h"
#include "app/tool_download.h"
#include "gui/core/events.h"
#include "gui/core/fonts.h"
#include "gui/core/requester.h"
#include "gui/core/window.h"
#include "gui/dnd/drag_drop.h"
#include "gui/dnd/drop_rules.h"
#include "gui/explorer/explorer_list.h"
#include "gui/gadgets/gadget_list.h"
#include "gui/gadgets/gadgets.h"
#include "image/image.h"
#include "runtime/files.h"
#include "runtime/programs.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"
#include "runtime/threads.h"

namespace {

constexpr std::uint32_t MAIN_WINDOW_FLAGS = WINDOW_DEFAULT_FLAGS | WINDOW_SCREEN_CENTERED;
constexpr std::uint32_t FILE_LIST_FLAGS =
    EXPLORER_NO_PARENT | EXPLORER_NO_DIRECTORIES | EXPLORER_NO_NAVIGATION |
    EXPLORER_NO_DRIVE_CHECK | EXPLORER_SORTED | EXPLORER_MULTISELECT | EXPLORER_FULL_ROW;
static_assert(MAIN_WINDOW_FLAGS == 0xC80001 && FILE_LIST_FLAGS == 0x220005E);

// How long a closed window waits for the job to finish its picture in
// progress before the process ends under it.
constexpr auto JOB_STOP_WAIT = std::chrono::seconds(60);

int inner_width = MAIN_WINDOW_WIDTH;
// A drop waiting for the list: the command line's pictures at start-up, or
// drops that came while a job ran. Paths joined by "\n".
DroppedFiles pending_drop;
std::int64_t job_thread = 0;
std::atomic<HWND> main_handle{nullptr};

// The job reaches the gadgets and requesters from its own thread; the
// toolkit sends these on to the main thread's controls.
class GadgetJobWindow final : public JobWindow {
 public:
  int check_box_state(object_number gadget) override {
    return static_cast<int>(gadget_get_state(gadget));
  }
  void set_progress(std::int64_t percent) override { gadget_set_state(GADGET_PROGRESS, percent); }
  void set_status_text(const std::string& text) override {
    gadget_set_text(GADGET_STATUS_TEXT, text.c_str());
  }
  void show_message(const std::string& title, const std::string& text) override {
    requester_message(title.c_str(), text.c_str(), REQUESTER_OK);
  }
};

GadgetJobWindow job_window;

GadgetPlace place_of(object_number gadget) {
  for (const GadgetPlace& place : main_window_layout(inner_width))
    if (place.gadget == gadget) return place;
  for (const GadgetPlace& place : job_gadget_places(inner_width))
    if (place.gadget == gadget) return place;
  return file_list_place(inner_width);
}

std::string current_title() {
  const ResizeSettings& settings = resize_settings();
  return main_window_title(app_state().version_text, settings.target_width, settings.target_height,
                           settings.jpeg_quality);
}

void update_title() {
  window_set_title(WINDOW_MAIN, current_title().c_str());
}

// The program's texts are written in UTF-8; the toolkit takes the ANSI code page.
std::int64_t show_message(std::string_view title, std::string_view text,
                          std::int32_t style = REQUESTER_OK) {
  return requester_message(ansi_from_utf8(title).c_str(), ansi_from_utf8(text).c_str(), style);
}

// A message whose text holds names and reasons (already in the code page).
void show_job_message(const JobMessage& message) {
  requester_message(message.title.c_str(), message.text.c_str(), REQUESTER_OK);
}

void create_check_box(object_number gadget, std::string_view text, std::string_view tip) {
  const GadgetPlace p = place_of(gadget);
  gadget_create_checkbox(gadget, p.x, p.y, p.width, p.height, ansi_from_utf8(text).c_str());
  gadget_set_tooltip(gadget, ansi_from_utf8(tip).c_str());
}

void create_text(object_number gadget, std::string_view text, std::uint32_t flags = 0) {
  const GadgetPlace p = place_of(gadget);
  gadget_create_text(gadget, p.x, p.y, p.width, p.height, ansi_from_utf8(text).c_str(), flags);
}

void create_number_field(object_number gadget, std::int64_t value, std::uint32_t flags) {
  const GadgetPlace p = place_of(gadget);
  gadget_create_string(gadget, p.x, p.y, p.width, p.height, int_to_string(value).c_str(), flags);
}

std::vector<GdiObject> narrowed_fonts;  // given to gadgets, which do not own them

int text_width(HDC context, HGDIOBJ font, const std::string& text) {
  SelectedObject selected(context, font);
  SIZE size{};
  GetTextExtentPoint32A(context, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The width the gadget's text needs in `font`: a check box's as the
// platform lays it out (its ideal size, the box included), a label's the
// text's own.
int needed_width(HWND control, HDC context, HGDIOBJ font, const std::string& text) {
  char window_class[16] = {};
  GetClassNameA(control, window_class, sizeof window_class);
  if (lstrcmpiA(window_class, "Button") != 0) return text_width(context, font, text);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SIZE ideal{};  // no width given: the width of the text on one line
  SendMessageA(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
  return ideal.cx;
}

// A label or check box whose text is wider than the gadget would wrap it
// and cut off the second line. Under Wine the dialog font is Wine's own
// Tahoma, wider than the font Windows gives that name: "neue Bildbreite in
// Pixel:" needs 125 of its label's 115 pixels there, and at 144 DPI the
// font's height rounds up (17 pixels for 16.5), so that "Web-Dateinamen
// verwenden" no longer fits its check box. Such a gadget gets its font
// narrowed just enough to fit, at the same height, so that it still lines
// up with its neighbours; a text that fits keeps the font as it is.
void fit_text(object_number gadget) {
  const HWND control = GetDlgItem(main_handle, static_cast<int>(gadget));
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
  const std::string text = gadget_get_text(gadget);
  RECT area{};
  GetClientRect(control, &area);
  WindowDc context(control);
  if (!font || !context || needed_width(control, context.get(), font, text) <= area.right) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return;
  }
  LOGFONTA shape{};
  TEXTMETRICA metrics{};
  GetObjectA(font, sizeof shape, &shape);
  {
    SelectedObject selected(context.get(), font);
    GetTextMetricsA(context.get(), &metrics);
  }
  for (shape.lfWidth = metrics.tmAveCharWidth - 1; shape.lfWidth >= 1; --shape.lfWidth) {
    GdiObject narrower(CreateFontIndirectA(&shape));
    if (!narrower) break;
    if (needed_width(control, context.get(), narrower.get(), text) <= area.right) {
      gadget_set_font(gadget, reinterpret_cast<std::intptr_t>(narrower.get()));
      narrowed_fonts.push_back(std::move(narrower));
      return;
    }
  }
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// The gadgets below the file list, in the order of their places.
void create_settings_gadgets() {
  const ResizeSettings& settings = resize_settings();
  create_check_box(GADGET_REPLACE_ORIGINALS, REPLACE_ORIGINALS_TEXT, REPLACE_ORIGINALS_TIP);
  create_check_box(GADGET_KEEP_EXIF, KEEP_EXIF_TEXT, KEEP_EXIF_TIP);
  gadget_set_state(GADGET_KEEP_EXIF, settings.keep_exif == 1 ? 1 : 0);
  create_check_box(GADGET_WEB_NAMES, WEB_NAMES_TEXT, WEB_NAMES_TIP);
  gadget_set_state(GADGET_WEB_NAMES, settings.web_names == 1 ? 1 : 0);
  for (const object_number box : {GADGET_REPLACE_ORIGINALS, GADGET_KEEP_EXIF, GADGET_WEB_NAMES})
    fit_text(box);

  const GadgetPlace quality = place_of(GADGET_QUALITY);
  gadget_create_trackbar(GADGET_QUALITY, quality.x, quality.y, quality.width, quality.height, 0, 10,
                         TRACKBAR_TICKS);
  gadget_set_state(GADGET_QUALITY, settings.jpeg_quality);
  create_text(GADGET_QUALITY_LABEL, QUALITY_LABEL_TEXT);
  create_text(GADGET_SIZE_LABEL, SIZE_LABEL_TEXT);
  fit_text(GADGET_QUALITY_LABEL);
  fit_text(GADGET_SIZE_LABEL);
  create_text(GADGET_SIZE_X, SIZE_X_TEXT, TEXT_CENTERED);
  create_number_field(GADGET_WIDTH, settings.target_width, STRING_NUMBERS | STRING_RIGHT);
  create_number_field(GADGET_HEIGHT, settings.target_height, STRING_NUMBERS);

  const GadgetPlace folder = place_of(GADGET_OPEN_FOLDER);
  gadget_create_button(GADGET_OPEN_FOLDER, folder.x, folder.y, folder.width, folder.height,
                       ansi_from_utf8(OPEN_FOLDER_TEXT).c_str());
  const GadgetPlace info = place_of(GADGET_INFO);
  gadget_create_image_button(GADGET_INFO, info.x, info.y, info.width, info.height,
                             reinterpret_cast<std::uintptr_t>(image_handle(IMAGE_INFO_ICON)));
  gadget_set_attribute(GADGET_INFO, IMAGE_BUTTON_DETAILED_IMAGE,
                       reinterpret_cast<std::int64_t>(image_handle(IMAGE_INFO_ICON_DETAILED)));
}

// The download of jhead runs on a thread of its own, so that the window goes
// on answering (Windows shows a window that does not answer for five
// seconds as hung); the main thread keeps its messages flowing meanwhile.
struct ToolDownload {
  DownloadSource source;
  std::string reason;
  std::atomic<int> fetched{0};
};
ToolDownload tool_download;

void download_tool(std::int64_t) {
  tool_download.fetched = download_verified(tool_download.source.url, JHEAD_PROGRAM,
                                            tool_download.source.sha256_hex, &tool_download.reason);
}

bool is_setting(std::int64_t gadget) {
  return gadget == GADGET_QUALITY || gadget == GADGET_WIDTH || gadget == GADGET_HEIGHT;
}

void on_gadget_event(std::int64_t gadget, std::int64_t type);

// While the download runs the settings follow their gadgets and a close
// request is kept for the loop; other events are dropped, as during the
// preview.
bool download_jhead() {
  tool_download.source = jhead_download_source();
  const std::int64_t thread = thread_create(download_tool, 0);
  if (thread == 0) download_tool(0);
  while (thread_is_running(thread)) {
    const std::int32_t event = event_wait(50);
    if (event == EVENT_CLOSE_WINDOW) app_state().quit_requested = 1;
    if (event == EVENT_GADGET && is_setting(event_gadget())) {
      on_gadget_event(event_gadget(), event_type());
      update_title();
    }
  }
  return tool_download.fetched != 0;
}

// jhead.exe beside the program, or the offer to fetch it. Without it the
// EXIF check box stays clear and disabled until the program ends.
void check_for_jhead() {
  if (file_size(JHEAD_PROGRAM) >= 1) return;
  bool fetched = false;
  if (show_message(JHEAD_MISSING_TITLE, JHEAD_MISSING_TEXT, REQUESTER_YES_NO) ==
      REQUESTER_ANSWER_YES) {
    fetched = download_jhead();
    if (!fetched)
      show_message(DOWNLOAD_FAILED_TITLE,
                   download_failed_text(tool_download.source.url, tool_download.reason));
  }
  if (!fetched) {
    gadget_set_state(GADGET_KEEP_EXIF, 0);
    gadget_disable(GADGET_KEEP_EXIF, 1);
  }
}

// The list in place of the job's gadgets, with a name and a size column.
void rebuild_file_list() {
  gadget_free(GADGET_PROGRESS);
  gadget_free(GADGET_BUSY_TEXT);
  gadget_free(GADGET_STATUS_TEXT);
  gadget_list_use(window_handle(WINDOW_MAIN));
  const GadgetPlace p = file_list_place(inner_width);
  const std::string shown = app_state().output_directory + std::string(FILE_LIST_PATTERNS);
  gadget_create_explorer_list(GADGET_FILE_LIST, p.x, p.y, p.width, p.height, shown.c_str(),
                              FILE_LIST_FLAGS);
  gadget_enable_drop(GADGET_FILE_LIST, DROP_FILES, DROP_COPY);
  // The list starts with name, size, type and modified; two columns in
  // front and four taken away from the third place leave name and size.
  gadget_add_column(GADGET_FILE_LIST, 0, "ZQ_Explorer_Column_Size", SIZE_COLUMN_WIDTH);
  gadget_add_column(GADGET_FILE_LIST, 0, "ZQ_Explorer_Column_Name", name_column_width(inner_width));
  for (int i = 0; i < 4; ++i) gadget_remove_column(GADGET_FILE_LIST, 2);
}

// The job's thread: the job, then a wake-up for the loop, so that the list
// comes back when the job ends rather than at the user's next move.
void run_job(std::int64_t) {
  resize_job(0);
  if (HWND window = main_handle) PostMessageA(window, WM_NULL, 0, 0);
}

void create_job_gadget(object_number gadget, object_number font) {
  create_text(gadget, gadget == GADGET_BUSY_TEXT ? BUSY_TEXT : "", TEXT_CENTERED);
  gadget_set_font(gadget, reinterpret_cast<std::intptr_t>(font_handle(font)));
}

// The drop handler: the list gives way to the job's gadgets while the job runs.
void start_job(std::string paths) {
  app_state().dropped_files = std::move(paths);
  gadget_free(GADGET_FILE_LIST);
  delay(10);
  gadget_list_use(window_handle(WINDOW_MAIN));
  create_job_gadget(GADGET_BUSY_TEXT, FONT_LARGE);
  const GadgetPlace bar = place_of(GADGET_PROGRESS);
  gadget_create_progress(GADGET_PROGRESS, bar.x, bar.y, bar.width, bar.height, 0, 100,
                         PROGRESS_SMOOTH);
  create_job_gadget(GADGET_STATUS_TEXT, FONT_SMALL);
  // From here until the loop takes the rebuild flag the job may use gadgets.
  gadget_set_worker_running(true);
  job_thread = thread_create(run_job, 0);
  if (job_thread == 0) app_state().list_rebuild_pending = 1;  // no job: the list comes back
}

// A drop on the list, or the pictures of the command line: names that
// cannot be taken are reported (and left alone), the others start a job.
// False when no job was started.
bool take_drop(DroppedFiles files) {
  if (!files.refused.empty()) show_job_message(refused_names_message(files.refused));
  if (files.paths.empty()) return false;
  start_job(std::move(files.paths));
  return true;
}

// The list item under the pointer when the click happened, -1 when none.
// The list selects a right-clicked item, but when it is one of several
// selected items the first selected one may be another picture.
std::int64_t item_under_click(HWND list) {
  const DWORD at = GetMessagePos();
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  ScreenToClient(list, &hit.pt);
  const LRESULT item = SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return (hit.flags & LVHT_ONITEM) ? item : -1;
}

std::string list_item_path(std::int64_t item) {
  return gadget_get_text(GADGET_FILE_LIST) + gadget_get_item_text(GADGET_FILE_LIST, item);
}

void delete_clicked_picture() {
  const std::int64_t item = item_under_click(GetDlgItem(main_handle, GADGET_FILE_LIST));
  if (item < 0) return;
  const std::string path = list_item_path(item);
  if (!file_delete(path))
    show_job_message(file_failure_message(DELETE_FAILED_TITLE, {path, file_error_text()}));
}

// The output directory in the file explorer; made first, so that the
// explorer finds it before the first job has made it.
void open_output_folder() {
  const AppState& state = app_state();
  if (!directory_create(state.output_directory)) {
    const std::string reason = file_error_text();
    if (file_size(state.output_directory) != FILE_SIZE_DIRECTORY) {
      show_job_message(file_failure_message(FOLDER_FAILED_TITLE, {state.output_directory, reason}));
      return;
    }
  }
  program_run("explorer", state.output_directory, state.output_directory, 0);
}

void on_gadget_event(std::int64_t gadget, std::int64_t type) {
  ResizeSettings& settings = resize_settings();
  switch (gadget) {
    case GADGET_QUALITY:
      settings.jpeg_quality = gadget_get_state(GADGET_QUALITY);
      break;
    case GADGET_WIDTH:
      settings.target_width = string_to_int(gadget_get_text(GADGET_WIDTH));
      break;
    case GADGET_HEIGHT:
      settings.target_height = string_to_int(gadget_get_text(GADGET_HEIGHT));
      break;
    case GADGET_INFO:
      show_message(INFO_TITLE, info_text());
      break;
    case GADGET_OPEN_FOLDER:
      open_output_folder();
      break;
    case GADGET_FILE_LIST:
      if (type == EVENT_TYPE_RIGHT_CLICK) {
        delete_clicked_picture();
      } else if (type == EVENT_TYPE_LEFT_DOUBLE_CLICK) {
        const PreviewEnd end = preview_picture(list_item_path(gadget_get_state(GADGET_FILE_LIST)));
        // A setting changed in the main window closed the preview: it counts
        // too, or the field and the setting would differ. A click that acts
        // (a delete, another preview) is not carried out behind the preview.
        if (is_setting(end.gadget)) on_gadget_event(end.gadget, end.type);
        // Files dropped on the list meanwhile are not lost: one job for them.
        if (!end.dropped.empty()) take_drop(std::move(end.dropped));
      }
      break;
    default:
      break;
  }
}

// A drop that arrives while a job runs, or before the list is back after
// one (drops queued behind a requester), waits for the list: one job at a
// time, and none lost.

void run_event_loop() {
  AppState& state = app_state();
  while (state.quit_requested != 1) {
    if (state.list_rebuild_pending == 1) {
      state.list_rebuild_pending = 0;
      // The job sets the flag after its last gadget call.
      gadget_set_worker_running(false);
      if (!take_drop(std::exchange(pending_drop, {})))
        rebuild_file_list();
    }
    switch (event_wait()) {
      case EVENT_CLOSE_WINDOW:
        state.quit_requested = 1;
        break;
      case EVENT_GADGET_DROP:
        if (thread_is_running(job_thread) || state.list_rebuild_pending == 1)
          pending_drop.add(event_dropped_files());
        else
          take_drop(event_dropped_files());
        break;
      case EVENT_GADGET:
        on_gadget_event(event_gadget(), event_type());
        update_title();
        break;
      default:
        break;
    }
  }
}

// A window closed during a job: gone from the screen at once, while the
// job finishes the picture it is working on. The job's gadget updates go
// through the main thread, so the wait keeps the messages flowing.
void let_the_job_finish() {
  if (!thread_is_running(job_thread)) return;
  ShowWindow(main_handle, SW_HIDE);
  app_state().job_stop_requested = 1;
  const auto give_up = std::chrono::steady_clock::now() + JOB_STOP_WAIT;
  while (thread_is_running(job_thread) && std::chrono::steady_clock::now() < give_up)
    event_wait(50);
}

}  // namespace

void main_window_run() {
  // The position is ignored: the window is centred on the screen.
  if (!window_open(WINDOW_MAIN, 20, 200, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT,
                   current_title().c_str(), MAIN_WINDOW_FLAGS))
    return;
  main_handle = window_handle(WINDOW_MAIN);
  window_set_topmost(WINDOW_MAIN, 1);
  font_load(FONT_LARGE, "Arial", 14);
  font_load(FONT_SMALL, "Arial", 12);
  inner_width = static_cast<int>(window_width(WINDOW_MAIN));

  app_state().list_rebuild_pending = 1;
  create_settings_gadgets();
  resize_job_bind_window(&job_window);
  check_for_jhead();
  run_event_loop();
  let_the_job_finish();
  // A job that has ended uses no gadget; the shutdown may free them.
  if (!thread_is_running(job_thread)) gadget_set_worker_running(false);
}

void main_window_drop_at_start(const std::vector<std::string>& paths,
                               std::vector<std::string> refused) {
  pending_drop = {drop_files_join(paths), std::move(refused)};
}

bool main_window_job_running() {
  return thread_is_running(job_thread) != 0;
}
