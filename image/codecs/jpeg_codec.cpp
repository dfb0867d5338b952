// JPEG codec. Library errors leave through the error manager's long jump
// back into the codec; library messages are silenced. Every setjmp sits in a
// small function that holds no object with a destructor.
//
// Colour: three-component and greyscale pictures are decoded straight into
// the store in blue-green-red order (the library's extended colour space
// BGR, the same conversion as RGB with the bytes in our order), and encoded
// from it the same way, several rows per call. Four-component pictures
// (CMYK, and YCCK which the library turns into CMYK) store their inks
// inverted, as Photoshop writes them, so R = C K / 255. That holds whether
// or not the file carries Photoshop's Adobe marker: files without one read
// as djpeg and ImageMagick read them (the plain ink rule would show most of
// them almost black).
//
// What else the file says: the EXIF orientation (image/exif_orientation.h)
// and the colour profile, assembled from its APP2 "ICC_PROFILE" markers,
// become the picture's traits; the encoder writes a profile it is given as
// such markers again, split as the format requires.
//
// Size: a caller that will scale the picture down may ask for less
// (DecodeRequest); the picture is then decoded by the library's DCT scaling
// at 1/2, 1/4 or 1/8, the smallest that still covers what was asked. The
// scaled DCT averages each block into fewer pixels, so the result is as
// smooth as a box filter over those pixels, at a fraction of the work.
//
// Cost: the decode budget (decode_budget.h) covers the pixel store and,
// through the library's memory limit, its coefficient buffers (a progressive
// picture keeps every block's coefficients until the last scan); once the
// data runs out, the whole cost is held to what the file's bytes pay for.
// The scans are limited apart: each one is a pass over its coefficients in
// all of its blocks, and a few bytes make a scan (an end-of-band run skips
// thousands of blocks, and arithmetic coding takes a scan without data as
// zeros). Encoders pass over each coefficient about three times in all
// (libjpeg's progressive scripts: 2.3 to 3.0 times); a file may pass over
// them kMostCoefficientPasses times, in at most kMostScans scans.
#include "image/codecs/jpeg_codec.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/codecs/decode_budget.h"
#include "image/exif_orientation.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace {

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

// The decompressor and the progress monitor that the library calls during
// it, with what the decode may cost.
struct JpegReader {
  jpeg_decompress_struct decompressor;
  jpeg_progress_mgr progress;
  int scans_counted;
  std::uint64_t coefficient_work;       // coefficients of every block of the scans so far
  std::uint64_t most_coefficient_work;  // what the scans may add up to
  bool refuse_short_data;  // the store and coefficient buffers exceed what a cut file pays for
};

struct JpegDecoderState {
  JpegReader* reader;
  JpegErrors* errors;
  JSAMPARRAY row_buffer;
  std::int32_t row_bytes;
  std::int32_t components;
};
static_assert(sizeof(JpegDecoderState) <= sizeof(ImageDecodeContext::decoder_private));

JpegDecoderState* state_of(ImageDecodeContext* context) {
  return reinterpret_cast<JpegDecoderState*>(context->decoder_private);
}

[[noreturn]] void jump_back(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void say_nothing(j_common_ptr) {}

void install_errors(JpegErrors* errors) {
  jpeg_std_error(&errors->manager);
  errors->manager.error_exit = jump_back;
  errors->manager.output_message = say_nothing;
  errors->manager.trace_level = -1;
}

std::uint8_t ink_to_light(int ink, int black) {
  return static_cast<std::uint8_t>(ink * black / 255);
}

// Encoders write a few scans (ten for the usual progressive script); a
// hostile file writes thousands of empty ones.
constexpr int kMostScans = 64;
constexpr std::uint64_t kMostCoefficientPasses = 6;

JpegReader* reader_of(j_common_ptr info) {
  return reinterpret_cast<JpegReader*>(info);  // the decompressor comes first
}

// Called before each step of the input (an MCU row of a scan): each new
// scan adds its coefficients in all of its blocks.
void refuse_endless_scans(j_common_ptr info) {
  JpegReader* reader = reader_of(info);
  const jpeg_decompress_struct* d = &reader->decompressor;
  if (d->input_scan_number > kMostScans) (*info->err->error_exit)(info);
  if (reader->most_coefficient_work == 0 || d->input_scan_number <= reader->scans_counted) return;
  reader->scans_counted = d->input_scan_number;
  const std::uint64_t blocks = static_cast<std::uint64_t>(d->MCUs_per_row) * d->MCU_rows_in_scan *
                               static_cast<std::uint64_t>(d->blocks_in_MCU);
  const int coefficients = d->progressive_mode ? d->Se - d->Ss + 1 : DCTSIZE2;
  reader->coefficient_work +=
      blocks * static_cast<std::uint64_t>(coefficients > 0 ? coefficients : 1);
  if (reader->coefficient_work > reader->most_coefficient_work) (*info->err->error_exit)(info);
}

// Warnings are silent; the one that says the data ran out (the file ended,
// or a scan's data stopped short of its blocks) refuses a picture that the
// bytes present do not pay for.
void on_message(j_common_ptr info, int level) {
  if (level >= 0) return;
  info->err->num_warnings++;
  const int code = info->err->msg_code;
  if (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER) return;
  if (reader_of(info)->refuse_short_data) (*info->err->error_exit)(info);
}

// The blocks of every component, and their coefficients when the library
// keeps them all until the last scan.
std::uint64_t all_blocks(const jpeg_decompress_struct* d) {
  std::uint64_t blocks = 0;
  for (int c = 0; c < d->num_components; ++c)
    blocks += static_cast<std::uint64_t>(d->comp_info[c].width_in_blocks) *
              d->comp_info[c].height_in_blocks;
  return blocks;
}

// Holds the library's picture-sized buffers to what the budget leaves beside
// the pixel store; false when the store alone exceeds the budget.
bool limit_cost(JpegReader* reader, std::uint64_t file_size) {
  jpeg_decompress_struct* d = &reader->decompressor;
  const std::uint64_t store =
      decode_store_bytes(static_cast<int>(d->output_width), static_cast<int>(d->output_height), 24);
  const std::uint64_t allowed = decode_memory_allowed(file_size);
  if (store >= allowed) return false;
  const std::uint64_t left = allowed - store;
  d->mem->max_memory_to_use = left > LONG_MAX ? LONG_MAX : static_cast<long>(left);
  const std::uint64_t blocks = all_blocks(d);
  const std::uint64_t cost = store + (jpeg_has_multiple_scans(d) ? blocks * sizeof(JBLOCK) : 0);
  reader->refuse_short_data = cost > decode_short_cost_allowed(file_size);
  reader->most_coefficient_work = kMostCoefficientPasses * DCTSIZE2 * blocks;
  return true;
}

// Four-component rows (inks) into blue, green, red.
void convert_inks_row(const JSAMPLE* in, std::uint8_t* out, int width) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    out[0] = ink_to_light(in[2], in[3]);
    out[1] = ink_to_light(in[1], in[3]);
    out[2] = ink_to_light(in[0], in[3]);
  }
}

// The orientation and the colour profile, once the header is read.
void keep_traits(ImageDecodeContext* context, jpeg_decompress_struct* d) {
  const int orientation = exif_orientation(context->data, context->size);
  if (orientation != ORIENTATION_UPRIGHT) {
    PictureTraits* traits = decode_traits(context);
    if (traits) traits->orientation = orientation;
  }
  JOCTET* profile = nullptr;
  unsigned int size = 0;
  if (jpeg_read_icc_profile(d, &profile, &size))
    picture_traits_keep_profile(decode_traits(context), profile, size);
  std::free(profile);  // the library's own allocation
}

// Reads the header and starts decompression; false on any library error or
// a picture this program cannot hold.
bool start_decoding(ImageDecodeContext* context, JpegDecoderState* state) {
  jpeg_decompress_struct* d = &state->reader->decompressor;
  if (setjmp(state->errors->jump)) return false;
  jpeg_CreateDecompress(d, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
  state->errors->manager.trace_level = 0;
  state->errors->manager.emit_message = on_message;
  state->reader->progress.progress_monitor = refuse_endless_scans;
  d->progress = &state->reader->progress;
  jpeg_mem_src(d, const_cast<unsigned char*>(context->data), context->size);
  jpeg_save_markers(d, JPEG_APP0 + 2, 0xFFFF);  // colour profile pieces
  if (jpeg_read_header(d, TRUE) != JPEG_HEADER_OK) return false;
  keep_traits(context, d);
  d->dct_method = JDCT_ISLOW;
  const bool inks = d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK;
  d->out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;
  if (context->request.wanted) {
    const int orientation = context->traits ? context->traits->orientation : ORIENTATION_UPRIGHT;
    const DecodeSize wanted =
        context->request.wanted(context->request.context, static_cast<int>(d->image_width),
                                static_cast<int>(d->image_height), orientation);
    d->scale_num = 1;
    d->scale_denom = static_cast<unsigned int>(jpeg_scale_denominator(
        static_cast<int>(d->image_width), static_cast<int>(d->image_height), wanted));
  }
  jpeg_calc_output_dimensions(d);
  if (!size_fits_model(d->output_width, d->output_height)) return false;
  if (d->output_components != 3 && d->output_components != 4) return false;
  if (!limit_cost(state->reader, context->size)) return false;
  state->components = d->output_components;
  state->row_bytes =
      static_cast<std::int32_t>((d->output_width * d->output_components + 3) / 4 * 4);
  state->row_buffer = (*d->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(d), JPOOL_IMAGE,
                                              static_cast<JDIMENSION>(state->row_bytes), 1);
  jpeg_start_decompress(d);
  return true;
}

constexpr int kRowsPerCall = 16;

bool read_rows(JpegDecoderState* state, std::uint8_t* pixels, std::int64_t pitch, int flags) {
  jpeg_decompress_struct* d = &state->reader->decompressor;
  if (setjmp(state->errors->jump)) return false;
  const int height = static_cast<int>(d->output_height);
  const bool bottom_up = (flags & ROWS_BOTTOM_UP) != 0;
  auto target = [&](int i) { return pixels + pitch * (bottom_up ? height - 1 - i : i); };
  if (state->components == 4) {
    for (int i = 0; i < height; ++i) {
      if (jpeg_read_scanlines(d, state->row_buffer, 1) != 1) return false;
      convert_inks_row(state->row_buffer[0], target(i), static_cast<int>(d->output_width));
    }
  } else {
    JSAMPROW rows[kRowsPerCall];
    for (int i = 0; i < height;) {
      const int count = height - i < kRowsPerCall ? height - i : kRowsPerCall;
      for (int k = 0; k < count; ++k) rows[k] = target(i + k);
      const JDIMENSION got = jpeg_read_scanlines(d, rows, static_cast<JDIMENSION>(count));
      if (got == 0) return false;
      i += static_cast<int>(got);
    }
  }
  jpeg_finish_decompress(d);
  return true;
}

constexpr std::size_t kOutputBufferSize = 16384;

// The library's destination over an output file; a failed write is a
// library error like any other.
struct JpegFileDestination {
  jpeg_destination_mgr manager;
  OutputFile* file;
  JOCTET buffer[kOutputBufferSize];
};

JpegFileDestination* destination_of(j_compress_ptr c) {
  return reinterpret_cast<JpegFileDestination*>(c->dest);
}

void start_output(j_compress_ptr c) {
  c->dest->next_output_byte = destination_of(c)->buffer;
  c->dest->free_in_buffer = kOutputBufferSize;
}

boolean flush_full_buffer(j_compress_ptr c) {
  JpegFileDestination* d = destination_of(c);
  if (!d->file->write(d->buffer, kOutputBufferSize)) ERREXIT(c, JERR_FILE_WRITE);
  start_output(c);
  return TRUE;
}

void flush_rest(j_compress_ptr c) {
  JpegFileDestination* d = destination_of(c);
  const std::size_t used = kOutputBufferSize - c->dest->free_in_buffer;
  if (used > 0 && !d->file->write(d->buffer, used)) ERREXIT(c, JERR_FILE_WRITE);
}

struct JpegEncoding {
  jpeg_compress_struct compressor;
  JpegErrors errors;
  JpegFileDestination destination;
};

bool write_rows(JpegEncoding* e, const std::uint8_t* pixels, int width, int height,
                std::int64_t pitch, int flags, int quality, const PictureTraits* traits) {
  if (setjmp(e->errors.jump)) return false;
  jpeg_CreateCompress(&e->compressor, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
  e->destination.manager =
      jpeg_destination_mgr{nullptr, 0, start_output, flush_full_buffer, flush_rest};
  e->compressor.dest = &e->destination.manager;
  e->compressor.image_width = static_cast<JDIMENSION>(width);
  e->compressor.image_height = static_cast<JDIMENSION>(height);
  e->compressor.input_components = 3;
  e->compressor.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&e->compressor);
  jpeg_set_quality(&e->compressor, jpeg_library_quality(quality), FALSE);
  jpeg_start_compress(&e->compressor, TRUE);
  if (traits && traits->profile)
    jpeg_write_icc_profile(&e->compressor, traits->profile, traits->profile_size);
  const bool bottom_up = (flags & ROWS_BOTTOM_UP) != 0;
  JSAMPROW rows[kRowsPerCall];
  for (int i = 0; i < height;) {
    const int count = height - i < kRowsPerCall ? height - i : kRowsPerCall;
    for (int k = 0; k < count; ++k)
      rows[k] = const_cast<JSAMPLE*>(pixels + pitch * (bottom_up ? height - 1 - (i + k) : i + k));
    const JDIMENSION written =
        jpeg_write_scanlines(&e->compressor, rows, static_cast<JDIMENSION>(count));
    if (written == 0) return false;
    i += static_cast<int>(written);
  }
  jpeg_finish_compress(&e->compressor);
  return true;
}

const ImageDecoder jpeg_decoder{jpeg_codec_check, jpeg_codec_decode, jpeg_codec_release,
                                CODEC_JPEG};
const ImageEncoder jpeg_encoder{CODEC_JPEG, jpeg_codec_encode, nullptr};

}  // namespace

int jpeg_scale_denominator(int width, int height, DecodeSize wanted) {
  int denominator = 1;
  for (int larger = 2; larger <= 8; larger *= 2) {
    const int columns = (width + larger - 1) / larger, rows = (height + larger - 1) / larger;
    if (columns < wanted.width || rows < wanted.height) break;
    denominator = larger;
  }
  return denominator;
}

int jpeg_library_quality(int quality) {
  if (quality < 0) quality = 0;
  if (quality > 10) quality = 10;
  return 10 * quality;
}

int use_jpeg_decoder() {
  return codec_use_decoder(&jpeg_decoder);
}

int use_jpeg_encoder() {
  return codec_use_encoder(&jpeg_encoder);
}

int jpeg_codec_check(ImageDecodeContext* context) {
  if (context->size < 2 || context->data[0] != 0xFF || context->data[1] != 0xD8) return 0;
  JpegDecoderState* state = state_of(context);
  state->reader = static_cast<JpegReader*>(std::calloc(1, sizeof(JpegReader)));
  state->errors = static_cast<JpegErrors*>(std::calloc(1, sizeof(JpegErrors)));
  if (!state->reader || !state->errors) {
    jpeg_codec_release(context);
    return 0;
  }
  install_errors(state->errors);
  state->reader->decompressor.err = &state->errors->manager;
  if (!start_decoding(context, state)) {
    jpeg_codec_release(context);
    return 0;
  }
  context->width = static_cast<std::int32_t>(state->reader->decompressor.output_width);
  context->height = static_cast<std::int32_t>(state->reader->decompressor.output_height);
  context->depth = 24;
  context->source_depth = state->components * 8;
  return 1;
}

int jpeg_codec_decode(ImageDecodeContext* context, std::uint8_t* pixels, std::int64_t pitch,
                      int flags) {
  JpegDecoderState* state = state_of(context);
  if (!state->reader || !state->errors) return 0;
  return read_rows(state, pixels, pitch, flags) ? 1 : 0;
}

void jpeg_codec_release(ImageDecodeContext* context) {
  JpegDecoderState* state = state_of(context);
  if (state->reader) {
    jpeg_destroy_decompress(&state->reader->decompressor);
    std::free(state->reader);
  }
  std::free(state->errors);
  std::memset(state, 0, sizeof *state);
}

int jpeg_codec_encode(const char* file_name, const std::uint8_t* pixels, int width, int height,
                      std::int64_t pitch, int flags, int quality, int,
                      const PictureTraits* traits) {
  if (!file_name || !*file_name || !pixels || width <= 0 || height <= 0) return 0;
  OutputFile file;
  if (!file.create(file_name)) return 0;
  auto* e = static_cast<JpegEncoding*>(std::calloc(1, sizeof(JpegEncoding)));
  if (!e) return 0;
  install_errors(&e->errors);
  e->compressor.err = &e->errors.manager;
  e->destination.file = &file;
  const bool ok = write_rows(e, pixels, width, height, pitch, flags, quality, traits);
  jpeg_destroy_compress(&e->compressor);
  std::free(e);
  return ok && file.commit() ? 1 : 0;
}
