// The preview window.
#include "app/picture_preview.h"

#include <windows.h>

#include <optional>

#include "app/app_state.h"
#include "app/main_window_rules.h"
#include "app/resize_file.h"
#include "gui/core/dpi.h"
#include "gui/core/events.h"
#include "gui/core/window.h"
#include "gui/core/window_dpi.h"
#include "gui/dnd/drag_drop.h"
#include "gui/gadgets/gadgets.h"
#include "image/image.h"
#include "image/pixel_store.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"

namespace {

constexpr int NOTICE_WIDTH = 360;
constexpr int NOTICE_HEIGHT = 80;

// The dialog font at 96 DPI: the notice is a picture, which the preview
// shows scaled to its screen's DPI like any other, while the platform makes
// its fonts for the system's DPI.
GdiObject notice_font() {
  LOGFONTA shape{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof shape, &shape);
  shape.lfHeight = dpi_font_size(shape.lfHeight, dpi_of_system(), DPI_DEFAULT);
  shape.lfWidth = dpi_font_size(shape.lfWidth, dpi_of_system(), DPI_DEFAULT);
  return GdiObject(CreateFontIndirectA(&shape));
}

// A picture that takes the place of one that cannot be loaded: two lines on
// the dialog colour, the notice and the file's name. Deleted with the object.
class LoadFailedNotice {
 public:
  explicit LoadFailedNotice(const std::string& name)
      : store_(pixel_store_create(NOTICE_WIDTH, NOTICE_HEIGHT, 24)) {
    MemoryDc context(CreateCompatibleDC(nullptr));
    const GdiObject notice(notice_font());
    if (!store_ || !context) return;
    SelectedObject bitmap(context.get(), static_cast<HBITMAP>(store_));
    SelectedObject font(context.get(), notice ? notice.get() : GetStockObject(DEFAULT_GUI_FONT));
    RECT area{0, 0, NOTICE_WIDTH, NOTICE_HEIGHT};
    FillRect(context.get(), &area, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(context.get(), TRANSPARENT);
    SetTextColor(context.get(), GetSysColor(COLOR_BTNTEXT));
    RECT line{8, 18, NOTICE_WIDTH - 8, 40};
    DrawTextA(context.get(), "Dieses Bild kann nicht angezeigt werden:", -1, &line,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    line = {8, 42, NOTICE_WIDTH - 8, 64};
    DrawTextA(context.get(), name.c_str(), -1, &line,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    GdiFlush();
  }
  ~LoadFailedNotice() { pixel_store_delete(store_); }
  LoadFailedNotice(const LoadFailedNotice&) = delete;
  LoadFailedNotice& operator=(const LoadFailedNotice&) = delete;

  PixelStore store() const { return store_; }

 private:
  PixelStore store_;
};

}  // namespace

PreviewEnd preview_picture(const std::string& path) {
  // Upright, and no larger than the screen has room for.
  const WindowSize room = window_room_on_screen(WINDOW_SCREEN_CENTERED);
  const PictureSize area{room.width, room.height};
  const PictureLoad file = picture_load(
      IMAGE_WORK, path, [area](PictureSize shown) { return preview_size(shown, area); });
  const bool loaded = file.loaded && picture_scale(IMAGE_WORK, preview_size(file.shown, area));
  std::optional<LoadFailedNotice> notice;
  if (!loaded) notice.emplace(file_part(path));
  void* picture = loaded ? image_handle(IMAGE_WORK) : notice->store();
  const int width = loaded ? image_width(IMAGE_WORK) : NOTICE_WIDTH;
  const int height = loaded ? image_height(IMAGE_WORK) : NOTICE_HEIGHT;

  // Only a caption, no system menu: the window has no close box.
  if (!window_open(WINDOW_PREVIEW, 0, 0, width, height, ansi_from_utf8(PREVIEW_TITLE).c_str(),
                   WINDOW_SCREEN_CENTERED))
    return {GADGET_PREVIEW_IMAGE, EVENT_TYPE_NONE, {}};
  // Above the main window, which is topmost and centred too and would
  // otherwise hide the preview.
  window_set_topmost(WINDOW_PREVIEW, 1);
  gadget_create_image(GADGET_PREVIEW_IMAGE, 0, 0, width, height, 0, IMAGE_SUNKEN);
  gadget_set_state(GADGET_PREVIEW_IMAGE, reinterpret_cast<std::int64_t>(picture));

  // Everything else waits: drops are collected for afterwards, other events
  // (close requests among them) are dropped.
  PreviewEnd end{GADGET_PREVIEW_IMAGE, EVENT_TYPE_NONE, {}};
  for (std::int32_t event = event_wait(); event != EVENT_GADGET; event = event_wait()) {
    if (event != EVENT_GADGET_DROP) continue;
    end.dropped.add(event_dropped_files());
  }
  end.gadget = event_gadget();
  end.type = event_type();
  window_close(WINDOW_PREVIEW);
  image_free(IMAGE_WORK);  // a large picture's stores are not kept for nothing
  return end;
}
