// Writes the download fuzzer's seed corpus: scripts of responses with a
// length, in chunks, to the close and through a redirect, and ones that a
// reset or a stall cuts short. A script is the response bytes followed by
// the control bytes in reverse, as the fuzzer's data provider reads them.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

class Script {
 public:
  explicit Script(bool old_file) { controls_.push_back(old_file ? 1 : 0); }
  Script& connect() { return control(1); }
  // One receive that yields the next `count` response bytes.
  Script& receive(const std::string& bytes) {
    control(0);
    control(static_cast<unsigned char>((bytes.size() - 1) >> 8));
    control(static_cast<unsigned char>((bytes.size() - 1) & 0xFF));
    response_ += bytes;
    return *this;
  }
  Script& stall() { return control(1); }
  Script& close() { return control(2); }
  Script& reset() { return control(3); }
  std::string bytes() const {
    return response_ + std::string(controls_.rbegin(), controls_.rend());
  }

 private:
  Script& control(unsigned char byte) {
    controls_.push_back(byte);
    return *this;
  }
  std::string response_;
  std::vector<unsigned char> controls_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_download_seeds DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  const Script seeds[] = {
      Script(true).connect().receive("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello").close(),
      Script(false)
          .connect()
          .receive("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWi")
          .receive("ki\r\n5;x=y\r\npedia\r\n0\r\n\r\n")
          .close(),
      Script(true).connect().receive("HTTP/1.0 200 OK\r\n\r\nuntil ").receive("the close").close(),
      Script(true).connect().receive("HTTP/1.0 200 OK\r\n\r\ncut by a ").reset(),
      Script(false).connect().receive("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nstal").stall(),
      Script(false)
          .connect()
          .receive("HTTP/1.1 302 Found\r\nLocation: http://other.invalid/x\r\n\r\n")
          .connect()
          .receive("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nMZ")
          .close(),
  };
  int n = 0;
  for (const Script& seed : seeds)
    std::ofstream(dir + "/seed" + std::to_string(n++), std::ios::binary) << seed.bytes();
  return 0;
}
