// The tool's source for the shipped program: the author's address and the
// pinned digest.
#include "app/tool_download.h"

DownloadSource jhead_download_source() {
  return {std::string(JHEAD_DOWNLOAD_URL), std::string(JHEAD_SHA256)};
}
