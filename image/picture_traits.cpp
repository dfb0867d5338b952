// Picture traits: the record and its colour profile.
#include "image/picture_traits.h"

#include <cstring>

#include "image/byte_order.h"
#include "runtime/heap.h"

namespace {

// An ICC profile opens with a 128-byte header: its own length, the colour
// space of the data at 16 and the signature "acsp" at 36.
constexpr std::size_t kIccHeaderSize = 128;

bool is_rgb_profile(const std::uint8_t* profile, std::size_t size) {
  return size >= kIccHeaderSize && read_be32(profile) == size &&
         std::memcmp(profile + 16, "RGB ", 4) == 0 && std::memcmp(profile + 36, "acsp", 4) == 0;
}

}  // namespace

PictureTraits* picture_traits_create() {
  auto* traits = static_cast<PictureTraits*>(memory_alloc(sizeof(PictureTraits), 0));
  if (traits) traits->orientation = ORIENTATION_UPRIGHT;
  return traits;
}

void picture_traits_free(PictureTraits* traits) {
  if (!traits) return;
  memory_free(traits->profile);
  memory_free(traits);
}

bool picture_traits_keep_profile(PictureTraits* traits, const std::uint8_t* profile,
                                 std::size_t size) {
  if (!traits || !profile || size > PICTURE_PROFILE_MOST || !is_rgb_profile(profile, size))
    return false;
  auto* copy =
      static_cast<std::uint8_t*>(memory_alloc(static_cast<std::int64_t>(size), MEMORY_UNCLEARED));
  if (!copy) return false;
  std::memcpy(copy, profile, size);
  memory_free(traits->profile);
  traits->profile = copy;
  traits->profile_size = static_cast<std::uint32_t>(size);
  return true;
}
