// Fetching the outside EXIF tool. The download runs over plain HTTP, where
// anyone on the path could hand over another program, so a file is kept only
// when its SHA-256 digest is the one pinned for the tool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where the tool's author publishes the Windows build, and its page.
constexpr std::string_view JHEAD_DOWNLOAD_URL = "http://www.sentex.net/~mwandel/jhead/jhead.exe";
constexpr std::string_view JHEAD_WEB_PAGE = "https://www.sentex.ca/~mwandel/jhead/";
// The published jhead 3.04 Windows build.
constexpr std::string_view JHEAD_SHA256 =
    "47d819ae4785dd89d8f6739a3de0f20448e148a12394c83c9abf78c07d279850";

// The tool is about 100 KB; a larger body is not the tool.
constexpr std::uint64_t TOOL_DOWNLOAD_LIMIT = 16 * 1024 * 1024;

// Downloads `url` with http_download (bodies above TOOL_DOWNLOAD_LIMIT
// refused) and gives the file the name `file_name` only when its digest
// equals `sha256_hex` (lower- or upper-case hex). The bytes arrive under a
// temporary name first, so an unchecked program never carries the name,
// not even when the process ends halfway; a file that fails the check is
// deleted. Non-zero on success; otherwise `reason` (when given) says why,
// in the program's own words (UTF-8).
int download_verified(std::string_view url, std::string_view file_name,
                      std::string_view sha256_hex, std::string* reason = nullptr);

// Where the running program fetches the tool from, and the digest it must
// have. Skalaro.exe links app/jhead_source.cpp (the address and digest
// above); the build of the program that the end-to-end tests run links a
// definition that takes both from its environment, so that no shipped
// program can be pointed elsewhere.
struct DownloadSource {
  std::string url;
  std::string sha256_hex;
};
DownloadSource jhead_download_source();
