// What decoding a picture may cost, against the bytes its file holds.
//
// A picture file can declare far more than it carries: a JPEG header may
// promise 32767 x 32767 pixels while the file ends after a few bytes of scan
// data (the library then paints the rest grey), and a deflate stream inflates
// up to a thousandfold. A decode costs memory and time in proportion to what
// the file declares, not to its size, so the codecs hold every decode to a
// budget: the bytes it works through (the pixel store, the library's
// picture-sized buffers, the inflated rows) may be DECODE_FREE_COST plus
// DECODE_COST_PER_BYTE for every byte of the file. Time and memory follow
// these bytes (4 to 7 ns of processor time a byte on the development
// machine, page faults included), so the budget bounds both: a file under a
// mebibyte may cost 160 MiB and well under a second of processor time
// (bench/decode_cost_bench.cpp measures the worst files).
//
// A photo carries a byte for every few pixels and stays far inside the
// budget, even when its copy was cut short. What the budget refuses are
// pictures whose data covers a small part of them, and extremely
// compressed ones beyond the free allowance (a blank canvas of 60 million
// pixels in less than a megabyte).
#pragma once

#include <cstdint>

constexpr std::uint64_t DECODE_FREE_COST = 96ull << 20;
constexpr std::uint64_t DECODE_COST_PER_BYTE = 64;

// The bytes a decode of a file of `file_size` bytes may work through.
std::uint64_t decode_cost_allowed(std::uint64_t file_size);

// The bytes of the pixel store a picture decodes into.
std::uint64_t decode_store_bytes(int width, int height, int depth);
