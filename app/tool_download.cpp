// The checked download of the EXIF tool.
#include "app/tool_download.h"

#include <string>

#include "app/sha256.h"
#include "net/http_download.h"
#include "runtime/files.h"
#include "runtime/strings.h"

int download_verified(std::string_view url, std::string_view file_name,
                      std::string_view sha256_hex) {
  const std::string arriving = std::string(file_name) + ".download";
  if (http_download(url, arriving) <= 0) {
    file_delete(arriving);
    return 0;
  }
  const std::string digest = sha256_file_hex(arriving);
  if (digest.empty() || digest != string_lower(sha256_hex) ||
      !file_move_over(arriving, file_name)) {
    file_delete(arriving);
    return 0;
  }
  return 1;
}
