// SHA-256 against the standard's test vectors, and the checked download of
// the EXIF tool from a loopback server.
#include "app/tool_download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sha256.h"
#include "net/sockets.h"
#include "runtime/file_io.h"
#include "support/loopback_server.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

std::string hex_of(std::string_view text) {
  return sha256_hex(sha256({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
}

TEST(Sha256, standard_vectors) {
  EXPECT_EQ(hex_of(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(hex_of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(hex_of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(hex_of(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Fed in pieces that cross block boundaries, the digest is the same.
  const std::string text(200, 'q');
  Sha256 pieces;
  for (std::size_t at = 0; at < text.size(); at += 37) {
    std::string_view piece = std::string_view(text).substr(at, 37);
    pieces.update({reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()});
  }
  EXPECT_EQ(sha256_hex(pieces.finish()), hex_of(text));
}

class ToolDownloadTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { net_join_runtime(); }
  ScratchDir dir;
  std::string target = dir.file("jhead.exe");
  const std::string program = "MZ pretend program bytes";

  void serve(LoopbackServer& server, const std::string& body) {
    server.serve(1, [body](LoopbackPeer& peer, int) {
      peer.send_text("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                     "\r\n\r\n" + body);
    });
  }
  std::vector<std::string> names_in_dir() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(ToolDownloadTest, a_file_with_the_pinned_digest_is_kept) {
  LoopbackServer server;
  serve(server, program);
  ASSERT_NE(download_verified(server.url("jhead.exe"), target, hex_of(program)), 0);
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(file_read_whole(target.c_str(), bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), program);
  EXPECT_EQ(names_in_dir(), std::vector<std::string>{"jhead.exe"});
}

TEST_F(ToolDownloadTest, any_other_file_is_deleted_and_counts_as_a_failed_download) {
  LoopbackServer server;
  serve(server, program + " with something added");
  EXPECT_EQ(download_verified(server.url("jhead.exe"), target, hex_of(program)), 0);
  EXPECT_TRUE(names_in_dir().empty());
  // The published build's digest is the one the program pins.
  EXPECT_EQ(JHEAD_SHA256, "47d819ae4785dd89d8f6739a3de0f20448e148a12394c83c9abf78c07d279850");
}

TEST_F(ToolDownloadTest, a_download_that_fails_leaves_nothing) {
  LoopbackServer server;
  server.serve(1,
               [](LoopbackPeer& peer, int) { peer.send_text("HTTP/1.1 404 Not Found\r\n\r\n"); });
  EXPECT_EQ(download_verified(server.url("jhead.exe"), target, hex_of("")), 0);
  EXPECT_TRUE(names_in_dir().empty());
}

}  // namespace
