// Fuzz target: the whole download loop (connecting, sending, receiving,
// framing, redirects, writing and replacing the file) over a scripted socket
// back end that stands in for sockets_posix.cpp. The input is the script:
// the response bytes are taken from its front, and from its back the fate of
// each connection attempt and of each receive (a block of bytes, a stall, an
// orderly close or a reset). Nothing waits: a stall is a receive whose time
// ran out. Whatever the script, the download must end, send well-formed
// requests, leave no temporary file, and leave the target either as it was
// or holding exactly the body it reports.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "net/http_download.h"
#include "net/sockets.h"
#include "net/sockets_common.h"

namespace {

FuzzedDataProvider* script = nullptr;

enum Fate { kData, kStall, kClose, kReset };

// A request is lines that end in CR LF, and no other CR or LF.
bool well_formed(std::string_view request) {
  for (std::size_t i = 0; i < request.size(); ++i) {
    if (request[i] == '\r' && (i + 1 == request.size() || request[i + 1] != '\n')) return false;
    if (request[i] == '\n' && (i == 0 || request[i - 1] != '\r')) return false;
  }
  return request.size() >= 4 && request.substr(request.size() - 4) == "\r\n\r\n";
}

std::string contents_of(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// The scripted back end.
NetConnection* net_open_connection(const char* host, std::uint16_t, int timeout_seconds) {
  if (!host || !*host || timeout_seconds <= 0) std::abort();
  if (script->ConsumeIntegralInRange<int>(0, 7) == 0) return nullptr;  // refused
  return new (std::nothrow) NetConnection{1, 0, nullptr};
}

void net_close(NetConnection* connection) {
  delete connection;
}

int platform_send(NetConnection*, const char* data, int length) {
  if (!well_formed(std::string_view(data, static_cast<std::size_t>(length)))) std::abort();
  return length;
}

int platform_receive(NetConnection*, char* buffer, int maximum, int wait_milliseconds) {
  if (wait_milliseconds <= 0 || maximum <= 0) std::abort();
  if (script->remaining_bytes() == 0) return 0;
  switch (script->ConsumeIntegralInRange<int>(kData, kReset)) {
    case kStall:
      return NET_RECEIVE_TIMED_OUT;
    case kClose:
      return 0;
    case kReset:
      return NET_RECEIVE_FAILED;
    default: {
      const std::size_t wanted = script->ConsumeIntegralInRange<std::size_t>(1, 4096);
      const std::vector<std::uint8_t> bytes =
          script->ConsumeBytes<std::uint8_t>(std::min<std::size_t>(wanted, maximum));
      if (bytes.empty()) return 0;
      std::memcpy(buffer, bytes.data(), bytes.size());
      return static_cast<int>(bytes.size());
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                           ("skalaro-download-fuzz-" + std::to_string(getpid()));
  static const std::string target = (dir / "jhead.exe").string();
  std::filesystem::create_directories(dir);
  FuzzedDataProvider provider(data, size);
  script = &provider;
  const bool old_file = provider.ConsumeBool();
  std::filesystem::remove(target);
  if (old_file) std::ofstream(target, std::ios::binary) << "old tool";
  HttpLimits limits;
  limits.step_seconds = 1;
  const std::int32_t written = http_download("http://fuzz.invalid/jhead.exe", target, limits);
  script = nullptr;
  // Nothing but the target may be left in the directory.
  const auto names = std::distance(std::filesystem::directory_iterator(dir), {});
  if (written < 0 || names > 1) std::abort();
  if (!std::filesystem::exists(target)) {
    if (written != 0 || old_file) std::abort();  // a failure must keep the old file
  } else {
    const std::string contents = contents_of(target);
    const bool untouched = old_file && contents == "old tool" && written == 0;
    if (!untouched && contents.size() != static_cast<std::size_t>(written)) std::abort();
  }
  return 0;
}
