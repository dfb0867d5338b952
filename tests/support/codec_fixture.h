// A runtime with the decode context and all four codecs registered.
#pragma once

#include "image/codec_registry.h"
#include "image/codecs/codec_plugins.h"
#include "image/pixel_store.h"
#include "support/runtime_fixture.h"

#include <vector>

class CodecTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    decoder_init();
    codecs_use_all();
  }
  void TearDown() override {
    for (PixelStore store : stores_) pixel_store_delete(store);
    for (PictureTraits* traits : traits_) picture_traits_free(traits);
    RuntimeTest::TearDown();
  }
  // Decodes through the chain; the store and traits are freed at the end of the test.
  DecodedPicture decode(const std::vector<std::uint8_t>& data) {
    DecodedPicture picture = decode_chain(data.data(), static_cast<std::uint32_t>(data.size()));
    if (picture.store) stores_.push_back(picture.store);
    traits_.push_back(picture.traits);
    return picture;
  }
  PixelStoreInfo info(const DecodedPicture& picture) {
    PixelStoreInfo i{};
    pixel_store_info(picture.store, &i);
    return i;
  }
  // The pixel at (x, y), y counted from the top, as bytes in memory order.
  std::vector<int> pixel(const DecodedPicture& picture, int x, int y) {
    PixelStoreInfo i = info(picture);
    const std::uint8_t* p = i.bits + (i.height - 1 - y) * i.pitch + x * (i.depth / 8);
    return std::vector<int>(p, p + i.depth / 8);
  }

 private:
  std::vector<PixelStore> stores_;
  std::vector<PictureTraits*> traits_;
};
