// The decode budget.
#include "image/codecs/decode_budget.h"

#include <algorithm>

#include "image/pixel_layout.h"

std::uint64_t decode_memory_allowed(std::uint64_t file_size) {
  return std::max(DECODE_FREE_MEMORY, DECODE_COST_PER_BYTE * file_size);
}

std::uint64_t decode_stream_allowed(std::uint64_t file_size) {
  return std::max(DECODE_FREE_STREAM, DECODE_COST_PER_BYTE * file_size);
}

std::uint64_t decode_short_cost_allowed(std::uint64_t file_size) {
  return DECODE_SHORT_COST + DECODE_COST_PER_BYTE * file_size;
}

std::uint64_t decode_store_bytes(int width, int height, int depth) {
  return static_cast<std::uint64_t>(image_row_pitch(width, depth)) *
         static_cast<std::uint64_t>(height > 0 ? height : 0);
}
