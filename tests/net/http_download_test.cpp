// Downloads from a real HTTP server on loopback: the request, the three
// kinds of body, redirects, and servers that fail, stall or turn hostile.
#include "net/http_download.h"

#include <gtest/gtest.h>

#include <chrono>

#include "net/sockets.h"
#include "runtime/file_io.h"
#include "support/loopback_server.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

class HttpDownloadTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { net_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    net_init();
    saved_ = http_limits();
  }
  void TearDown() override {
    http_set_limits(saved_);
    RuntimeTest::TearDown();
  }
  ScratchDir dir;
  std::string target = dir.file("jhead.exe");
  HttpLimits saved_;

  std::string downloaded() {
    std::vector<std::uint8_t> contents;
    EXPECT_TRUE(file_read_whole(target.c_str(), contents)) << "no file";
    return std::string(contents.begin(), contents.end());
  }
  bool file_left() { return file_exists(target.c_str()); }
  static LoopbackServer::Script answer(const std::string& response) {
    return [response](LoopbackPeer& peer, int) { peer.send_text(response); };
  }
  static void shorten_limits(int step, int overall) {
    HttpLimits limits;
    limits.step_seconds = step;
    limits.overall_seconds = overall;
    http_set_limits(limits);
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
      LoopbackPeer::pause(5);
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
      LoopbackPeer::pause(2);
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
    LoopbackPeer::pause(300);
    peer.send_text("second");
  });
  EXPECT_EQ(http_download(server.url("x"), target), 12);
  EXPECT_EQ(downloaded(), "first second");
}

TEST_F(HttpDownloadTest, not_found_creates_no_file) {
  LoopbackServer server;
  server.serve(1, answer("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"));
  EXPECT_EQ(http_download(server.url("x"), target), 0);
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
  LoopbackServer loop;
  const std::string again = loop.url("again");
  loop.serve(6, [&](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 307 Again\r\nLocation: " + again + "\r\n\r\n");
  });
  EXPECT_EQ(http_download(again, target), 0);
  EXPECT_EQ(loop.requests().size(), 6u);  // the first request and five redirects
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, stalled_server_fails_after_the_step_limit) {
  shorten_limits(2, 30);
  LoopbackServer server;
  server.serve(1, [](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    LoopbackPeer::pause(4000);
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(http_download(server.url("x"), target), 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.9);
  EXPECT_FALSE(file_left());
}

TEST_F(HttpDownloadTest, a_byte_now_and_then_cannot_hold_the_download_past_its_overall_limit) {
  shorten_limits(2, 3);
  LoopbackServer server;
  server.serve(1, [](LoopbackPeer& peer, int) {
    peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
    for (int i = 0; i < 6; ++i) {
      peer.send_text("x");
      LoopbackPeer::pause(1000);
    }
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(http_download(server.url("x"), target), 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
  EXPECT_FALSE(file_left());
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
