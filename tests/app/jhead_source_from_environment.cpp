// The tool's source for the build of Skalaro.exe that the end-to-end tests
// run: the address and the digest come from the environment, so that the
// tests serve the tool from a loopback server and pin their own file's
// digest. The shipped program links app/jhead_source.cpp instead.
#include <cstdlib>

#include "app/tool_download.h"

DownloadSource jhead_download_source() {
  const char* url = std::getenv("SKALARO_TEST_JHEAD_URL");
  const char* digest = std::getenv("SKALARO_TEST_JHEAD_SHA256");
  return {url ? url : "", digest ? digest : ""};
}
