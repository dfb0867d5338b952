// HTTP response framing.
#include "net/http_response.h"

#include "runtime/strings.h"

namespace {

constexpr std::size_t kFramingLineLimit = 256;
constexpr int kLargestHexDigits = 10;  // chunks below a terabyte

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Takes one line ending in "\n" (with an optional "\r" before it) off the
// front of `buffer`; false when no whole line is there yet.
bool take_line(std::string& buffer, std::string* line) {
  std::size_t end = buffer.find('\n');
  if (end == std::string::npos) return false;
  std::size_t length = end > 0 && buffer[end - 1] == '\r' ? end - 1 : end;
  *line = buffer.substr(0, length);
  buffer.erase(0, end + 1);
  return true;
}

bool parse_decimal(std::string_view text, std::uint64_t limit, std::uint64_t* value) {
  text = trimmed(text);
  if (text.empty()) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint64_t>(c - '0');
    if (result > limit) return false;
  }
  *value = result;
  return true;
}

// Just past the first empty line (the end of the headers), or npos.
std::size_t find_header_end(const std::string& head) {
  std::size_t start = 0;
  while (true) {
    std::size_t newline = head.find('\n', start);
    if (newline == std::string::npos) return std::string::npos;
    std::size_t length = newline - start;
    if (length == 0 || (length == 1 && head[start] == '\r')) return newline + 1;
    start = newline + 1;
  }
}

// Takes a Transfer-Encoding list ("identity, Chunked", letter case ignored)
// after any earlier ones. Only chunked, applied once and last, is undone;
// identity changes nothing. Any other coding (gzip, deflate) would leave
// the body coded on the disk, so it fails the download, and so does a
// coding after chunked, whose framing then could not be found.
bool take_codings(std::string_view codings, bool* chunked) {
  while (!codings.empty()) {
    const std::size_t comma = codings.find(',');
    const std::string_view coding = trimmed(codings.substr(0, comma));
    if (!coding.empty()) {
      if (*chunked) return false;
      if (ascii_equal_nocase(coding, "chunked"))
        *chunked = true;
      else if (!ascii_equal_nocase(coding, "identity"))
        return false;
    }
    if (comma == std::string_view::npos) break;
    codings.remove_prefix(comma + 1);
  }
  return true;
}

int parse_status(std::string_view line) {
  if (!ascii_starts_with_nocase(line, "http/")) return 0;
  std::size_t space = line.find(' ');
  if (space == std::string_view::npos || line.size() < space + 4) return 0;
  int code = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    code = code * 10 + (line[i] - '0');
  }
  if (line.size() > space + 4 && line[space + 4] != ' ') return 0;
  return code;
}

}  // namespace

bool http_is_redirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

HttpOutcome HttpResponseParser::fail(std::string why) {
  if (failure_.empty()) failure_ = std::move(why);
  stage_ = Stage::Done;
  return outcome_ = HttpOutcome::Failed;
}

bool HttpResponseParser::header_line(std::string_view line) {
  if (ascii_starts_with_nocase(line, "transfer-encoding:")) {
    return take_codings(line.substr(18), &chunked_);
  } else if (ascii_starts_with_nocase(line, "content-length:")) {
    std::uint64_t length = 0;
    if (!parse_decimal(line.substr(15), kLargestBody, &length)) return false;
    if (has_length_ && length != content_length_) return false;  // two different lengths
    has_length_ = true;
    content_length_ = length;
  } else if (ascii_starts_with_nocase(line, "location:")) {
    location_ = std::string(trimmed(line.substr(9)));
  }
  return true;
}

bool HttpResponseParser::deliver(std::string_view bytes, const HttpBodySink& sink) {
  body_bytes_ += bytes.size();
  if (body_bytes_ > kLargestBody) return false;
  return bytes.empty() || sink(bytes);
}

bool HttpResponseParser::take_headers(const HttpBodySink& sink) {
  std::string line;
  if (!take_line(head_, &line)) return true;  // the status line is not complete yet
  status_ = parse_status(line);
  while (take_line(head_, &line)) {
    if (line.empty()) {
      if (status_ == 200) {
        // Chunked framing ends the body by itself; a length beside it is ignored.
        stage_ = chunked_ ? Stage::ChunkSize : has_length_ ? Stage::Length : Stage::ToClose;
        if (!sink(std::string_view())) return false;
        return true;
      }
      stage_ = Stage::Done;
      return true;
    }
    if (!header_line(line)) {
      failure_ = "bad header: " + line;
      return false;
    }
  }
  return false;  // cannot happen: the caller saw the blank line
}

HttpOutcome HttpResponseParser::feed(std::string_view bytes, const HttpBodySink& sink) {
  if (outcome_ != HttpOutcome::NeedMore) return outcome_;
  if (stage_ != Stage::Headers) return feed_body(bytes, sink);
  const std::size_t before = head_.size();
  head_.append(bytes.substr(0, kHeaderLimit + 1 - before));
  const std::size_t header_end = find_header_end(head_);
  if (header_end == std::string::npos || header_end > kHeaderLimit) {
    if (head_.size() > kHeaderLimit) return fail("headers do not end within 2048 bytes");
    return HttpOutcome::NeedMore;
  }
  // What arrived after the headers is body or chunk framing.
  const std::string_view rest = bytes.substr(header_end - before);
  head_.resize(header_end);
  if (!take_headers(sink)) return fail(failure_.empty() ? "bad headers" : failure_);
  head_.clear();
  if (status_ != 200) {
    if (!http_is_redirect(status_)) return fail("status " + std::to_string(status_));
    if (location_.empty()) return fail("redirect without a location");
    return outcome_ = HttpOutcome::Redirect;
  }
  if (stage_ == Stage::Length && content_length_ == 0) {
    stage_ = Stage::Done;
    return outcome_ = HttpOutcome::Complete;
  }
  return feed_body(rest, sink);
}

bool HttpResponseParser::chunk_size_line(std::string_view line) {
  line = line.substr(0, line.find(';'));  // chunk extensions are ignored
  line = trimmed(line);
  if (line.empty() || line.size() > kLargestHexDigits) return false;
  std::uint64_t size = 0;
  for (char c : line) {
    int digit = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
    if (digit < 0) return false;
    size = size * 16 + static_cast<std::uint64_t>(digit);
  }
  chunk_left_ = size;
  return true;
}

HttpOutcome HttpResponseParser::feed_body(std::string_view bytes, const HttpBodySink& sink) {
  while (outcome_ == HttpOutcome::NeedMore) {
    switch (stage_) {
      case Stage::Length: {
        const std::uint64_t due = content_length_ - body_bytes_;
        const std::string_view part =
            bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(due, bytes.size())));
        if (!deliver(part, sink)) return fail("writing failed");
        if (body_bytes_ == content_length_) {
          stage_ = Stage::Done;
          return outcome_ = HttpOutcome::Complete;
        }
        return HttpOutcome::NeedMore;
      }
      case Stage::ToClose:
        if (!deliver(bytes, sink)) return fail("writing failed or body too large");
        return HttpOutcome::NeedMore;
      case Stage::ChunkSize:
      case Stage::ChunkEnd: {
        std::size_t newline = bytes.find('\n');
        head_.append(
            bytes.substr(0, newline == std::string_view::npos ? bytes.size() : newline + 1));
        if (head_.size() > kFramingLineLimit) return fail("chunk framing line too long");
        if (newline == std::string_view::npos) return HttpOutcome::NeedMore;
        bytes.remove_prefix(newline + 1);
        std::string line;
        take_line(head_, &line);
        head_.clear();
        if (stage_ == Stage::ChunkEnd) {
          if (!line.empty()) return fail("chunk data not followed by a line end");
          stage_ = Stage::ChunkSize;
          break;
        }
        if (!chunk_size_line(line)) return fail("bad chunk size: " + line);
        if (chunk_left_ == 0) {
          stage_ = Stage::Done;
          return outcome_ = HttpOutcome::Complete;
        }
        stage_ = Stage::ChunkData;
        break;
      }
      case Stage::ChunkData: {
        const std::string_view part = bytes.substr(
            0, static_cast<std::size_t>(std::min<std::uint64_t>(chunk_left_, bytes.size())));
        if (!deliver(part, sink)) return fail("writing failed or body too large");
        chunk_left_ -= part.size();
        bytes.remove_prefix(part.size());
        if (chunk_left_ > 0) return HttpOutcome::NeedMore;
        stage_ = Stage::ChunkEnd;
        break;
      }
      case Stage::Headers:
      case Stage::Done:
        return outcome_;
    }
  }
  return outcome_;
}

HttpOutcome HttpResponseParser::finish_at_close(const HttpBodySink&) {
  if (outcome_ != HttpOutcome::NeedMore) return outcome_;
  if (stage_ == Stage::ToClose) {
    stage_ = Stage::Done;
    return outcome_ = HttpOutcome::Complete;
  }
  if (stage_ == Stage::Headers) return fail("connection closed before the headers ended");
  return fail("connection closed before the body ended");
}

std::uint16_t http_port(std::string_view url) {
  const std::string port = url_split(url, UrlRequest::Port);
  if (port.empty()) return 80;
  // Decimal digits after any blanks, as "%d" reads them; anything else reads as 0.
  std::uint32_t value = 0;
  std::size_t at = 0;
  while (at < port.size() && (port[at] == ' ' || port[at] == '\t')) ++at;
  for (; at < port.size() && port[at] >= '0' && port[at] <= '9'; ++at)
    value = value * 10 + static_cast<std::uint32_t>(port[at] - '0');
  return static_cast<std::uint16_t>(value);
}

std::string http_request_text(std::string_view url) {
  const std::uint16_t port = http_port(url);
  std::string request = "GET /";
  request.append(url_split(url, UrlRequest::Target));
  request.append(" HTTP/1.1\r\nAccept: */*\r\nHost: ");
  request.append(url_split(url, UrlRequest::Host));
  if (port != 80) request.append(":").append(std::to_string(port));
  request.append("\r\nConnection: close\r\n\r\n");
  return request;
}
