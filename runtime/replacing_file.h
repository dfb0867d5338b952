// A file that replaces another in one step: the new contents are written
// under a temporary name beside the target (the target's name followed by
// ".tmp", in the same directory, so that the move is a rename on one
// volume) and moved over the target only when they are complete. Readers
// of the target see the old file or the whole new one, never a part; a
// write that fails (a full disk) or is given up leaves the target as it was
// and removes the temporary file. A process that dies while writing leaves
// the temporary file, which the next writer of the same target replaces.
#pragma once

#include <cstddef>
#include <string>

#include "runtime/file_io.h"

class ReplacingFile {
 public:
  // Creates the temporary file (replacing a stale one).
  bool create(const char* target);
  // Writes every byte or fails; after a failure the file is given up.
  bool write(const void* data, std::size_t size);
  // Closes the temporary file and moves it over the target; false when
  // anything failed, with the target as it was and no temporary file.
  bool commit();
  // Closes and removes the temporary file, if one is open.
  void discard() { temporary_.discard(); }
  bool is_open() const { return temporary_.is_open(); }

 private:
  OutputFile temporary_;
  std::string target_;
  std::string temporary_name_;
};

// Seam: moves `finished` over `target` in one step (replacing it when it
// exists); on failure removes `finished` and leaves `target` alone.
bool file_move_over(const char* finished, const char* target);
