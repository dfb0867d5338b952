// The EXIF orientation of a JPEG: how its stored pixels are to be turned
// and mirrored to be shown (1 upright, 2 mirrored left to right, 3 turned
// half round, 4 mirrored top to bottom, 5 mirrored along the main diagonal,
// 6 turned a quarter clockwise, 7 mirrored along the other diagonal, 8 turned
// a quarter anticlockwise).
//
// The value is the Orientation entry (tag 0x0112) of the first directory of
// the TIFF block in the file's first EXIF segment (APP1 starting
// "Exif\0\0"), before the first scan. Every read stays inside the data; a
// missing, cut or odd entry counts as upright.
#pragma once

#include <cstddef>
#include <cstdint>

// 1..8; 1 when the data says nothing usable.
int exif_orientation(const std::uint8_t* jpeg, std::size_t size);

// Sets the orientation entry of a JPEG file to 1, rewriting the file only
// when it says otherwise: for a copy whose pixels were turned upright and
// that then received its source's EXIF block. False when the file cannot
// be read or written again.
bool exif_orientation_reset_file(const char* name);
