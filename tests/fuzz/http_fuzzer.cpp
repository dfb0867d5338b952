// Fuzz target: any bytes as an HTTP response, fed in pieces of every size
// the input itself chooses; the framing must end, never overflow, and never
// deliver more body bytes than it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/http_response.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view response(reinterpret_cast<const char*>(data) + 1, size - 1);
  HttpResponseParser parser;
  std::size_t delivered = 0;
  HttpBodySink sink = [&](std::string_view bytes) {
    delivered += bytes.size();
    return true;
  };
  for (std::size_t at = 0; at < response.size() && parser.outcome() == HttpOutcome::NeedMore;
       at += piece)
    parser.feed(response.substr(at, piece), sink);
  parser.finish_at_close(sink);
  if (parser.outcome() == HttpOutcome::NeedMore) std::abort();
  if (delivered > response.size() || delivered != parser.body_bytes()) std::abort();
  return 0;
}
