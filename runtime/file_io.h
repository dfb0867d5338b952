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
// commit() closes it and moves it over the target in one step. A file that
// is not committed, because a write failed or the writer gave up, is closed
// and its temporary deleted: the target, and any earlier file of that name,
// stay as they were, and nothing but the writer's own temporary is deleted.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool create(const char* name);
  // Writes every byte or fails; after a failure the file is discarded.
  bool write(const void* data, std::size_t size);
  // Closes the file and puts it in place; false (and the temporary deleted)
  // when closing or the move fails.
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
// directory, so that the final move never crosses file systems.
inline std::string output_temporary_name(std::string_view target, unsigned attempt) {
  return std::string(target) + "." + std::to_string(attempt) + ".part";
}

// How many temporary names create() tries before it gives up.
constexpr unsigned OUTPUT_NAME_ATTEMPTS = 100;
