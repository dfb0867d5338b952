// Drawing helpers against real GDI objects.
#include "image/image_draw.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/image.h"
#include "image/pixel_store.h"
#include "runtime/graphics_probe.h"
#include "support/runtime_fixture.h"

namespace {

class ImageDrawTest : public RuntimeTest {
 protected:
  PixelStore store_32(int w, int h, const std::vector<std::uint32_t>& bgra) {
    PixelStore store = pixel_store_create(w, h, 32);
    PixelStoreInfo info{};
    EXPECT_TRUE(pixel_store_info(store, &info));
    std::memcpy(info.bits, bgra.data(), bgra.size() * 4);
    return store;
  }
  static std::uint32_t pixel(PixelStore store, int index) {
    PixelStoreInfo info{};
    pixel_store_info(store, &info);
    std::uint32_t value;
    std::memcpy(&value, info.bits + index * 4, 4);
    return value;
  }
};

TEST_F(ImageDrawTest, only_32_bit_stores_count_as_having_alpha) {
  ASSERT_NE(graphics_alpha_blend(), nullptr);
  PixelStore with = store_32(1, 1, {0x00000000});
  PixelStore without = pixel_store_create(1, 1, 24);
  EXPECT_TRUE(image_has_alpha(with));
  EXPECT_FALSE(image_has_alpha(without));
  EXPECT_FALSE(image_has_alpha(nullptr));
  pixel_store_delete(with);
  pixel_store_delete(without);
}

TEST_F(ImageDrawTest, premultiplied_copy_scales_colours_by_alpha) {
  PixelStore source = store_32(2, 1, {0x80FF8040, 0xFF102030});
  PixelStore copy = static_cast<PixelStore>(bitmap_premultiplied_copy(source, nullptr, false));
  ASSERT_NE(copy, nullptr);
  // (128 * 255) >> 8 = 127, (128 * 128) >> 8 = 64, (128 * 64) >> 8 = 32; opaque untouched
  EXPECT_EQ(pixel(copy, 0), 0x807F4020u);
  EXPECT_EQ(pixel(copy, 1), 0xFF102030u);
  bitmap_free_premultiplied(copy);
  pixel_store_delete(source);
}

TEST_F(ImageDrawTest, disabled_copy_is_grey_compressed_towards_the_middle) {
  EXPECT_EQ(disabled_grey(0, 0, 0), 64 + (0 - 448) / 10);                // 64 - 44 = 20
  EXPECT_EQ(disabled_grey(255, 255, 255), 192 + (7 * 255 - 1344) / 10);  // 192 + 44 = 236
  EXPECT_EQ(disabled_grey(100, 100, 100), 100);
  PixelStore source = store_32(1, 1, {0xFF646464});
  PixelStore copy = static_cast<PixelStore>(bitmap_premultiplied_copy(source, nullptr, true));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(pixel(copy, 0), 0xFF646464u);
  bitmap_free_premultiplied(copy);
  pixel_store_delete(source);
}

TEST_F(ImageDrawTest, alpha_mask_is_black_where_the_picture_has_alpha) {
  // 2 x 2, bottom row: alpha 0, alpha 9; top row: alpha 0, alpha 0
  PixelStore source = store_32(2, 2, {0x00FFFFFF, 0x09FFFFFF, 0x00000000, 0x00000000});
  HBITMAP mask = static_cast<HBITMAP>(bitmap_alpha_mask(source));
  ASSERT_NE(mask, nullptr);
  HDC context = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(context, mask);
  bool styled = graphics_visual_styles();
  EXPECT_EQ(GetPixel(context, 1, 1), RGB(0, 0, 0));  // bottom right, alpha 9
  EXPECT_EQ(GetPixel(context, 0, 0), styled ? RGB(0, 0, 0) : RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(context, 0, 1), styled ? RGB(0, 0, 0) : RGB(255, 255, 255));
  SelectObject(context, previous);
  DeleteDC(context);
  DeleteObject(mask);
  pixel_store_delete(source);
}

TEST_F(ImageDrawTest, drawing_blends_per_pixel_alpha_onto_the_target) {
  PixelStore target = pixel_store_create(2, 1, 24);
  PixelStoreInfo info{};
  ASSERT_TRUE(pixel_store_info(target, &info));
  std::memset(info.bits, 200, 6);
  // premultiplied: opaque black, fully transparent
  PixelStore source = store_32(2, 1, {0xFF000000, 0x00000000});
  HDC context = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(context, target);
  bitmap_draw_alpha(context, 0, 0, 0, 0, source, nullptr, 255);
  SelectObject(context, previous);
  DeleteDC(context);
  ASSERT_TRUE(pixel_store_info(target, &info));
  EXPECT_EQ(info.bits[0], 0);
  EXPECT_EQ(info.bits[3], 200);
  pixel_store_delete(source);
  pixel_store_delete(target);
}

TEST_F(ImageDrawTest, pixels_of_a_device_bitmap_are_copied_bottom_row_first) {
  HDC screen = GetDC(nullptr);
  HBITMAP device = CreateCompatibleBitmap(screen, 1, 2);
  HDC context = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(context, device);
  SetPixel(context, 0, 0, RGB(1, 2, 3));  // top
  SetPixel(context, 0, 1, RGB(4, 5, 6));  // bottom
  SelectObject(context, previous);
  DeleteDC(context);
  ReleaseDC(nullptr, screen);
  bool copied = false;
  std::uint8_t* pixels = bitmap_pixels_32(device, &copied);
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(copied);
  EXPECT_EQ(pixels[0], 6);  // blue of the bottom row
  EXPECT_EQ(pixels[4], 3);
  bitmap_free_pixels(pixels);
  DeleteObject(device);
}

}  // namespace
