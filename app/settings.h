// The settings file beside the program: six keys, read with their defaults
// at start-up and written anew at every exit, followed by a comment block
// that explains the sizing modes. The key names are fixed ("JPEG_Qualitiy"
// included): files in the field rely on them.
#pragma once

#include <string_view>

#include "app/app_state.h"

// Reads the six keys in their order; every key that is missing (or a file
// that cannot be opened) keeps the default. The quality is held to 0..10.
void settings_read(std::string_view path, ResizeSettings& settings);

// Writes the file anew: the keys, with the two check boxes' states as the
// presets of the next start (1 only for a state of exactly 1), then the
// comment block. False when the file cannot be created or written.
bool settings_write(std::string_view path, const ResizeSettings& settings, int web_names_state,
                    int keep_exif_state);
