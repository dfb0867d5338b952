// The output file's choice of a temporary name.
#include "runtime/file_io.h"

#include <utility>

#include "runtime/files.h"

bool OutputFile::create(const char* name) {
  discard();
  if (!name || !*name) return false;
  // A new file under a name nobody uses; an existing one is never opened.
  for (unsigned attempt = 0; attempt < OUTPUT_NAME_ATTEMPTS; ++attempt) {
    std::string temporary = output_temporary_name(name, attempt);
    bool exists = false;
    void* file = output_file_create_new(temporary.c_str(), name, &exists);
    // A leftover of a writer that was killed before it finished.
    if (!file && exists && file_older_than_process(temporary.c_str()) && file_delete(temporary))
      file = output_file_create_new(temporary.c_str(), name, &exists);
    if (file) {
      handle_ = file;
      target_ = name;
      temporary_ = std::move(temporary);
      return true;
    }
    if (!exists) return false;
  }
  return false;
}
