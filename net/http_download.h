// Fetching one file over plain HTTP/1.1.
#pragma once

#include <cstdint>
#include <string_view>

struct HttpLimits {
  int step_seconds = 10;      // connecting, one send, or one wait for the next bytes
  int overall_seconds = 120;  // the whole download, redirects included
  int max_redirects = 5;
  std::uint64_t max_body_bytes = UINT64_MAX;  // a larger body is refused
};

// Why a download failed, for telling the user.
enum class HttpProblem {
  None,
  Address,    // not a plain-HTTP address that can be requested
  Connect,    // no connection to the server
  Status,     // the server answered with another status than 200 (see status)
  TooLarge,   // the body exceeds max_body_bytes
  Timeout,    // a step or the whole download took too long
  Broken,     // the response is malformed, or ended or was reset early
  Write,      // the file could not be written
  Redirects,  // too many redirects, or one to an address that cannot be requested
};
struct HttpFailure {
  HttpProblem problem = HttpProblem::None;
  int status = 0;  // the server's status, for HttpProblem::Status
};

// Downloads the URL into the file; the number of body bytes written, 0 on
// failure. The body is written under a temporary name beside the file and
// moved over it only when complete (an empty body makes an empty file), so
// a download that fails leaves the file as it was and no temporary file: a
// body that ends early or with a reset connection, a chunked body without
// its last chunk, a status other than 200, a hostile or endless response, a
// stall of more than a step or more than the overall time. Redirects (301,
// 302, 303, 307, 308) to another plain-HTTP address are followed, at most
// max_redirects times; a URL with a blank or a control character is never
// requested. A body larger than max_body_bytes fails as soon as it is seen
// to be. On failure, `why` (when given) says what went wrong.
std::int32_t http_download(std::string_view url, std::string_view file_name,
                           const HttpLimits& limits = HttpLimits{}, HttpFailure* why = nullptr);
