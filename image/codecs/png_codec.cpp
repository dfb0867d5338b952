// PNG codec. Library errors leave through libpng's long jump back into the
// codec (every setjmp sits in a small function without destructible
// objects); errors and warnings print nothing.
//
// Transformations: grey, palette and grey-alpha pictures are expanded to
// 8-bit RGB (or RGBA), a transparency chunk becomes an alpha channel,
// 16-bit channels are stripped to 8 and the order is blue-green-red. libpng
// 1.6 refuses transformations requested after the row set-up and a second
// update of the info, so all of them are requested in the check and the
// info is updated once; the result is the same picture.
//
// Reading is from memory and never past the data's end: a truncated file
// ends the decode as a library error.
//
// Cost: the pixel store and the inflated stream are held to the decode
// budget (decode_budget.h); a truncated file fails, so the rows that are
// inflated are the file's own.
// Ancillary chunks other than transparency and the colour profile are
// skipped unread: texts are compressed and would be inflated and kept, a
// thousandfold, for nothing this program shows. The profile is kept for the
// copy, up to PICTURE_PROFILE_MOST bytes inflated; a larger or malformed one
// is dropped and the picture loads without it. Once the last row is in, the
// library would inflate whatever the image stream still holds (to check its
// end); the reader lets it read a little further, enough for a proper
// stream's end and check sums, and then stops the decode as complete.
//
// What the copy keeps: a palette picture's palette and the colour profile
// travel as the picture's traits to the encoder, which writes them again.
// Grey pictures with alpha or a transparency chunk load as RGBA (source
// depth 32, like palette and RGB pictures with transparency), so that their
// copies keep the alpha instead of going through a palette without it.
#include "image/codecs/png_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>

#include "image/codecs/decode_budget.h"
#include "image/colour_reduce.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"

namespace {

struct PngDecoderState {
  png_structp read;
  png_infop info;
  const std::uint8_t* cursor;
  const std::uint8_t* end;
  std::int32_t colour_type;
  std::int32_t bit_depth;
  std::int32_t passes;
  std::int32_t read_after_rows;  // bytes the library read after the last row
  std::int32_t stopped_after_rows;
};
static_assert(sizeof(PngDecoderState) <= sizeof(ImageDecodeContext::decoder_private));

PngDecoderState* state_of(ImageDecodeContext* context) {
  return reinterpret_cast<PngDecoderState*>(context->decoder_private);
}

void ignore_warning(png_structp, png_const_charp) {}

// Errors end the decode or encode through the long jump, without a message.
[[noreturn]] void jump_back(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

// The end of a proper image stream (the deflate end, its check sum and the
// chunk's CRC) lies within a few bytes of the last row; this is ample.
constexpr png_size_t kReadAfterRows = 4096;

bool rows_complete(png_structp png, const PngDecoderState* state) {
  const png_uint_32 height = png_get_image_height(png, state->info);  // 0 until the header is in
  return height > 0 &&
         (png_get_current_pass_number(png) >= 7 || png_get_current_row_number(png) >= height);
}

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
  auto* state = static_cast<PngDecoderState*>(png_get_io_ptr(png));
  if (state->info && rows_complete(png, state)) {
    if (length > kReadAfterRows - static_cast<png_size_t>(state->read_after_rows)) {
      state->stopped_after_rows = 1;
      png_error(png, "image stream goes on after the last row");
    }
    state->read_after_rows += static_cast<std::int32_t>(length);
  }
  if (length > static_cast<png_size_t>(state->end - state->cursor))
    png_error(png, "unexpected end of data");
  std::memcpy(out, state->cursor, length);
  state->cursor += length;
}

// The bytes the image stream inflates to: the rows as stored, each with its
// filter byte, pass by pass when the picture is interlaced.
std::uint64_t inflated_stream_bytes(const PngDecoderState* s, png_uint_32 width,
                                    png_uint_32 height) {
  const std::uint64_t bits_per_pixel =
      static_cast<std::uint64_t>(png_get_bit_depth(s->read, s->info)) *
      png_get_channels(s->read, s->info);
  auto pass_bytes = [&](std::uint64_t columns, std::uint64_t rows) {
    return columns == 0 ? 0 : rows * (1 + (columns * bits_per_pixel + 7) / 8);
  };
  if (png_get_interlace_type(s->read, s->info) != PNG_INTERLACE_ADAM7)
    return pass_bytes(width, height);
  std::uint64_t total = 0;
  for (int pass = 0; pass < 7; ++pass)
    total += pass_bytes(PNG_PASS_COLS(width, pass), PNG_PASS_ROWS(height, pass));
  return total;
}

// The colour type and bit depth that a transparency chunk turns the
// picture into (palette and RGB gain alpha, grey becomes grey-alpha of at
// least 8 bits).
void apply_transparency(int* colour_type, int* bit_depth) {
  if (*colour_type == PNG_COLOR_TYPE_PALETTE || *colour_type == PNG_COLOR_TYPE_RGB) {
    *colour_type = PNG_COLOR_TYPE_RGBA;
    if (*bit_depth < 8) *bit_depth = 8;
  } else if (*colour_type == PNG_COLOR_TYPE_GRAY) {
    *colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
    if (*bit_depth < 8) *bit_depth = 8;
  }
}

// The profile and, for a palette picture without transparency, the palette.
void keep_traits(ImageDecodeContext* context, PngDecoderState* s) {
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profile_size = 0;
  if (png_get_iCCP(s->read, s->info, &name, &compression, &profile, &profile_size))
    picture_traits_keep_profile(decode_traits(context), profile, profile_size);
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_color_type(s->read, s->info) != PNG_COLOR_TYPE_PALETTE ||
      png_get_valid(s->read, s->info, PNG_INFO_tRNS) ||
      !png_get_PLTE(s->read, s->info, &palette, &entries) || entries < 1)
    return;
  PictureTraits* traits = decode_traits(context);
  if (!traits) return;
  traits->palette_size = entries > 256 ? 256 : entries;
  for (int i = 0; i < traits->palette_size; ++i) {
    const std::uint8_t entry[4] = {palette[i].blue, palette[i].green, palette[i].red, 255};
    std::memcpy(traits->palette[i], entry, 4);
  }
}

bool read_header(ImageDecodeContext* context, PngDecoderState* s) {
  if (setjmp(png_jmpbuf(s->read))) return false;
  png_set_error_fn(s->read, png_get_error_ptr(s->read), jump_back, ignore_warning);
  png_set_read_fn(s->read, s, read_from_memory);
  png_set_keep_unknown_chunks(s->read, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  static const png_byte profile_chunk[] = "iCCP";
  png_set_keep_unknown_chunks(s->read, PNG_HANDLE_CHUNK_AS_DEFAULT, profile_chunk, 1);
  png_set_chunk_malloc_max(s->read, PICTURE_PROFILE_MOST);
  s->info = png_create_info_struct(s->read);
  if (!s->info) return false;
  png_read_info(s->read, s->info);
  png_uint_32 width = 0, height = 0;
  int bit_depth = 0, colour_type = 0;
  png_get_IHDR(s->read, s->info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr,
               nullptr);
  if (!size_fits_model(width, height)) return false;
  const std::uint64_t stream_bytes = inflated_stream_bytes(s, width, height);
  keep_traits(context, s);
  if (png_get_valid(s->read, s->info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(s->read);
    apply_transparency(&colour_type, &bit_depth);
  }
  if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_PALETTE ||
      colour_type == PNG_COLOR_TYPE_GRAY_ALPHA) {
    context->source_depth = colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 32 : bit_depth;
    if (bit_depth < 8) png_set_expand(s->read);
    if (colour_type == PNG_COLOR_TYPE_PALETTE)
      png_set_palette_to_rgb(s->read);
    else
      png_set_gray_to_rgb(s->read);
  } else {
    context->source_depth = colour_type == PNG_COLOR_TYPE_RGB ? 24 : 32;
  }
  if (bit_depth == 16) png_set_strip_16(s->read);
  png_set_bgr(s->read);
  s->passes = png_set_interlace_handling(s->read);
  png_read_update_info(s->read, s->info);
  png_get_IHDR(s->read, s->info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr,
               nullptr);
  const int channels = png_get_channels(s->read, s->info);
  if (bit_depth != 8 || (channels != 3 && channels != 4)) return false;
  context->width = static_cast<std::int32_t>(width);
  context->height = static_cast<std::int32_t>(height);
  context->depth = colour_type == PNG_COLOR_TYPE_RGB ? 24 : 32;
  if (channels * 8 != context->depth) return false;
  // The decode fills the store and inflates and unfilters every row.
  if (decode_store_bytes(context->width, context->height, context->depth) >
          decode_memory_allowed(context->size) ||
      stream_bytes > decode_stream_allowed(context->size))
    return false;
  s->colour_type = colour_type;
  s->bit_depth = bit_depth;
  return true;
}

bool read_rows(PngDecoderState* s, int height, std::uint8_t* pixels, std::int64_t pitch,
               int flags) {
  if (setjmp(png_jmpbuf(s->read))) return s->stopped_after_rows != 0;
  const bool bottom_up = (flags & ROWS_BOTTOM_UP) != 0;
  for (int pass = 0; pass < s->passes; ++pass)
    for (int i = 0; i < height; ++i) {
      png_bytep row = pixels + pitch * (bottom_up ? height - 1 - i : i);
      png_read_rows(s->read, &row, nullptr, 1);
    }
  return true;
}

struct PngEncoding {
  OutputFile* file;
  png_structp write;
  png_infop info;
  ColourReduction* reduction;
};

// A failed write is a library error like any other.
void write_to_file(png_structp png, png_bytep data, png_size_t length) {
  if (!static_cast<OutputFile*>(png_get_io_ptr(png))->write(data, length))
    png_error(png, "write failed");
}

void flush_nothing(png_structp) {}

// The source's colour profile, after the header that it must match.
void carry_profile(PngEncoding* e, const PictureTraits* traits) {
  if (traits && traits->profile)
    png_set_iCCP(e->write, e->info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, traits->profile,
                 traits->profile_size);
}

bool write_picture(PngEncoding* e, const std::uint8_t* pixels, int width, int height,
                   std::int64_t pitch, int flags, int depth, int colour_type,
                   const PictureTraits* traits) {
  if (setjmp(png_jmpbuf(e->write))) return false;
  png_set_write_fn(e->write, e->file, write_to_file, flush_nothing);
  e->info = png_create_info_struct(e->write);
  if (!e->info) return false;
  png_set_filter(e->write, 0, PNG_FILTER_NONE);
  png_set_compression_level(e->write, 9);
  const bool bottom_up = (flags & ROWS_BOTTOM_UP) != 0;
  const int store_depth = colour_type == PNG_COLOR_TYPE_RGB ? 24 : 32;
  if (depth >= 1 && depth <= 8) {
    e->reduction = colour_reduce(pixels, width, height, store_depth, pitch, depth, traits);
    if (!e->reduction) return false;
    png_set_IHDR(e->write, e->info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    carry_profile(e, traits);
    png_color palette[256];
    const int entries = e->reduction->palette_size;
    for (int i = 0; i < entries; ++i)
      palette[i] = png_color{e->reduction->palette[i][2], e->reduction->palette[i][1],
                             e->reduction->palette[i][0]};
    png_set_PLTE(e->write, e->info, palette, entries);
    png_write_info(e->write, e->info);
    for (int i = 0; i < height; ++i) {
      const std::uint8_t* row = colour_reduce_row(e->reduction, bottom_up ? height - 1 - i : i);
      png_write_row(e->write, row);
    }
  } else {
    png_set_IHDR(e->write, e->info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    carry_profile(e, traits);
    png_set_bgr(e->write);
    png_write_info(e->write, e->info);
    for (int i = 0; i < height; ++i)
      png_write_row(e->write, pixels + pitch * (bottom_up ? height - 1 - i : i));
  }
  png_write_end(e->write, e->info);
  return true;
}

const ImageDecoder png_decoder{png_codec_check, png_codec_decode, png_codec_release, CODEC_PNG};
const ImageEncoder png_encoder{CODEC_PNG, png_codec_encode, png_codec_encode_alpha};

}  // namespace

int use_png_decoder() {
  return codec_use_decoder(&png_decoder);
}

int use_png_encoder() {
  return codec_use_encoder(&png_encoder);
}

int png_codec_check(ImageDecodeContext* context) {
  if (context->size < 8 || png_sig_cmp(context->data, 0, 8) != 0) return 0;
  PngDecoderState* s = state_of(context);
  s->cursor = context->data;
  s->end = context->data + context->size;
  s->read = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!s->read) return 0;
  if (!read_header(context, s)) {
    png_codec_release(context);
    return 0;
  }
  return 1;
}

int png_codec_decode(ImageDecodeContext* context, std::uint8_t* pixels, std::int64_t pitch,
                     int flags) {
  PngDecoderState* s = state_of(context);
  if (!s->read || !s->info) return 0;
  return read_rows(s, context->height, pixels, pitch, flags) ? 1 : 0;
}

void png_codec_release(ImageDecodeContext* context) {
  PngDecoderState* s = state_of(context);
  if (s->read) png_destroy_read_struct(&s->read, s->info ? &s->info : nullptr, nullptr);
  std::memset(s, 0, sizeof *s);
}

int png_codec_write(const char* file_name, const std::uint8_t* pixels, int width, int height,
                    std::int64_t pitch, int flags, int /*quality*/, int depth, int colour_type,
                    const PictureTraits* traits) {
  if (!file_name || !*file_name || !pixels || width <= 0 || height <= 0) return 0;
  OutputFile file;
  if (!file.create(file_name)) return 0;
  PngEncoding e{};
  e.file = &file;
  e.write = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jump_back, ignore_warning);
  const bool ok =
      e.write && write_picture(&e, pixels, width, height, pitch, flags, depth, colour_type, traits);
  if (e.write) png_destroy_write_struct(&e.write, e.info ? &e.info : nullptr);
  colour_reduce_free(e.reduction);
  return ok && file.commit() ? 1 : 0;
}

int png_codec_encode(const char* file_name, const std::uint8_t* pixels, int width, int height,
                     std::int64_t pitch, int flags, int quality, int depth,
                     const PictureTraits* traits) {
  return png_codec_write(file_name, pixels, width, height, pitch, flags, quality, depth,
                         PNG_COLOR_TYPE_RGB, traits);
}

int png_codec_encode_alpha(const char* file_name, const std::uint8_t* pixels, int width, int height,
                           std::int64_t pitch, int flags, int quality, int depth,
                           const PictureTraits* traits) {
  return png_codec_write(file_name, pixels, width, height, pitch, flags, quality, depth,
                         PNG_COLOR_TYPE_RGBA, traits);
}
