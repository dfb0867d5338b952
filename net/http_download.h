// Fetching one file over plain HTTP/1.1.
#pragma once

#include <cstdint>
#include <string_view>

struct HttpLimits {
  int step_seconds = 10;      // connecting, one send, or one wait for the next bytes
  int overall_seconds = 120;  // the whole download, redirects included
  int max_redirects = 5;
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
// requested.
std::int32_t http_download(std::string_view url, std::string_view file_name,
                           const HttpLimits& limits = HttpLimits{});
