// Compile options as callers give them: PCRE's own option bits. PCRE2 has
// different bits for most of them and takes some through its compile
// context, so every create translates them first.
#pragma once

#include <cstdint>

constexpr std::uint32_t PCRE_CASELESS = 0x00000001;
constexpr std::uint32_t PCRE_MULTILINE = 0x00000002;
constexpr std::uint32_t PCRE_DOTALL = 0x00000004;
constexpr std::uint32_t PCRE_EXTENDED = 0x00000008;
constexpr std::uint32_t PCRE_ANCHORED = 0x00000010;
constexpr std::uint32_t PCRE_DOLLAR_ENDONLY = 0x00000020;
constexpr std::uint32_t PCRE_EXTRA = 0x00000040;
constexpr std::uint32_t PCRE_UNGREEDY = 0x00000200;
constexpr std::uint32_t PCRE_UTF8 = 0x00000800;
constexpr std::uint32_t PCRE_NO_AUTO_CAPTURE = 0x00001000;
constexpr std::uint32_t PCRE_NO_UTF8_CHECK = 0x00002000;
constexpr std::uint32_t PCRE_AUTO_CALLOUT = 0x00004000;
constexpr std::uint32_t PCRE_NEVER_UTF = 0x00010000;
constexpr std::uint32_t PCRE_NO_AUTO_POSSESS = 0x00020000;
constexpr std::uint32_t PCRE_FIRSTLINE = 0x00040000;
constexpr std::uint32_t PCRE_DUPNAMES = 0x00080000;
constexpr std::uint32_t PCRE_NEWLINE_CR = 0x00100000;
constexpr std::uint32_t PCRE_NEWLINE_LF = 0x00200000;
constexpr std::uint32_t PCRE_NEWLINE_CRLF = 0x00300000;
constexpr std::uint32_t PCRE_NEWLINE_ANY = 0x00400000;
constexpr std::uint32_t PCRE_NEWLINE_ANYCRLF = 0x00500000;
constexpr std::uint32_t PCRE_BSR_ANYCRLF = 0x00800000;
constexpr std::uint32_t PCRE_BSR_UNICODE = 0x01000000;
constexpr std::uint32_t PCRE_JAVASCRIPT_COMPAT = 0x02000000;
constexpr std::uint32_t PCRE_NO_START_OPTIMIZE = 0x04000000;
constexpr std::uint32_t PCRE_UCP = 0x20000000;

// What PCRE2 needs for one set of PCRE options: its own option bits, and
// the newline convention and \R meaning (0: the library's default).
struct RegexCompileSettings {
  std::uint32_t options;
  std::uint32_t newline;
  std::uint32_t bsr;
};

// False for bits PCRE2 cannot honour at compile time: matching-time bits,
// undefined bits, contradicting newline or \R choices, and UTF-8 mode,
// which follows the ANSI code page instead of the caller.
bool regex_translate_options(std::uint32_t pcre_options, RegexCompileSettings* settings);
