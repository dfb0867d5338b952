// Codec tables, the decoder chain and encoder dispatch.
#include "image/codec_registry.h"

#include <cstring>
#include <vector>

#include "image/bmp_codec.h"
#include "image/pixel_layout.h"

namespace {

struct CodecTables {
  const ImageDecoder* decoders[CODEC_TABLE_SIZE];
  int decoder_count;
  const ImageEncoder* encoders[CODEC_TABLE_SIZE];
  int encoder_count;
};

// The tables live as long as the program. Every decode has a context of its
// own on its caller's stack, so decodes on different threads never meet.
CodecTables tables;

bool plausible_picture(const ImageDecodeContext& c) {
  return size_fits_model(c.width, c.height) && (c.depth == 24 || c.depth == 32);
}

const ImageEncoder* encoder_for(std::uint32_t codec) {
  for (int i = 0; i < tables.encoder_count; ++i)
    if (tables.encoders[i]->codec_id == codec) return tables.encoders[i];
  return nullptr;
}

int encode_flattened(const ImageEncoder* encoder, const char* file_name, const std::uint8_t* bits,
                     int width, int height, std::int64_t pitch, int flags, int quality, int depth,
                     const PictureTraits* traits) {
  std::int64_t flat_pitch = (static_cast<std::int64_t>(width) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> flat;
  try {
    flat.resize(static_cast<std::size_t>(flat_pitch * height));
  } catch (...) {
    return 0;
  }
  for (int y = 0; y < height; ++y)
    flatten_row_onto_white(bits + y * pitch, flat.data() + y * flat_pitch, width);
  return encoder->encode(file_name, flat.data(), width, height, flat_pitch, flags, quality, depth,
                         traits);
}

}  // namespace

void decoder_init() {
  tables.decoder_count = 0;
}

void decoder_end() {
  tables.decoder_count = 0;
}

bool codec_register_decoder(const ImageDecoder* decoder) {
  if (!decoder || tables.decoder_count == CODEC_TABLE_SIZE) return false;
  tables.decoders[tables.decoder_count++] = decoder;
  return true;
}

bool codec_register_encoder(const ImageEncoder* encoder) {
  if (!encoder || tables.encoder_count == CODEC_TABLE_SIZE) return false;
  tables.encoders[tables.encoder_count++] = encoder;
  return true;
}

int codec_use_decoder(const ImageDecoder* decoder) {
  for (int i = 0; i < tables.decoder_count; ++i)
    if (tables.decoders[i] == decoder) return 1;
  codec_register_decoder(decoder);
  return 1;
}

int codec_use_encoder(const ImageEncoder* encoder) {
  for (int i = 0; i < tables.encoder_count; ++i)
    if (tables.encoders[i] == encoder) return 1;
  codec_register_encoder(encoder);
  return 1;
}

PictureTraits* decode_traits(ImageDecodeContext* context) {
  if (!context->traits) context->traits = picture_traits_create();
  return context->traits;
}

DecodedPicture decode_chain(const std::uint8_t* data, std::uint32_t size,
                            const DecodeRequest& request, SpareStores* spares) {
  DecodedPicture result{nullptr, 0, 0, nullptr};
  if (!data) return result;
  ImageDecodeContext context{};
  ImageDecodeContext* c = &context;
  c->data = data;
  c->size = size;
  c->from_memory = 1;
  c->request = request;
  for (int i = 0; i < tables.decoder_count && !c->decoder; ++i) {
    std::memset(c->decoder_private, 0, sizeof c->decoder_private);
    picture_traits_free(c->traits);  // what a refusing decoder found
    c->traits = nullptr;
    if (tables.decoders[i]->check(c)) c->decoder = tables.decoders[i];
  }
  if (!c->decoder) {
    picture_traits_free(c->traits);
    return result;
  }
  const ImageDecoder* decoder = c->decoder;
  PixelStoreInfo info{};
  SpareStores none{};
  PixelStore store = plausible_picture(*c) ? spare_store_take(spares ? *spares : none, c->width,
                                                              c->height, c->depth)
                                           : nullptr;
  if (store && pixel_store_info(store, &info) &&
      decoder->decode(c, info.bits, image_row_pitch(c->width, c->depth), ROWS_BOTTOM_UP)) {
    result = DecodedPicture{store, decoder->codec_id, c->source_depth, c->traits};
    c->traits = nullptr;
  } else if (spares) {
    spare_store_keep(*spares, store);
  } else {
    pixel_store_delete(store);
  }
  decoder->release(c);
  picture_traits_free(c->traits);
  return result;
}

int encode_dispatch(const char* file_name, const std::uint8_t* bits, std::uint32_t codec, int width,
                    int height, std::int64_t pitch, int store_depth, int flags, int quality,
                    int depth, const PictureTraits* traits) {
  if (codec == CODEC_BMP)
    return bmp_write(file_name, bits, width, height, pitch, store_depth, flags, quality, depth);
  const ImageEncoder* encoder = encoder_for(codec);
  if (!encoder) return 0;
  if (store_depth == 32) {
    if (encoder->encode_alpha)
      return encoder->encode_alpha(file_name, bits, width, height, pitch, flags, quality, depth,
                                   traits);
    return encode_flattened(encoder, file_name, bits, width, height, pitch, flags, quality, depth,
                            traits);
  }
  if (store_depth == 24)
    return encoder->encode(file_name, bits, width, height, pitch, flags, quality, depth, traits);
  return 0;
}
