// The codec tables: decoders tried in registration order on data in memory,
// encoders chosen by codec identifier. Each decode has a context of its own,
// so any number of threads may decode at once.
#pragma once

#include <cstdint>

#include "image/picture_traits.h"
#include "image/pixel_store.h"
#include "image/spare_stores.h"

struct ImageDecodeContext;

// A caller that scales the picture down anyway can ask for less: once the
// picture's size as stored and its EXIF orientation are known, `wanted`
// says how many columns and rows (as stored) the decode must deliver at
// least. A decoder that can decode smaller (JPEG, by its DCT: 1/2, 1/4,
// 1/8) delivers the smallest such size; the others, and a null `wanted`,
// deliver the whole picture. `context` is the caller's, passed back.
struct DecodeSize {
  int width;
  int height;
};
struct DecodeRequest {
  DecodeSize (*wanted)(void* context, int width, int height, int orientation);
  void* context;
};

struct ImageDecoder {
  // Non-zero when the data is this codec's; fills width, height, depth (24
  // or 32) and source_depth of the context.
  int (*check)(ImageDecodeContext* context);
  // Writes `height` rows of `width` pixels of `depth` bits; non-zero on success.
  int (*decode)(ImageDecodeContext* context, std::uint8_t* pixels, std::int64_t pitch, int flags);
  // Frees what check and decode set up.
  void (*release)(ImageDecodeContext* context);
  std::uint32_t codec_id;
};

// `traits` (or null) is what the source carried that the file should carry
// too: its colour profile, its palette.
using EncodeOperation = int (*)(const char* file_name, const std::uint8_t* pixels, int width,
                                int height, std::int64_t pitch, int flags, int quality, int depth,
                                const PictureTraits* traits);

struct ImageEncoder {
  std::uint32_t codec_id;
  EncodeOperation encode;        // 24-bit pixels
  EncodeOperation encode_alpha;  // 32-bit pixels; may be null
};

struct ImageDecodeContext {
  const ImageDecoder* decoder;
  const std::uint8_t* data;
  std::uint32_t size;
  std::int32_t from_memory;
  std::int32_t width;
  std::int32_t height;
  std::int32_t depth;
  alignas(8) std::uint8_t decoder_private[64];  // zeroed before each check
  std::int32_t source_depth;
  PictureTraits* traits;  // what the check found besides the pixels; see decode_traits
  DecodeRequest request;  // how small the picture may be decoded
};

// The context's traits record, made on a decoder's first need; null when
// memory runs out (the decode then goes on without). The decoder chain
// hands it to the decoded picture, or frees it when the decode fails.
PictureTraits* decode_traits(ImageDecodeContext* context);

constexpr int CODEC_TABLE_SIZE = 30;

// Start-up and shutdown of the decoder table.
void decoder_init();
void decoder_end();
// Append to the tables; false when a table is full.
bool codec_register_decoder(const ImageDecoder* decoder);
bool codec_register_encoder(const ImageEncoder* encoder);
// Registers a record unless the table already holds it (each codec's use_
// operation registers once per run of the runtime). Both return 1.
int codec_use_decoder(const ImageDecoder* decoder);
int codec_use_encoder(const ImageEncoder* encoder);

struct DecodedPicture {
  PixelStore store;
  std::uint32_t codec_id;
  int source_depth;
  PictureTraits* traits;  // null when the file said nothing more; the caller frees it
};

// Runs the decoder chain over the data; the new pixel store, or a null store.
// A store of `spares` of exactly the decoded shape is decoded into instead
// of a new one (image/spare_stores.h).
DecodedPicture decode_chain(const std::uint8_t* data, std::uint32_t size,
                            const DecodeRequest& request = {}, SpareStores* spares = nullptr);

// Writes pixels through the BMP writer or the first encoder of the codec.
int encode_dispatch(const char* file_name, const std::uint8_t* bits, std::uint32_t codec, int width,
                    int height, std::int64_t pitch, int store_depth, int flags, int quality,
                    int depth, const PictureTraits* traits = nullptr);
