// Fetching one file over plain HTTP/1.1.
#pragma once

#include <cstdint>
#include <string_view>

// Downloads the URL into the file; the number of body bytes written, 0 on
// failure. The file is created just before the first body bytes (even for
// an empty body) and removed again when the download fails: a body that
// ends early, a chunked body without its last chunk, a status other than
// 200, a hostile or endless response, or more than the overall time limit.
// Redirects (301, 302, 303, 307, 308) to another plain-HTTP address are
// followed, at most five times.
std::int32_t http_download(std::string_view url, std::string_view file_name);

struct HttpLimits {
  int step_seconds = 10;      // one send, or one wait for the next bytes
  int overall_seconds = 120;  // the whole download, redirects included
  int max_redirects = 5;
};

// Tests shorten the limits; the program keeps the defaults.
void http_set_limits(const HttpLimits& limits);
HttpLimits http_limits();
