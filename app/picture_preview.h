// The preview of a picture of the file list: a window exactly as large as
// the picture shown upright (or, for a picture larger than the screen's
// work area, as the picture scaled down to fit it), centred on the screen
// and above the main window, that waits for a click into the picture and
// ignores close requests meanwhile.
#pragma once

#include <cstdint>
#include <string>

#include "gui/dnd/drop_rules.h"

// The gadget event that ended the preview: a click on the picture, or an
// event of a main-window gadget, which the caller handles as usual; and the
// files dropped on the list while the preview was open, which the caller
// takes as one drop.
struct PreviewEnd {
  std::int64_t gadget;
  std::int64_t type;
  DroppedFiles dropped;
};

// Loads the picture into IMAGE_WORK and shows it. A file that cannot be
// loaded shows a picture of its own that says so and closes the same way.
PreviewEnd preview_picture(const std::string& path);
