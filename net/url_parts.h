// URL parts by plain substring search, without validation or decoding:
// scheme "://" [user [":" password] "@"] host [":" port] ["/" path]
// ["?" parameters] ["#" anchor]. Each part is found by the first occurrence
// of its delimiter; only parameter names compare without letter case.
#pragma once

#include <string>
#include <string_view>

// Selectors; any other text names a query parameter.
inline constexpr std::string_view URL_SCHEME = "/PC/";
inline constexpr std::string_view URL_USER = "/US/";
inline constexpr std::string_view URL_PASSWORD = "/PS/";
inline constexpr std::string_view URL_HOST = "/WS/";
inline constexpr std::string_view URL_PORT = "/PO/";
inline constexpr std::string_view URL_PATH = "/PT/";
inline constexpr std::string_view URL_PARAMETERS = "/PM/";
inline constexpr std::string_view URL_ANCHOR = "/AN/";

// The part's text, empty when absent.
std::string url_part(std::string_view url, std::string_view selector);
// The URL with the part replaced, or added where it is absent; empty when
// it cannot be placed.
std::string url_set_part(std::string_view url, std::string_view selector, std::string_view value);

enum class UrlRequest { Host, Port, Path, Target };
// The part the HTTP client needs; empty when absent or empty.
std::string url_split(std::string_view url, UrlRequest request);
