// Whole-file reading and safe file writing, behind a plain interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads a whole existing file (opened with read sharing). False when it
// cannot be opened or read completely, or exceeds `max_size` bytes.
bool file_read_whole(const char* name, std::vector<std::uint8_t>& contents,
                     std::uint64_t max_size = UINT32_MAX);

// True when a file or directory of that name exists.
bool file_exists(const char* name);

// A file being written. It is created (replacing any file of that name) by
// create(); commit() closes it and keeps it. A file that is not committed,
// because a write failed or the writer gave up, is closed and deleted, so a
// failed write never leaves a partial file behind.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool create(const char* name);
  // Writes every byte or fails; after a failure the file is discarded.
  bool write(const void* data, std::size_t size);
  // Closes and keeps the file; false (and the file deleted) when closing fails.
  bool commit();
  // Closes and deletes the file, if one is open.
  void discard();
  bool is_open() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;
  std::vector<char> name_;
};
