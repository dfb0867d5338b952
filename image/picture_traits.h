// What a picture file says about its picture besides the pixels, kept with
// the image so that a copy written from it can carry it: how the stored
// pixels are turned to be shown (the EXIF orientation of a JPEG), the
// colour profile, and the palette of a palette picture.
//
// A decoder fills the record during its check (decode_traits gives it one);
// the decoder chain hands it to the image, which owns it until the image
// is released. The encoders read it when they write a copy.
#pragma once

#include <cstddef>
#include <cstdint>

// EXIF orientation 1: the stored rows are shown as they are.
constexpr int ORIENTATION_UPRIGHT = 1;

// The largest colour profile kept. Display and camera profiles take a few
// kilobytes, table-based ones a few hundred; this bounds what a hostile
// file can make a decode keep (a PNG's profile is compressed).
constexpr std::uint32_t PICTURE_PROFILE_MOST = 4u << 20;

struct PictureTraits {
  std::int32_t orientation;  // EXIF orientation 1..8
  std::uint32_t profile_size;
  std::uint8_t* profile;         // ICC profile (codec heap), or null
  std::int32_t palette_size;     // entries of the source's palette; 0 for none
  std::uint8_t palette[256][4];  // blue, green, red, alpha
};

// A new record that says nothing yet (upright, no profile, no palette), or
// null when memory runs out.
PictureTraits* picture_traits_create();
void picture_traits_free(PictureTraits* traits);

// Keeps a copy of an ICC profile when it describes RGB colours, the only
// colours the encoders write (a grey or CMYK profile would misdescribe the
// copy), and is no larger than PICTURE_PROFILE_MOST. False when not kept.
bool picture_traits_keep_profile(PictureTraits* traits, const std::uint8_t* profile,
                                 std::size_t size);

// True when the orientation turns the picture a quarter: stored width and
// height are exchanged when it is shown (orientations 5 to 8).
inline bool orientation_swaps_sides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}
