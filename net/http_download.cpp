// The download loop: connect, send the request, feed the response framing
// with what arrives and write the body as it comes.
#include "net/http_download.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "net/http_response.h"
#include "net/sockets.h"
#include "net/url_parts.h"
#include "runtime/file_io.h"
#include "runtime/strings.h"

namespace {

constexpr int kBlockSize = 2048;

using Clock = std::chrono::steady_clock;

struct Attempt {
  HttpOutcome outcome = HttpOutcome::Failed;
  std::string location;
  std::uint64_t written = 0;
  HttpFailure failure;
};

int seconds_left(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

// A plain-HTTP URL that fits a request: no blank or control character may
// split the request line or start a header line of its own.
bool requestable(std::string_view url) {
  for (char c : url)
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F') return false;
  return ascii_equal_nocase(url_part(url, URL_SCHEME), "http");
}

// The wait for one step: the step limit, or what is left of the whole time.
int step_wait(const HttpLimits& limits, Clock::time_point deadline) {
  return std::min(limits.step_seconds, seconds_left(deadline));
}

// Receives and frames the response until it completes, fails or redirects;
// true when it ended because a step or the whole time ran out.
bool exchange(NetConnection* connection, HttpResponseParser& parser, const HttpBodySink& sink,
              const HttpLimits& limits, Clock::time_point deadline) {
  char block[kBlockSize + 1];
  while (parser.outcome() == HttpOutcome::NeedMore) {
    const int wait = step_wait(limits, deadline);
    if (wait <= 0) return true;
    const NetReceived got = net_receive_within(connection, block, kBlockSize, wait);
    if (got.end == NetReceive::Data) {
      parser.feed(std::string_view(block, static_cast<std::size_t>(got.count)), sink);
      continue;
    }
    // Only the peer's orderly close can end a body read to the close; a
    // reset or a stall leaves the response unfinished.
    if (got.end == NetReceive::Closed) parser.finish_at_close(sink);
    return got.end == NetReceive::TimedOut;
  }
  return false;
}

Attempt fetch_once(std::string_view url, const std::string& file_name, const HttpLimits& limits,
                   Clock::time_point deadline) {
  Attempt attempt;
  HttpProblem& problem = attempt.failure.problem;
  const std::string host = url_split(url, UrlRequest::Host);
  const int connect_wait = step_wait(limits, deadline);
  problem = host.empty() || !requestable(url) ? HttpProblem::Address : HttpProblem::Timeout;
  if (problem == HttpProblem::Address || connect_wait <= 0) return attempt;
  NetConnection* connection = net_open_connection(host.c_str(), http_port(url), connect_wait);
  problem = HttpProblem::Connect;
  if (!connection) return attempt;
  const std::string request = http_request_text(url);
  OutputFile file;
  HttpResponseParser parser;
  std::uint64_t received = 0;
  problem = HttpProblem::Broken;
  if (net_send_all(connection, request.data(), static_cast<std::int64_t>(request.size()),
                   std::max(1, step_wait(limits, deadline)))) {
    const HttpBodySink sink = [&](std::string_view bytes) {
      received += bytes.size();
      if (received > limits.max_body_bytes) {
        problem = HttpProblem::TooLarge;
        return false;
      }
      const bool written = (file.is_open() || file.create(file_name.c_str())) &&
                           (bytes.empty() || file.write(bytes.data(), bytes.size()));
      if (!written) problem = HttpProblem::Write;
      return written;
    };
    if (exchange(connection, parser, sink, limits, deadline)) problem = HttpProblem::Timeout;
  }
  net_close(connection);
  attempt.outcome = parser.outcome();
  attempt.location = parser.location();
  attempt.written = parser.body_bytes();
  if (parser.status() != 0 && parser.status() != 200 && !http_is_redirect(parser.status())) {
    problem = HttpProblem::Status;
    attempt.failure.status = parser.status();
  }
  if (attempt.outcome != HttpOutcome::Complete || !file.commit()) {
    if (attempt.outcome == HttpOutcome::Complete) problem = HttpProblem::Write;
    file.discard();
    if (attempt.outcome != HttpOutcome::Redirect) attempt.outcome = HttpOutcome::Failed;
  } else {
    problem = HttpProblem::None;
  }
  return attempt;
}

}  // namespace

std::int32_t http_download(std::string_view url, std::string_view file_name,
                           const HttpLimits& limits, HttpFailure* why) {
  HttpFailure ignored;
  HttpFailure& failure = why ? *why : ignored;
  failure = {HttpProblem::Address, 0};
  if (url.empty() || file_name.empty()) return 0;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.overall_seconds);
  const std::string name(file_name);
  std::string current(url);
  for (int redirects = 0; redirects <= limits.max_redirects; ++redirects) {
    Attempt attempt = fetch_once(current, name, limits, deadline);
    failure = attempt.failure;
    if (attempt.outcome == HttpOutcome::Complete)
      return static_cast<std::int32_t>(std::min<std::uint64_t>(attempt.written, INT32_MAX));
    if (attempt.outcome != HttpOutcome::Redirect) return 0;
    failure = {HttpProblem::Redirects, 0};
    if (!requestable(attempt.location)) return 0;
    current = attempt.location;
  }
  return 0;
}
