// The codec plug-ins' place in the start-up sequence.
#include "image/codecs/codec_plugins.h"

#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "runtime/lifecycle.h"

void codecs_use_all() {
  use_jpeg_decoder();
  use_jpeg_encoder();
  use_png_decoder();
  use_png_encoder();
}

void codecs_join_runtime() {
  runtime_join_startup(StartupStage::CodecRegistrations, codecs_use_all);
}
