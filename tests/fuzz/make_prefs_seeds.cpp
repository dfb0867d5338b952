// Writes the preference fuzzer's seed corpus: the application's kind of file,
// a file with the byte-order mark, groups and odd line ends.
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_prefs_seeds DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  const char* seeds[] = {
      "; Skalaro\r\nNewImageWidth = 1024\r\nNewImageHeight = 768\r\nResizeMode = max\r\n",
      "\xEF\xBB\xBF\r\nName = M\xC3\xBCller\r\n; Kommentar\r\n",
      "top=1\n[Gruppe]\nkey = value ; not a comment\n[open\n",
      "\r\r\n  =\n;\n[]\nbare\n\tkey\t=\tvalue\t\n",
  };
  int n = 0;
  for (const char* seed : seeds)
    std::ofstream(dir + "/seed" + std::to_string(n++) + ".ini", std::ios::binary) << seed;
  return 0;
}
