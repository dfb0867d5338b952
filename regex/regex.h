// Regular-expression objects: numbered compiled patterns (PCRE2, 8-bit)
// and replacement of every match by a literal text. Patterns and subjects
// are texts of the ANSI code page: in the UTF-8 code page an expression
// matches whole characters (a class matches "ł" as one, not its two
// bytes), unless PCRE_NEVER_UTF is given; a subject that is not valid
// UTF-8 is then matched byte by byte, never refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "regex/regex_options.h"
#include "runtime/registry.h"

void regex_init();
void regex_join_runtime();

// The record address (the handle for ANY_OBJECT); 0 when the pattern does
// not compile or the options (PCRE's bits, see regex_options.h) cannot be
// honoured, the message then kept as the last compile error.
std::uintptr_t regex_create(object_number number, const char* pattern, std::uint32_t options = 0);
void regex_free(object_number number);

// The subject with every match replaced by `replacement`, taken literally.
// An empty match inserts the replacement and steps over one character, which
// is kept; the search never passes the subject's end. Empty for an object
// that is not alive.
std::string regex_replace(object_number number, std::string_view subject,
                          std::string_view replacement);

// The message of the last failed compile, or empty.
std::string regex_last_error();
