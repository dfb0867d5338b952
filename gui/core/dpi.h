// Scaling by the display's pixels per logical inch (DPI). The toolkit's
// callers give positions and sizes in pixels at 96 DPI; the toolkit shows
// them at the DPI of the window that holds them, multiplied by DPI / 96 and
// rounded as the platform's multiply-divide rounds (halves away from zero),
// so that at 96 DPI every pixel stays as given. Fonts are made for the
// system's DPI (the display's logical inch) and shown in a window of
// another DPI scaled by the ratio of the two.
#pragma once

constexpr int DPI_DEFAULT = 96;

// value * dpi / 96, rounded to the nearest integer.
int dpi_scale(int value, int dpi);
// value * 96 / dpi, rounded likewise: for a dpi of 96 or more it gives back
// exactly the value that dpi_scale was given.
int dpi_unscale(int value, int dpi);
// A font height or width made for `made_for` DPI, shown at `shown_at`.
int dpi_font_size(int size, int made_for, int shown_at);
