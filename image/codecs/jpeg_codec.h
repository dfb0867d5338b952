// The JPEG decoder and encoder over libjpeg(-turbo), registered under CODEC_JPEG.
#pragma once

#include <cstdint>

#include "image/codec_registry.h"

// Register the records once; later calls do nothing. Both return 1.
int use_jpeg_decoder();
int use_jpeg_encoder();

int jpeg_codec_check(ImageDecodeContext* context);
int jpeg_codec_decode(ImageDecodeContext* context, std::uint8_t* pixels, std::int64_t pitch,
                      int flags);
void jpeg_codec_release(ImageDecodeContext* context);

// Writes 24-bit pixels at library quality 10 x clamp(quality, 0, 10), with
// the colour profile of `traits` when given; 1 on success, 0 on failure,
// any earlier file of that name left as it was. `depth` is not used.
int jpeg_codec_encode(const char* file_name, const std::uint8_t* pixels, int width, int height,
                      std::int64_t pitch, int flags, int quality, int depth,
                      const PictureTraits* traits = nullptr);

// The library quality for the program's quality scale.
int jpeg_library_quality(int quality);

// How much a picture of width x height may be shrunk while it is decoded
// (the denominator of 1/1, 1/2, 1/4 or 1/8) so that it still covers
// `wanted` in both directions; sides are rounded up, as the library does.
int jpeg_scale_denominator(int width, int height, DecodeSize wanted);
