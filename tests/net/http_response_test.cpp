// HTTP response framing, fed in every way a network may cut it.
#include "net/http_response.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Result {
  HttpOutcome outcome;
  std::string body;
  int starts = 0;  // empty calls announcing the body
};

// Feeds the response in pieces of `piece` bytes (0: all at once), then closes when asked.
Result run(const std::string& response, std::size_t piece = 0, bool close_at_end = true) {
  HttpResponseParser parser;
  Result result{HttpOutcome::NeedMore, {}, 0};
  HttpBodySink sink = [&](std::string_view bytes) {
    if (bytes.empty()) ++result.starts;
    result.body.append(bytes);
    return true;
  };
  if (piece == 0) piece = response.size() ? response.size() : 1;
  for (std::size_t at = 0; at < response.size() && parser.outcome() == HttpOutcome::NeedMore;
       at += piece)
    parser.feed(std::string_view(response).substr(at, piece), sink);
  if (close_at_end) parser.finish_at_close(sink);
  result.outcome = parser.outcome();
  return result;
}

TEST(HttpResponse, content_length_writes_exactly_the_announced_bytes) {
  Result r = run("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA");
  EXPECT_EQ(r.outcome, HttpOutcome::Complete);
  EXPECT_EQ(r.body, "hello");
  EXPECT_EQ(r.starts, 1);
  for (std::size_t piece : {1u, 2u, 7u})
    EXPECT_EQ(run("HTTP/1.1 200 OK\r\ncontent-LENGTH:5\r\n\r\nhello", piece).body, "hello");
}

TEST(HttpResponse, zero_length_body_completes_with_an_announced_start) {
  Result r = run("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 0, false);
  EXPECT_EQ(r.outcome, HttpOutcome::Complete);
  EXPECT_EQ(r.body, "");
  EXPECT_EQ(r.starts, 1);
}

TEST(HttpResponse, body_shorter_than_announced_fails) {
  EXPECT_EQ(run("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort", 0, false).outcome,
            HttpOutcome::NeedMore);
}

TEST(HttpResponse, chunks_in_one_block_and_split_anywhere) {
  const std::string response =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "4\r\nWiki\r\n5;ext=1\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n0\r\n\r\n";
  for (std::size_t piece : {0u, 1u, 2u, 3u, 5u, 16u}) {
    Result r = run(response, piece, false);
    EXPECT_EQ(r.outcome, HttpOutcome::Complete) << piece;
    EXPECT_EQ(r.body, "Wikipedia in\r\n\r\nchunks.") << piece;
  }
  EXPECT_EQ(run("HTTP/1.1 200 OK\ntransfer-encoding: identity, Chunked\n\n3\nabc\n0\n\n").body,
            "abc");
}

TEST(HttpResponse, chunked_body_cut_before_its_last_chunk_fails) {
  const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  EXPECT_EQ(run(head + "4\r\nWiki\r\n").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(head + "4\r\nWi").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(head + "4\r\nWikiXX5\r\n").outcome,
            HttpOutcome::Failed);  // no line end after the data
}

TEST(HttpResponse, chunked_wins_over_a_length_and_other_codings_fail) {
  Result r =
      run("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: "
          "13\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
  EXPECT_EQ(r.outcome, HttpOutcome::Complete);
  EXPECT_EQ(r.body, "abc");
  // A coding the download cannot undo, or one applied after the chunking.
  for (const char* codings : {"gzip, chunked", "gzip", "chunked, gzip", "chunked, chunked"}) {
    r = run(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: ") + codings +
            "\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
    EXPECT_EQ(r.outcome, HttpOutcome::Failed) << codings;
    EXPECT_EQ(r.starts, 0) << codings;  // no file is begun
  }
}

TEST(HttpResponse, body_without_length_runs_to_the_close) {
  Result r = run("HTTP/1.1 200 OK\r\nServer: x\r\n\r\nall of it", 4);
  EXPECT_EQ(r.outcome, HttpOutcome::Complete);
  EXPECT_EQ(r.body, "all of it");
}

TEST(HttpResponse, other_statuses_fail_and_redirects_carry_their_location) {
  EXPECT_EQ(run("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!").outcome,
            HttpOutcome::Failed);
  EXPECT_EQ(run("HTTP/1.1 404 Not 200\r\n\r\n").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run("HTTP/1.1 2000 OK\r\n\r\nx").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run("SMTP 200 OK\r\n\r\nx").outcome, HttpOutcome::Failed);
  HttpResponseParser parser;
  HttpBodySink sink = [](std::string_view) { return true; };
  EXPECT_EQ(parser.feed(
                "HTTP/1.1 302 Found\r\nLocation:  http://h/next  \r\n\r\n<html>moved</html>", sink),
            HttpOutcome::Redirect);
  EXPECT_EQ(parser.location(), "http://h/next");
  EXPECT_EQ(parser.body_bytes(), 0u);
  EXPECT_EQ(run("HTTP/1.1 301 Moved\r\n\r\n").outcome, HttpOutcome::Failed);  // no location
}

TEST(HttpResponse, headers_must_end_within_2048_bytes) {
  std::string long_header =
      "HTTP/1.1 200 OK\r\nX-Filler: " + std::string(2100, 'f') + "\r\n\r\nbody";
  EXPECT_EQ(run(long_header, 100).outcome, HttpOutcome::Failed);
  std::string no_line_end(3000, 'H');
  Result r = run(no_line_end, 0, false);
  EXPECT_EQ(r.outcome, HttpOutcome::Failed);
  EXPECT_EQ(r.starts, 0);
  std::string just_fits = "HTTP/1.1 200 OK\r\nX: " + std::string(2048 - 24, 'f') + "\r\n\r\n";
  ASSERT_EQ(just_fits.size(), 2048u);
  EXPECT_EQ(run(just_fits + "ok").outcome, HttpOutcome::Complete);
  EXPECT_EQ(run("HTTP/1.1 200 OK\r\nContent-Le").outcome,
            HttpOutcome::Failed);  // closed inside the headers
}

TEST(HttpResponse, hostile_sizes_are_refused) {
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  EXPECT_EQ(run(chunked + "ffffffffffffffff\r\nx").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(chunked + "-1\r\nx").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(chunked + "zz\r\nx").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(chunked + "\r\n").outcome, HttpOutcome::Failed);
  EXPECT_EQ(run(chunked + std::string(300, '0')).outcome, HttpOutcome::Failed);
  for (const char* length : {"-1", "99999999999999999999", "1000000001", "12abc", "", "0x10"})
    EXPECT_EQ(
        run(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\nbody").outcome,
        HttpOutcome::Failed)
        << length;
  EXPECT_EQ(run("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\nbody!").outcome,
            HttpOutcome::Failed);
}

TEST(HttpResponse, refusing_sink_fails_the_download) {
  HttpResponseParser parser;
  HttpBodySink refuse = [](std::string_view bytes) { return bytes.empty(); };
  EXPECT_EQ(parser.feed("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", refuse),
            HttpOutcome::Failed);
}

TEST(HttpRequest, request_line_and_host_line) {
  EXPECT_EQ(http_request_text("http://tools.example/bin/jhead.exe"),
            "GET /bin/jhead.exe HTTP/1.1\r\nAccept: */*\r\nHost: tools.example\r\nConnection: "
            "close\r\n\r\n");
  EXPECT_EQ(http_request_text("http://tools.example:8080/jhead.exe?v=3"),
            "GET /jhead.exe?v=3 HTTP/1.1\r\nAccept: */*\r\nHost: tools.example:8080\r\nConnection: "
            "close\r\n\r\n");
  EXPECT_EQ(http_request_text("http://tools.example"),
            "GET / HTTP/1.1\r\nAccept: */*\r\nHost: tools.example\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(http_port("http://h:80/x"), 80);
  EXPECT_EQ(http_port("http://h:abc/x"), 0);
  EXPECT_EQ(http_port("http://h:65537/x"), 1);
}

}  // namespace
