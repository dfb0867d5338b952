// HTTP/1.1 response framing, fed with the bytes as they arrive: the status
// line, the headers, and a body of a given length, in chunks, or up to the
// connection's close. Portable, and strict where a hostile server could
// make it overflow or never end: the status line and headers must end
// within the first 2048 bytes, sizes must be plain numbers of sane size,
// and a body that ends early is a failure, not a short success. The only
// transfer coding undone is chunked (when it is the last one; it wins over
// a content length); a body in any other coding fails, since it would be
// saved still coded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/url_parts.h"

enum class HttpOutcome { NeedMore, Complete, Redirect, Failed };

// Receives body bytes in order; an empty call announces the body's start
// (made once, before any data, even for an empty body). False stops the
// download as failed.
using HttpBodySink = std::function<bool(std::string_view)>;

class HttpResponseParser {
 public:
  static constexpr std::size_t kHeaderLimit = 2048;
  static constexpr std::uint64_t kLargestBody = 1000000000;

  HttpOutcome feed(std::string_view bytes, const HttpBodySink& sink);
  // The peer closed the connection: a body read to the close is complete,
  // anything else unfinished has failed.
  HttpOutcome finish_at_close(const HttpBodySink& sink);

  HttpOutcome outcome() const { return outcome_; }
  int status() const { return status_; }
  const std::string& location() const { return location_; }
  const std::string& failure() const { return failure_; }
  std::uint64_t body_bytes() const { return body_bytes_; }

 private:
  enum class Stage { Headers, Length, ToClose, ChunkSize, ChunkData, ChunkEnd, Done };

  HttpOutcome fail(std::string why);
  bool take_headers(const HttpBodySink& sink);
  bool header_line(std::string_view line);
  HttpOutcome feed_body(std::string_view bytes, const HttpBodySink& sink);
  bool deliver(std::string_view bytes, const HttpBodySink& sink);
  bool chunk_size_line(std::string_view line);

  Stage stage_ = Stage::Headers;
  HttpOutcome outcome_ = HttpOutcome::NeedMore;
  std::string head_;  // header bytes, and the framing line being collected
  int status_ = 0;
  bool chunked_ = false;
  bool has_length_ = false;
  std::uint64_t content_length_ = 0;
  std::uint64_t chunk_left_ = 0;
  std::uint64_t body_bytes_ = 0;
  std::string location_;
  std::string failure_;
};

// The request text for a URL: "GET /target HTTP/1.1", Accept, Host (with
// ":port" unless it is 80) and Connection: close.
std::string http_request_text(std::string_view url);
// The URL's port: its port part read as a decimal number (16 bits), or 80.
std::uint16_t http_port(std::string_view url);
// True for 301, 302, 303, 307 and 308.
bool http_is_redirect(int status);
