// PCRE option bits translated to PCRE2's.
#include "regex/regex_options.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace {

struct OptionPair {
  std::uint32_t pcre;
  std::uint32_t pcre2;
};

// Bits with a PCRE2 counterpart. PCRE_EXTRA (unknown escapes are errors) is
// what PCRE2 always does, so it needs no bit; PCRE2 split the JavaScript
// compatibility into three options.
constexpr OptionPair kCounterparts[] = {
    {PCRE_CASELESS, PCRE2_CASELESS},
    {PCRE_MULTILINE, PCRE2_MULTILINE},
    {PCRE_DOTALL, PCRE2_DOTALL},
    {PCRE_EXTENDED, PCRE2_EXTENDED},
    {PCRE_ANCHORED, PCRE2_ANCHORED},
    {PCRE_DOLLAR_ENDONLY, PCRE2_DOLLAR_ENDONLY},
    {PCRE_EXTRA, 0},
    {PCRE_UNGREEDY, PCRE2_UNGREEDY},
    {PCRE_NO_AUTO_CAPTURE, PCRE2_NO_AUTO_CAPTURE},
    {PCRE_NO_UTF8_CHECK, PCRE2_NO_UTF_CHECK},
    {PCRE_AUTO_CALLOUT, PCRE2_AUTO_CALLOUT},
    {PCRE_NEVER_UTF, PCRE2_NEVER_UTF},
    {PCRE_NO_AUTO_POSSESS, PCRE2_NO_AUTO_POSSESS},
    {PCRE_FIRSTLINE, PCRE2_FIRSTLINE},
    {PCRE_DUPNAMES, PCRE2_DUPNAMES},
    {PCRE_JAVASCRIPT_COMPAT, PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF},
    {PCRE_NO_START_OPTIMIZE, PCRE2_NO_START_OPTIMIZE},
    {PCRE_UCP, PCRE2_UCP},
};

constexpr std::uint32_t kNewlineField = 0x00700000;
constexpr std::uint32_t kBsrField = PCRE_BSR_ANYCRLF | PCRE_BSR_UNICODE;

// The PCRE2 newline convention of PCRE's newline field; 0 when it has none.
std::uint32_t newline_of(std::uint32_t field) {
  switch (field) {
    case PCRE_NEWLINE_CR:
      return PCRE2_NEWLINE_CR;
    case PCRE_NEWLINE_LF:
      return PCRE2_NEWLINE_LF;
    case PCRE_NEWLINE_CRLF:
      return PCRE2_NEWLINE_CRLF;
    case PCRE_NEWLINE_ANY:
      return PCRE2_NEWLINE_ANY;
    case PCRE_NEWLINE_ANYCRLF:
      return PCRE2_NEWLINE_ANYCRLF;
    default:
      return 0;
  }
}

}  // namespace

bool regex_translate_options(std::uint32_t pcre_options, RegexCompileSettings* settings) {
  RegexCompileSettings out{0, 0, 0};
  std::uint32_t left = pcre_options;
  for (const OptionPair& pair : kCounterparts) {
    if (left & pair.pcre) out.options |= pair.pcre2;
    left &= ~pair.pcre;
  }
  if (const std::uint32_t field = left & kNewlineField) {
    out.newline = newline_of(field);
    if (out.newline == 0) return false;
    left &= ~kNewlineField;
  }
  if (const std::uint32_t field = left & kBsrField) {
    if (field == kBsrField) return false;
    out.bsr = field == PCRE_BSR_ANYCRLF ? PCRE2_BSR_ANYCRLF : PCRE2_BSR_UNICODE;
    left &= ~kBsrField;
  }
  if (left != 0) return false;  // matching-time, UTF-8 or undefined bits
  *settings = out;
  return true;
}
