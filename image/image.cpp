// Image objects: the registry of pictures and their operations. The rules
// live here; the platform's pictures (pixel stores and icons) are reached
// through their own seams, so all of this also runs in the host build.
#include "image/image.h"

#include <utility>
#include <vector>

#include "image/bmp_codec.h"
#include "image/halftone_stretch.h"
#include "image/icon_reader.h"
#include "image/image_draw.h"
#include "image/pixel_store.h"
#include "image/pixel_turn.h"
#include "image/smooth_resample.h"
#include "runtime/file_io.h"
#include "runtime/lifecycle.h"
#include "runtime/platform_lock.h"

namespace {

ObjectRegistry* images = nullptr;
// Held while the registry itself is read or changed, never while a picture
// is decoded, scaled or saved: each thread works on records of its own.
PlatformLock registry_lock;
bool lock_ready = false;

PlatformLock* guarded() {
  return lock_ready ? &registry_lock : nullptr;
}

ImageObject* find(object_number number) {
  LockGuard guard(guarded());
  return static_cast<ImageObject*>(registry_lookup(images, number));
}

// Records hold a pixel store or, for icons, an icon.
void destroy_picture(void* handle) {
  PixelStoreInfo info{};
  if (pixel_store_info(handle, &info))
    pixel_store_delete(handle);
  else
    icon_destroy(handle);
}

void image_release(object_number number) {
  LockGuard guard(guarded());
  registry_free_object<ImageObject>(images, number, [](ImageObject& image) {
    if (image.handle) destroy_picture(image.handle);
    picture_traits_free(image.traits);
    spare_stores_clear(image.spares);
  });
}

// The stores of the picture a number holds, kept for the next one; the
// record no longer owns them.
SpareStores take_stores(object_number number) {
  SpareStores spares{};
  ImageObject* image = number == ANY_OBJECT ? nullptr : find(number);
  if (!image) return spares;
  spares = std::exchange(image->spares, SpareStores{});
  PixelStoreInfo info{};
  if (pixel_store_info(image->handle, &info)) {
    // The record reads as empty from here on: what else it owns goes now.
    spare_store_keep(spares, std::exchange(image->handle, nullptr));
    picture_traits_free(std::exchange(image->traits, nullptr));
  }
  return spares;
}

void start_images() {
  decoder_init();
  image_init();
}

// Shutdown: every image goes, and the kind forgets its registry, which the
// runtime heap takes with it.
void end_images() {
  image_end();
  images = nullptr;
  decoder_end();
}

// Fills the record from a store's own description; the record owns the
// traits from here on.
bool take_store(ImageObject* image, PixelStore store, std::uint32_t format, int source_depth,
                PictureTraits* traits = nullptr) {
  PixelStoreInfo info{};
  if (!pixel_store_info(store, &info)) return false;
  *image = ImageObject{store,
                       static_cast<std::int16_t>(info.width),
                       static_cast<std::int16_t>(info.height),
                       static_cast<std::int8_t>(info.depth),
                       static_cast<std::int8_t>(source_depth),
                       format,
                       traits,
                       {}};
  return true;
}

// BMP by its signature, then an icon, then the registered decoders.
bool catch_picture(ImageObject* image, const std::uint8_t* bytes, std::uint32_t size,
                   const DecodeRequest& request, SpareStores& spares) {
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    int source_depth = 0;
    PixelStore store = bmp_read(bytes, size, &source_depth);
    if (store && take_store(image, store, CODEC_BMP, source_depth)) return true;
    pixel_store_delete(store);
    return false;
  }
  IconPicture icon = icon_read(bytes, size);
  if (icon.icon) {
    *image = ImageObject{icon.icon,
                         static_cast<std::int16_t>(icon.width),
                         static_cast<std::int16_t>(icon.height),
                         static_cast<std::int8_t>(icon.depth),
                         static_cast<std::int8_t>(icon.depth),
                         CODEC_ICON,
                         nullptr,
                         {}};
    return true;
  }
  DecodedPicture decoded = decode_chain(bytes, size, request, &spares);
  if (decoded.store &&
      take_store(image, decoded.store, decoded.codec_id, decoded.source_depth, decoded.traits))
    return true;
  pixel_store_delete(decoded.store);
  picture_traits_free(decoded.traits);
  return false;
}

// Halftone stretching averages what each target pixel covers. The platform's
// own halftone mode is not relied on: some implementations drop pixels.
bool stretch_halftone(const PixelStoreInfo& out, const PixelStoreInfo& in) {
  return halftone_stretch(out.bits, out.width, out.height, out.pitch, in.bits, in.width, in.height,
                          in.pitch, in.depth / 8);
}

// Pictures with alpha (where the platform can draw it) go through the smooth
// resampler, the rest through halftone stretching; any other mode takes one
// source pixel per target pixel.
bool stretch_into(PixelStore target, PixelStore source, int mode) {
  PixelStoreInfo out{}, in{};
  if (!pixel_store_info(target, &out) || !pixel_store_info(source, &in)) return false;
  if (mode != RESIZE_SMOOTH) return pixel_store_stretch_raw(target, source);
  if (pixel_store_has_alpha(in))
    return smooth_resample(target, out.width, out.height, source, in.width, in.height) != 0;
  return stretch_halftone(out, in);
}

// A field of a live image, or zero when the number holds none.
template <typename Field>
Field field_of(object_number number, Field ImageObject::*field) {
  ImageObject* image = find(number);
  return image ? image->*field : Field{};
}

}  // namespace

void image_init() {
  if (!lock_ready) lock_init(&registry_lock);  // kept for the process, as the images may be
  lock_ready = true;
  images = registry_create(sizeof(ImageObject), 16, image_release);
}

void image_end() {
  registry_free_all(images);
}

void image_join_runtime() {
  runtime_join_startup(StartupStage::ImageKind, start_images);
  runtime_join_shutdown(ShutdownStage::Images, end_images);
}

void* image_create_bitmap(int width, int height, int depth) {
  if (!size_fits_model(width, height)) return nullptr;
  return pixel_store_create(width, height, depth > 24 ? 32 : 24);
}

std::uintptr_t image_catch(object_number number, const void* data, std::uint32_t size,
                           const DecodeRequest& request) {
  SpareStores spares = take_stores(number);
  ImageObject* image = nullptr;
  bool dynamic = false;
  {
    LockGuard guard(guarded());
    image = static_cast<ImageObject*>(registry_allocate(images, number));
    if (image) {
      *image = ImageObject{};
      // ANY_OBJECT (or a live handle, which is replaced) gives a dynamic record.
      dynamic = registry_is_live_handle(images, reinterpret_cast<object_number>(image));
    }
  }
  if (!image) {
    spare_stores_clear(spares);
    return 0;
  }
  if (data && catch_picture(image, static_cast<const std::uint8_t*>(data), size, request, spares)) {
    image->spares = spares;
    return dynamic ? reinterpret_cast<std::uintptr_t>(image)
                   : reinterpret_cast<std::uintptr_t>(image->handle);
  }
  spare_stores_clear(spares);
  if (dynamic) {
    LockGuard guard(guarded());
    registry_release(images, reinterpret_cast<object_number>(image));
  }
  return 0;
}

std::uintptr_t image_load(object_number number, const char* file_name,
                          const DecodeRequest& request) {
  std::vector<std::uint8_t> contents;
  if (!file_read_whole(file_name, contents)) return 0;
  return image_catch(number, contents.data(), static_cast<std::uint32_t>(contents.size()),
                     request);
}

void* image_handle(object_number number) {
  return field_of(number, &ImageObject::handle);
}
int image_width(object_number number) {
  return field_of(number, &ImageObject::width);
}
int image_height(object_number number) {
  return field_of(number, &ImageObject::height);
}
int image_depth(object_number number) {
  return field_of(number, &ImageObject::depth);
}
int image_source_depth(object_number number) {
  return field_of(number, &ImageObject::source_depth);
}
std::uint32_t image_format(object_number number) {
  return field_of(number, &ImageObject::format);
}

void* image_resize(object_number number, int width, int height, int mode) {
  ImageObject* image = find(number);
  PixelStoreInfo current{};
  if (!image || !pixel_store_info(image->handle, &current)) return nullptr;  // icons too
  if (width == IMAGE_SIZE_UNCHANGED) width = image->width;
  if (height == IMAGE_SIZE_UNCHANGED) height = image->height;
  if (width == image->width && height == image->height) return image->handle;
  PixelStore target =
      size_fits_model(width, height)
          ? spare_store_take(image->spares, width, height, image->depth > 24 ? 32 : 24)
          : nullptr;
  void* result = target && stretch_into(target, image->handle, mode) ? target : nullptr;
  if (result) {
    spare_store_keep(image->spares, image->handle);
  } else {  // the record holds no picture from here on, nor anything else
    pixel_store_delete(target);
    pixel_store_delete(image->handle);
    spare_stores_clear(image->spares);
    picture_traits_free(std::exchange(image->traits, nullptr));
  }
  image->handle = result;
  image->width = static_cast<std::int16_t>(result ? width : 0);
  image->height = static_cast<std::int16_t>(result ? height : 0);
  return result;
}

int image_orientation(object_number number) {
  const ImageObject* image = find(number);
  return image && image->traits ? image->traits->orientation : ORIENTATION_UPRIGHT;
}

bool image_turn_upright(object_number number) {
  ImageObject* image = find(number);
  PixelStoreInfo info{};
  if (!image || !pixel_store_info(image->handle, &info)) return false;
  const int orientation = image_orientation(number);
  if (orientation == ORIENTATION_UPRIGHT) return true;
  PixelStore upright = pixel_store_upright(image->handle, orientation);
  if (!upright) return false;
  pixel_store_info(upright, &info);
  pixel_store_delete(image->handle);
  image->handle = upright;
  image->width = static_cast<std::int16_t>(info.width);
  image->height = static_cast<std::int16_t>(info.height);
  image->traits->orientation = ORIENTATION_UPRIGHT;
  return true;
}

int image_save(object_number number, const char* file_name, std::uint32_t codec, int quality,
               int depth) {
  if (!file_name || !*file_name) return 0;
  ImageObject* image = find(number);
  PixelStoreInfo info{};
  if (!image || !pixel_store_info(image->handle, &info)) return 0;
  if (depth == KEEP_DEPTH) depth = image->source_depth;
  return encode_dispatch(file_name, info.bits, codec, info.width, info.height, info.pitch,
                         info.depth, ROWS_BOTTOM_UP, quality, depth, image->traits);
}

void image_free(object_number number) {
  if (number == ANY_OBJECT)
    registry_free_all(images);
  else
    image_release(number);
}
