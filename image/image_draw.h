// Drawing helpers for gadgets that show pictures with an alpha channel. They
// use the platform's per-pixel alpha blend, which may be absent.
#pragma once

#include <cstdint>

#include "image/pixel_store.h"

// True when the alpha service exists and the bitmap is a 32-bit pixel store,
// or a 32-bit device bitmap with at least one non-zero alpha byte.
bool image_has_alpha(void* bitmap);
// The same for a pixel store: the alpha service exists and it has 32 bits
// (its pixels are not looked at).
bool pixel_store_has_alpha(const PixelStoreInfo& store);

// The bitmap's pixel rows as 32-bit pixels, bottom row first: a pixel
// store's own bits (*copied = false), or a new copy of a device bitmap's
// pixels (*copied = true: free it with bitmap_free_pixels). Null on failure.
std::uint8_t* bitmap_pixels_32(void* bitmap, bool* copied);
void bitmap_free_pixels(std::uint8_t* pixels);

// A new 32-bit pixel store with premultiplied colours for drawing with
// per-pixel alpha (greyed when `disabled`); null without the alpha service.
void* bitmap_premultiplied_copy(void* bitmap, void* device_context, bool disabled);
void bitmap_free_premultiplied(void* bitmap);

// Per-pixel alpha blend at a constant opacity (0..255); nothing without the
// alpha service. A width or height of 0 takes the bitmap's.
void bitmap_draw_alpha(void* target, int x, int y, int width, int height, void* bitmap,
                       void* memory_context, int opacity);
// Blend without per-pixel alpha, or a plain copy without the alpha service.
void bitmap_draw(void* target, int x, int y, int width, int height, void* bitmap,
                 void* memory_context, int opacity);

// A new monochrome mask of the bitmap's size: black where the picture has
// alpha, white elsewhere (all black when that cannot be told).
void* bitmap_alpha_mask(void* bitmap);

// Disabled-look grey of one pixel, before alpha is applied.
int disabled_grey(int blue, int green, int red);
