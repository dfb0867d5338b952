// Fuzz target: any bytes through the readers a picture file meets (the BMP
// header checks, the icon directory checks and the decoder chain with the
// JPEG and PNG decoders), over memory.
#include <cstddef>
#include <cstdint>

#include "image/bmp_codec.h"
#include "image/codec_registry.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/icon_reader.h"
#include "image/pixel_layout.h"
#include "image/pixel_store.h"
#include "runtime/lifecycle.h"

namespace {

// The fuzzer's memory limit stands in for a real machine's: a header that
// asks for more pixels than this is checked, but its picture not decoded.
constexpr std::int64_t kLargestDecodedPixels = 16 * 1024 * 1024;

bool small_enough(const ImageDecodeContext* context) {
  return static_cast<std::int64_t>(context->width) * context->height <= kLargestDecodedPixels;
}

int jpeg_check_limited(ImageDecodeContext* context) {
  if (!jpeg_codec_check(context)) return 0;
  if (small_enough(context)) return 1;
  jpeg_codec_release(context);
  return 0;
}

int png_check_limited(ImageDecodeContext* context) {
  if (!png_codec_check(context)) return 0;
  if (small_enough(context)) return 1;
  png_codec_release(context);
  return 0;
}

const ImageDecoder jpeg_limited{jpeg_check_limited, jpeg_codec_decode, jpeg_codec_release,
                                CODEC_JPEG};
const ImageDecoder png_limited{png_check_limited, png_codec_decode, png_codec_release, CODEC_PNG};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  runtime_start();
  decoder_init();
  codec_register_decoder(&jpeg_limited);
  codec_register_decoder(&png_limited);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  const auto length = static_cast<std::uint32_t>(size);
  BmpLayout layout{};
  bmp_parse(data, length, &layout);
  IconImage icon{};
  icon_select_image(data, length, &icon);
  DecodedPicture picture = decode_chain(data, length);
  pixel_store_delete(picture.store);
  return 0;
}
