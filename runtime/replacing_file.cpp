// Writing beside the target and moving into place.
#include "runtime/replacing_file.h"

bool ReplacingFile::create(const char* target) {
  discard();
  if (!target || !*target) return false;
  target_ = target;
  temporary_name_ = target_ + ".tmp";
  return temporary_.create(temporary_name_.c_str());
}

bool ReplacingFile::write(const void* data, std::size_t size) {
  return temporary_.write(data, size);
}

bool ReplacingFile::commit() {
  return temporary_.commit() && file_move_over(temporary_name_.c_str(), target_.c_str());
}
