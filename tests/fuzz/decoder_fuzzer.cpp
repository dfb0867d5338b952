// Fuzz target: any bytes through the readers a picture file meets (the BMP
// header checks, the icon directory checks and the decoder chain with the
// JPEG and PNG decoders), over memory. The decoders hold every picture to
// their budget, so the fuzzer's time and memory limits (scripts/fuzz.sh)
// flag any input that costs more than a picture file may.
#include <cstddef>
#include <cstdint>

#include "image/bmp_codec.h"
#include "image/codec_registry.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/icon_reader.h"
#include "image/pixel_store.h"
#include "runtime/lifecycle.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  runtime_start();
  decoder_init();
  use_jpeg_decoder();
  use_png_decoder();
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
  picture_traits_free(picture.traits);
  return 0;
}
