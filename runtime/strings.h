// Strings, numbers and path parts. Strings are 8-bit texts in the Windows
// ANSI code page with value semantics: every operation returns a new
// std::string and leaves its arguments alone, and keeps no state between
// calls, so any thread may use them at once. An absent text (a null
// pointer) reads as the empty string.
//
// The program declares UTF-8 as its ANSI code page, so that every name the
// platform hands over arrives exactly; an older Windows ignores that and
// keeps a code page of its own, in which a name may not be expressible
// (runtime/wide_text.h refuses such names). Lengths and positions count
// bytes; operations that work on characters (lower-casing, the length of a
// path as the platform counts it) take whole characters of the code page.
// The program's own texts are written in UTF-8 (ansi_from_utf8 shows them
// in another code page).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text behind a possibly null C string.
inline std::string_view text_of(const char* text) {
  return text ? std::string_view(text) : std::string_view();
}

std::int32_t string_length(std::string_view text);
std::string string_left(std::string_view text, std::int32_t count);
// Seam: lower case by the platform's rules, character by character (so Ä
// becomes ä too); bytes that form no character of the code page stay.
std::string string_lower(std::string_view text);
int string_equal(std::string_view a, std::string_view b);
// Non-overlapping occurrences, scanning from the left; 0 when either is empty.
std::int32_t string_count(std::string_view text, std::string_view pattern);
// The index-th field (from 1) between separators; empty beyond the last.
std::string string_field(std::string_view text, std::int32_t index, std::string_view separator);
std::string int_to_string(std::int64_t value);
// Blanks and tabs, a sign, then decimal digits, "$" hex or "%" binary;
// stops at the first non-digit; wraps around on overflow.
std::int64_t string_to_int(std::string_view text);
std::string string_from_memory(const char* text);

// Path parts; separators are "\" and "/".
std::string path_part(std::string_view path);       // up to and including the last separator
std::string file_part(std::string_view path);       // the name behind the last separator
std::string extension_part(std::string_view path);  // behind the last period of the name

// Comparisons that ignore the letter case of ASCII letters only (keys,
// header names, format tokens); other bytes must match exactly.
bool ascii_equal_nocase(std::string_view a, std::string_view b);
bool ascii_starts_with_nocase(std::string_view text, std::string_view prefix);

// Seams of the ANSI code page.
// True when it is UTF-8 (always on the host build).
bool ansi_is_utf8();
// The text's length as the platform's file calls count it: UTF-16 units.
std::size_t ansi_wide_length(std::string_view text);
// One of the program's own texts, written in UTF-8, in the ANSI code page
// for showing it: characters the code page lacks become look-alikes or
// "?". Never for a name that something is done with.
std::string ansi_from_utf8(std::string_view utf8);
