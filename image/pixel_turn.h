// Turning and mirroring a pixel store so that a picture stored with an EXIF
// orientation (image/exif_orientation.h) is held as it is shown.
#pragma once

#include "image/pixel_store.h"

// A new store of the same depth holding the picture upright: width and
// height exchanged for orientations 5 to 8, a plain copy for 1 (and for
// values outside 1..8). Null when the source is no pixel store or memory
// runs out.
PixelStore pixel_store_upright(PixelStore source, int orientation);
