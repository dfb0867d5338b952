// Writes the HTTP fuzzer's seed corpus: responses with a length, in chunks,
// to the close, redirects and failures. The first byte of each seed is the
// piece size the fuzzer feeds with.
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_http_seeds DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  const char* seeds[] = {
      "\x05HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
      ("\x03HTTP/1.1 200 OK\r\nTransfer-Encoding: "
       "chunked\r\n\r\n4\r\nWiki\r\n5;x=y\r\npedia\r\n0\r\n\r\n"),
      "\x40HTTP/1.0 200 OK\r\nServer: test\r\n\r\nuntil the close",
      "\x10HTTP/1.1 302 Found\r\nLocation: http://host/next\r\n\r\n",
      "\x01HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!",
  };
  int n = 0;
  for (const char* seed : seeds)
    std::ofstream(dir + "/seed" + std::to_string(n++), std::ios::binary) << seed;
  return 0;
}
