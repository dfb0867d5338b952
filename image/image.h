// Image objects: numbered pictures held in bottom-up pixel stores (or
// icons), loaded from files or memory, resized and saved through the codec
// tables.
#pragma once

#include <cstdint>

#include "image/codec_registry.h"
#include "image/pixel_layout.h"
#include "image/spare_stores.h"
#include "runtime/registry.h"

constexpr int RESIZE_SMOOTH = 0;
constexpr int RESIZE_RAW = 1;
constexpr int IMAGE_SIZE_UNCHANGED = -65535;
constexpr int DEFAULT_SAVE_QUALITY = 7;
constexpr int KEEP_DEPTH = -1;
constexpr std::uint32_t IMAGE_CATCH_DEFAULT_SIZE = 10000000;

// Image objects may be used from several threads at once, each thread on
// numbers of its own (the resize job's workers): the registry is locked,
// a record is not.
struct ImageObject {
  void* handle;  // the pixel store, or for an icon the icon handle
  std::int16_t width;
  std::int16_t height;
  std::int8_t depth;
  std::int8_t source_depth;
  std::uint32_t format;
  PictureTraits* traits;  // what the source file carried besides the pixels, or null
  SpareStores spares;     // stores kept for the next picture under this number
};

void image_init();
void image_end();

// Joins the image kind, the decode context and its teardown to the runtime's
// start-up and shutdown sequence.
void image_join_runtime();

// The image's handle (numbered) or dynamic handle (ANY_OBJECT); 0 on failure.
// With a request, a picture that will be scaled down may be decoded smaller
// (DecodeRequest). Loading into a number again decodes into its earlier
// stores where they have the new picture's shape (image/spare_stores.h).
std::uintptr_t image_load(object_number number, const char* file_name,
                          const DecodeRequest& request = {});
std::uintptr_t image_catch(object_number number, const void* data,
                           std::uint32_t size = IMAGE_CATCH_DEFAULT_SIZE,
                           const DecodeRequest& request = {});

void* image_handle(object_number number);
int image_width(object_number number);
int image_height(object_number number);
int image_depth(object_number number);
int image_source_depth(object_number number);
std::uint32_t image_format(object_number number);

// The new pixel store's handle, 0 on failure (the image then has no store).
void* image_resize(object_number number, int width, int height, int mode);

// How the stored pixels are to be turned to be shown (EXIF orientation 1..8,
// image/exif_orientation.h); 1 for pictures without one and for no image.
int image_orientation(object_number number);
// Turns and mirrors the pixels as the orientation says, so that the image
// holds the picture as it is shown; its orientation is 1 afterwards. False
// when there is no pixel store or memory runs out (the image is unchanged).
bool image_turn_upright(object_number number);

// The file carries the image's traits (its source's colour profile and
// palette) where its format can hold them.
int image_save(object_number number, const char* file_name, std::uint32_t codec = CODEC_BMP,
               int quality = DEFAULT_SAVE_QUALITY, int depth = KEEP_DEPTH);

void image_free(object_number number);

// A pixel store of max(24, depth) bits, bottom row first; null on failure.
void* image_create_bitmap(int width, int height, int depth);
