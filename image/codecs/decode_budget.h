// What decoding a picture may cost, against what its file holds.
//
// A picture file can declare far more than it carries: a JPEG header may
// promise 32767 x 32767 pixels while the file ends after a few bytes of scan
// data, and a deflate stream inflates up to a thousandfold. The codecs hold
// every decode to three rules, so that no file under a mebibyte costs more
// than 512 MB, while every picture that carries its data and fits that
// memory loads. The time a decode takes then follows the pixels its file
// carries: at the memory limit, a flat PNG of 150 million pixels in under
// a mebibyte takes 2 to 3.5 s of processor time on the development machine
// (Paeth-filtered rows the longest), a flat JPEG 1.5 s. A file that
// declares more than it carries is refused when its data runs out.
// bench/decode_cost_bench.cpp measures the worst files.
//
// Memory. A decode's memory is its pixel store and the library's
// picture-sized buffers (a progressive JPEG keeps every block's coefficients
// until its last scan). Any picture may take DECODE_FREE_MEMORY, whatever
// the size of its file: a flat picture that carries all its data (a
// diagram, the scan of a page) compresses a thousandfold and loads from a
// small file. Beyond that, DECODE_COST_PER_BYTE for every byte of the file,
// which a photo, carrying a byte for every few pixels, never exceeds.
//
// Inflated data (PNG). A PNG whose data ends early fails in the library,
// and every row must be inflated and unfiltered from the file's own data,
// so the work of a PNG decode follows the stream it inflates, which
// deflate bounds at about 1032 bytes per byte of file. That stream may be
// DECODE_FREE_STREAM bytes, or DECODE_COST_PER_BYTE for every byte of the
// file beyond it.
//
// Data that runs out (JPEG). The JPEG library completes a picture whose
// data ends early (a copy cut short) by painting the rest, at the full cost
// of the picture it declares. So once its data runs out, a JPEG decode may
// cost (store and buffers) no more than DECODE_SHORT_COST plus
// DECODE_COST_PER_BYTE for every byte of the file: a cut photo still shows
// its top rows, a few bytes that declare a canvas are refused. How often a
// progressive JPEG may pass over its blocks is limited apart
// (jpeg_codec.cpp).
#pragma once

#include <cstdint>

constexpr std::uint64_t DECODE_FREE_MEMORY = 448ull << 20;
constexpr std::uint64_t DECODE_FREE_STREAM = 512ull << 20;
constexpr std::uint64_t DECODE_SHORT_COST = 96ull << 20;
constexpr std::uint64_t DECODE_COST_PER_BYTE = 64;

// The memory a decode of a file of `file_size` bytes may take.
std::uint64_t decode_memory_allowed(std::uint64_t file_size);
// The bytes a PNG decode may inflate.
std::uint64_t decode_stream_allowed(std::uint64_t file_size);
// The cost a JPEG decode may reach once its data has run out.
std::uint64_t decode_short_cost_allowed(std::uint64_t file_size);

// The bytes of the pixel store a picture decodes into.
std::uint64_t decode_store_bytes(int width, int height, int depth);
