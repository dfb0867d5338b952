// Downloads from a real HTTP server on loopback: the request, the three
// kinds of body, redirects, and servers that fail, stall or turn hostile.
#include "net/http_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "net/sockets.h"
#include "runtime/file_io.h"
#include "support/loopback_server.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

class HttpDownloadTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { net_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    net_init();
  }
  ScratchDir dir;
  std::string target = dir.file("jhead.exe");

  std::string downloaded() {
    EXPECT_TRUE(file_left()) << "no file";
    return contents_of_target();
  }
  std::string contents_of_target() {
    std::vector<std::uint8_t> contents;
    file_read_whole(target.c_str(), contents);
    return std::string(contents.begin(), contents.end());
  }
  bool file_left() { return file_exists(target.c_str()); }
  // The names in the scratch directory: a download leaves no temporary file.
  std::size_t files_in_dir() {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()),
                                                  std::filesystem::directory_iterator()));
  }
  static LoopbackServer::Script answer(const std::string& response) {
    return [response](LoopbackPeer& peer, int) { peer.send_text(response); };
  }
  static HttpLimits short_limits(int step, int overall) {
    HttpLimits limits;
    limits.step_seconds = step;
    limits.overall_seconds = overall;
    return limits;
  }
  static double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
};

TEST_F(HttpDownloadTest, request_names_the_target_and_the_host_with_its_port) {
  LoopbackServer server;
  server.serve(1, answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
  EXPECT_EQ(http_download(server.url("tools/jhead.exe?v=1"), target), 2);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            "GET /tools/jhead.exe?v=1 HTTP/1.1\r\nAccept: */*\r\nHost: 127.0.0.1:" +
                std::to_string(server.port()) + "\r\nConnection: close\r\n\r\n");
}

TEST_F(HttpDownloadTest, content_length_body_writes_only_the_announced_bytes) {
  LoopbackServer server;
  server.serve(1, answer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloTRAILING"));
  EXPECT_EQ(http_download(server.url("x"), target), 5);
  EXPECT_EQ(downloaded(), "hello");
}

TEST_F(HttpDownloadTest, zero_length_body_gives_an_empty_file_and_zero) {
  LoopbackServer server;
  server.serve(1, answer("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_EQ(http_download(server.url("x"), target), 0);
  EXPECT_EQ(downloaded(), "");
}

TEST_F(HttpDownloadTest, larger_body_across_many_blocks) {
  std::string body;
  for (int i = 0; i < 70000; ++i) body.push_back(static_cast<char>('A' + i % 26));
  LoopbackServer server;
  server.serve(1, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\n\r\n");
    for (std::size_t at = 0; at < body.size(); at += 7000) {
      peer.send_text(body.substr(at, 7000));
      peer.pause(5);
    }
  });
  EXPECT_EQ(http_download(server.url("big"), target), 70000);
  EXPECT_EQ(downloaded(), body);
}

TEST_F(HttpDownloadTest, chunks_in_one_block_and_framing_split_across_blocks) {
  LoopbackServer server;
  server.serve(2, [](LoopbackPeer& peer, int n) {
    const std::string response =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
        "chunked\r\n\r\n3\r\nabc\r\n4\r\ndefg\r\n1\r\nh\r\n0\r\n\r\n";
    if (n == 0) {
      peer.send_text(response);
      return;
    }
    for (char c : response) {  // one byte at a time
      peer.send_text(std::string(1, c));
      peer.pause(2);
    }
  });
  EXPECT_EQ(http_download(server.url("one"), target), 8);
  EXPECT_EQ(downloaded(), "abcdefgh");
  EXPECT_EQ(http_download(server.url("split"), target), 8);
  EXPECT_EQ(downloaded(), "abcdefgh");
}

TEST_F(HttpDownloadTest, body_without_length_is_read_until_the_server_closes) {
  LoopbackServer server;
  server.serve(1, [](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.0 200 OK\r\n\r\nfirst ");
    peer.pause(300);
    peer.send_text("second");
  });
  EXPECT_EQ(http_download(server.url("x"), target), 12);
  EXPECT_EQ(downloaded(), "first second");
}

TEST_F(HttpDownloadTest, not_found_or_too_large_creates_no_file_and_says_why) {
  LoopbackServer server;
  server.serve(2, [](LoopbackPeer& peer, int n) {
    peer.send_text(n == 0 ? "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"
                          : "HTTP/1.1 200 OK\r\n\r\n" + std::string(5000, 'x'));
  });
  HttpFailure why;
  EXPECT_EQ(http_download(server.url("x"), target, {}, &why), 0);
  EXPECT_EQ(why.problem, HttpProblem::Status);
  EXPECT_EQ(why.status, 404);
  HttpLimits limits;
  limits.max_body_bytes = 4096;
  EXPECT_EQ(http_download(server.url("x"), target, limits, &why), 0);
  EXPECT_EQ(why.problem, HttpProblem::TooLarge);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, refused_connection_and_unknown_host_fail) {
  std::uint16_t closed_port;
  {
    LoopbackServer unused;
    closed_port = unused.port();
  }
  EXPECT_EQ(http_download("http://127.0.0.1:" + std::to_string(closed_port) + "/x", target), 0);
  EXPECT_EQ(http_download("http://no-such-host.invalid/jhead.exe", target), 0);
  EXPECT_EQ(http_download("not a url", target), 0);
  EXPECT_EQ(http_download("", target), 0);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, body_cut_before_its_length_fails_and_removes_the_file) {
  LoopbackServer server;
  server.serve(2, [](LoopbackPeer& peer, int n) {
    if (n == 0)
      peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part");
    else
      peer.send_text("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nparts\r\n");
  });
  EXPECT_EQ(http_download(server.url("length"), target), 0);
  EXPECT_FALSE(file_left());
  EXPECT_EQ(http_download(server.url("chunked"), target), 0);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, redirects_to_plain_http_are_followed) {
  LoopbackServer server;
  const std::string final_url = server.url("real/jhead.exe");
  server.serve(2, [&](LoopbackPeer& peer, int n) {
    if (n == 0)
      peer.send_text("HTTP/1.1 302 Found\r\nLocation: " + final_url +
                     "\r\nContent-Length: 20\r\n\r\n<html>moved</html>..");
    else
      peer.send_text(std::string("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nMZ\x90\x00", 42));
  });
  EXPECT_EQ(http_download(server.url("jhead.exe"), target), 4);
  EXPECT_EQ(downloaded(), std::string("MZ\x90\x00", 4));
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[1].rfind("GET /real/jhead.exe HTTP/1.1\r\n", 0), 0u);
}

TEST_F(HttpDownloadTest, redirects_elsewhere_or_without_end_fail_without_a_file) {
  LoopbackServer https;
  https.serve(1, answer("HTTP/1.1 301 Moved\r\nLocation: https://127.0.0.1/jhead.exe\r\n\r\n"));
  EXPECT_EQ(http_download(https.url("a"), target), 0);
  EXPECT_FALSE(file_left());
  LoopbackServer relative;
  relative.serve(1, answer("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\n\r\n"));
  EXPECT_EQ(http_download(relative.url("a"), target), 0);
  LoopbackServer smuggling;  // a bare CR would start a header line of the server's choosing
  const std::string split = smuggling.url("a\rX-Injected: 1");
  smuggling.serve(2, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 302 Found\r\nLocation: " + split + "\r\n\r\n");
  });
  EXPECT_EQ(http_download(smuggling.url("a"), target), 0);
  EXPECT_EQ(smuggling.requests().size(), 1u);
  LoopbackServer loop;
  const std::string again = loop.url("again");
  loop.serve(6, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 307 Again\r\nLocation: " + again + "\r\n\r\n");
  });
  EXPECT_EQ(http_download(again, target), 0);
  EXPECT_EQ(loop.requests().size(), 6u);  // the first request and five redirects
  EXPECT_FALSE(file_left());
}

// The tests with time limits assert what ended the download (the server was
// still stalling or sending when it gave up) and its outcome; the bounds on
// the time they take are loose, for a loaded machine.
TEST_F(HttpDownloadTest, stalled_server_fails_after_the_step_limit) {
  // The server would finish after a stall of 8 s; the download gives up first.
  LoopbackServer server;
  std::atomic<bool> stall_over{false};
  server.serve(1, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    if (!peer.pause(8000)) return;
    stall_over = true;
    peer.send_text("defghij");
  });
  const auto start = Clock::now();
  EXPECT_EQ(http_download(server.url("x"), target, short_limits(1, 60)), 0);
  EXPECT_FALSE(stall_over);
  EXPECT_LT(seconds_since(start), 30.0);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, a_byte_now_and_then_cannot_hold_the_download_past_its_overall_limit) {
  // The whole body would arrive after 8 s, a byte every 400 ms, each within
  // the step limit; the overall limit of 2 s ends the download first.
  LoopbackServer server;
  std::atomic<bool> sending{true};
  server.serve(1, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n");
    for (int i = 0; i < 20; ++i) {
      if (!peer.pause(400)) return;
      peer.send_text("x");
    }
    sending = false;
  });
  const auto start = Clock::now();
  EXPECT_EQ(http_download(server.url("x"), target, short_limits(5, 2)), 0);
  EXPECT_TRUE(sending);
  EXPECT_LT(seconds_since(start), 30.0);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, connection_attempt_is_bounded_by_the_step_limit) {
  // A server whose listen queue is full never answers the attempt.
  LoopbackServer crowded;
  crowded.fill_listen_queue();
  const auto start = Clock::now();
  EXPECT_EQ(http_download(crowded.url("x"), target, short_limits(1, 60)), 0);
  EXPECT_LT(seconds_since(start), 30.0);  // unbounded, the attempt takes over two minutes
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, chunked_coding_is_recognised_in_any_letter_case) {
  LoopbackServer server;
  server.serve(1, answer("HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: Chunked\r\n\r\n"
                         "3\r\nabc\r\n0\r\n\r\n"));
  EXPECT_EQ(http_download(server.url("x"), target), 3);
  EXPECT_EQ(downloaded(), "abc");
}

TEST_F(HttpDownloadTest, chunking_wins_over_a_length_and_a_body_still_coded_fails) {
  LoopbackServer server;
  server.serve(2, [](LoopbackPeer& peer, int request) {
    // The length counts the framing; the chunks end the body first.
    if (request == 0)
      peer.send_text(
          "HTTP/1.1 200 OK\r\nContent-Length: 13\r\nTransfer-Encoding: chunked\r\n"
          "\r\n3\r\nabc\r\n0\r\n\r\n");
    else
      peer.send_text(
          "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
          "3\r\nabc\r\n0\r\n\r\n");
  });
  EXPECT_EQ(http_download(server.url("x"), target), 3);
  EXPECT_EQ(downloaded(), "abc");
  std::filesystem::remove(target);
  EXPECT_EQ(http_download(server.url("x"), target), 0);
  EXPECT_FALSE(file_left());
  EXPECT_EQ(files_in_dir(), 0u);
}

TEST_F(HttpDownloadTest, reset_connection_fails_a_body_read_to_the_close) {
  LoopbackServer server;
  server.serve(1, [](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.0 200 OK\r\n\r\nthe first part of the tool");
    peer.pause(200);
    peer.reset();
  });
  EXPECT_EQ(http_download(server.url("x"), target), 0);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, body_replaces_the_file_only_when_complete) {
  { std::ofstream(target, std::ios::binary) << "old tool"; }
  LoopbackServer server;
  std::atomic<bool> old_file_while_sending{false};
  server.serve(2, [&](LoopbackPeer& peer, int n) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nnew ");
    if (n == 0) return;  // cut short
    peer.pause(300);
    old_file_while_sending = contents_of_target() == "old tool";
    peer.send_text("tool");
  });
  EXPECT_EQ(http_download(server.url("cut"), target), 0);
  EXPECT_EQ(downloaded(), "old tool");
  EXPECT_EQ(files_in_dir(), 1u);
  EXPECT_EQ(http_download(server.url("whole"), target), 8);
  EXPECT_TRUE(old_file_while_sending);
  EXPECT_EQ(downloaded(), "new tool");
  EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(HttpDownloadTest, test_server_stops_when_fewer_clients_came_than_it_expected) {
  const auto start = Clock::now();
  {
    LoopbackServer server;
    server.serve(2, answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
    EXPECT_EQ(http_download(server.url("x"), target), 2);
  }
  EXPECT_LT(seconds_since(start), 30.0);
}

TEST_F(HttpDownloadTest, hostile_framing_fails_without_a_file) {
  const char* hostile[] = {
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\nxyz",
      "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nxyz",
      "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\nxyz",
  };
  for (const char* response : hostile) {
    LoopbackServer server;
    server.serve(1, answer(response));
    EXPECT_EQ(http_download(server.url("x"), target), 0) << response;
    EXPECT_FALSE(file_left()) << response;
  }
  LoopbackServer endless_status;
  endless_status.serve(1, answer(std::string(3000, 'H')));
  EXPECT_EQ(http_download(endless_status.url("x"), target), 0);
  LoopbackServer long_headers;
  long_headers.serve(
      1, answer("HTTP/1.1 200 OK\r\nX-Long: " + std::string(2100, 'y') + "\r\n\r\nbody"));
  EXPECT_EQ(http_download(long_headers.url("x"), target), 0);
  EXPECT_FALSE(file_left());
}

}  // namespace
