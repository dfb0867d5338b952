// The PNG decoder and encoder over libpng 1.6, registered under CODEC_PNG.
#pragma once

#include <cstdint>

#include "image/codec_registry.h"

int use_png_decoder();
int use_png_encoder();

int png_codec_check(ImageDecodeContext* context);
int png_codec_decode(ImageDecodeContext* context, std::uint8_t* pixels, std::int64_t pitch,
                     int flags);
void png_codec_release(ImageDecodeContext* context);

// Writes truecolour (colour type 2 from 24-bit pixels, 6 from 32-bit) or,
// for depths 1 to 8, a palette picture through the colour reduction, with
// the colour profile and palette of `traits` when given.
// 1 on success; 0 on failure, any earlier file of that name left as it was.
// PNG has no quality: `quality` is there for the encoder's shape.
int png_codec_write(const char* file_name, const std::uint8_t* pixels, int width, int height,
                    std::int64_t pitch, int flags, int quality, int depth, int colour_type,
                    const PictureTraits* traits = nullptr);
int png_codec_encode(const char* file_name, const std::uint8_t* pixels, int width, int height,
                     std::int64_t pitch, int flags, int quality, int depth,
                     const PictureTraits* traits = nullptr);
int png_codec_encode_alpha(const char* file_name, const std::uint8_t* pixels, int width, int height,
                           std::int64_t pitch, int flags, int quality, int depth,
                           const PictureTraits* traits = nullptr);
