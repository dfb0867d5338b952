// Whole-file reading and safe file writing, behind a plain interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads a whole existing file (opened with read sharing). False when it
// cannot be opened or read completely, or exceeds `max_size` bytes.
bool file_read_whole(const char* name, std::vector<std::uint8_t>& contents,
                     std::uint64_t max_size = UINT32_MAX);

// True when a file or directory of that name exists.
bool file_exists(const char* name);

// A file being written, never seen half-written under its name. create()
// makes a new temporary file beside the target (a name no other file has);
// commit() flushes it, closes it and moves it over the target in one step
// (file_move_over: a read-only target is not replaced). A file that is not
// committed, because a write failed or the writer gave up, is closed and
// its temporary deleted: the target, and any earlier file of that name,
// stay as they were.
//
// A writer that was killed leaves its temporary behind. The next writer of
// the same target deletes such a leftover: a file under one of the target's
// temporary names that was last written clearly before this process started
// (see OUTPUT_LEFTOVER_MARGIN_SECONDS), so that it cannot be a temporary that
// another writer of this process is still filling, nor a file someone wrote
// while this process ran. Nothing else is ever deleted.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool create(const char* name);
  // Writes every byte or fails; after a failure the file is discarded.
  bool write(const void* data, std::size_t size);
  // Puts the file in place; false (and the temporary deleted) when flushing,
  // closing or the move fails.
  bool commit();
  // Closes the file and deletes the temporary, if one is open.
  void discard();
  bool is_open() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;
  std::string target_;
  std::string temporary_;
};

// The temporary name beside `target` for the given attempt: the same
// directory, so that the final move never crosses file systems, and only
// two characters longer than the target ("photo.jpg~0"), so that a target
// near the path limit still has one.
inline std::string output_temporary_name(std::string_view target, unsigned attempt) {
  return std::string(target) + "~" + std::to_string(attempt);
}

// How many temporary names create() tries before it gives up.
constexpr unsigned OUTPUT_NAME_ATTEMPTS = 10;

// Seams of OutputFile. Creates `name` as a new file open for writing, with
// the permissions of `target` where the platform has them; null when it
// cannot, with *exists set when a file of that name is in the way.
void* output_file_create_new(const char* name, const char* target, bool* exists);
// How much earlier than this process's start a temporary must have been
// last written to count as a leftover. A margin, rather than the bare
// comparison, because the two times come from different clocks: file
// systems stamp files from a coarse clock (Linux's lags the precise one by
// a few milliseconds, Windows' ticks every 15.6 ms, FAT keeps two-second
// stamps, a network share has the server's clock), while the start comes
// from the precise clock (Wine's process times too). A file written just
// after the start can therefore carry a stamp from before it. The margin is
// far above any such granularity; the price is that a leftover of a run
// that ended moments ago stays until a later run, while create() takes the
// next free name.
constexpr int OUTPUT_LEFTOVER_MARGIN_SECONDS = 10;

// True when the file was last written at least OUTPUT_LEFTOVER_MARGIN_SECONDS
// before this process started.
bool file_older_than_process(const char* name);
