// Regular-expression objects over PCRE2.
#include "regex/regex.h"

#include <cstring>
#include <utility>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "regex/regex_options.h"
#include "runtime/heap.h"
#include "runtime/lifecycle.h"
#include "runtime/state_block.h"
#include "runtime/strings.h"
#include "runtime/utf8.h"

namespace {

// In the UTF-8 code page an expression matches whole characters. A subject
// that is not valid UTF-8 (no name the platform hands over is, but a text
// may be) is matched byte by byte with the same pattern compiled without
// UTF, so that every byte of a broken sequence is still looked at.
struct RegexRecord {
  pcre2_code* code;
  pcre2_code* byte_code;  // only in UTF mode
};

struct RegexState {
  char* last_error;  // runtime-heap copy of the last compile error, or null
};

ObjectRegistry* expressions = nullptr;
RegexState* kind_state = nullptr;

RegexRecord* find(object_number number) {
  return static_cast<RegexRecord*>(registry_lookup(expressions, number));
}

void regex_release(object_number number) {
  registry_free_object<RegexRecord>(expressions, number, [](RegexRecord& record) {
    pcre2_code_free(record.code);
    pcre2_code_free(record.byte_code);
  });
}

void forget_error() {
  if (!kind_state) return;
  runtime_free(kind_state->last_error);
  kind_state->last_error = nullptr;
}

void keep_error(int code) {
  if (!kind_state) return;
  PCRE2_UCHAR message[256];
  if (pcre2_get_error_message(code, message, sizeof message) < 0)
    std::strcpy(reinterpret_cast<char*>(message), "?");
  const std::size_t length = std::strlen(reinterpret_cast<char*>(message));
  kind_state->last_error = static_cast<char*>(runtime_alloc(length + 1));
  if (kind_state->last_error) std::memcpy(kind_state->last_error, message, length + 1);
}

// The newline convention and the meaning of \R go through a compile
// context; the library's defaults need none.
pcre2_code* compile(const char* pattern, const RegexCompileSettings& settings, int* error) {
  pcre2_compile_context* context = nullptr;
  if (settings.newline || settings.bsr) {
    context = pcre2_compile_context_create(nullptr);
    if (!context) {
      *error = PCRE2_ERROR_NOMEMORY;
      return nullptr;
    }
    if (settings.newline) pcre2_set_newline(context, settings.newline);
    if (settings.bsr) pcre2_set_bsr(context, settings.bsr);
  }
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                                   settings.options, error, &offset, context);
  pcre2_compile_context_free(context);
  return code;
}

// Shutdown: every expression goes; registry and state block go with the
// runtime heap, so the kind forgets them.
void end_expressions() {
  regex_free(ANY_OBJECT);
  expressions = nullptr;
  kind_state = nullptr;
}

}  // namespace

void regex_init() {
  expressions = registry_create(sizeof(RegexRecord), 16, regex_release);
  kind_state = static_cast<RegexState*>(state_block_create(sizeof(RegexState), nullptr, nullptr));
}

void regex_join_runtime() {
  runtime_join_startup(StartupStage::RegexKind, regex_init);
  runtime_join_shutdown(ShutdownStage::RegularExpressions, end_expressions);
}

std::uintptr_t regex_create(object_number number, const char* pattern, std::uint32_t options) {
  auto* record = static_cast<RegexRecord*>(registry_allocate(expressions, number));
  if (!record) return 0;
  record->code = nullptr;
  record->byte_code = nullptr;
  forget_error();
  if (!pattern) return 0;
  RegexCompileSettings settings{};
  if (!regex_translate_options(options, &settings)) {
    keep_error(PCRE2_ERROR_BAD_OPTIONS);
    return 0;
  }
  int error = 0;
  const bool utf = ansi_is_utf8() && !(settings.options & PCRE2_NEVER_UTF);
  if (utf) {
    record->byte_code = compile(pattern, settings, &error);
    settings.options |= PCRE2_UTF;
  }
  record->code = (!utf || record->byte_code) ? compile(pattern, settings, &error) : nullptr;
  if (!record->code) {
    pcre2_code_free(std::exchange(record->byte_code, nullptr));
    keep_error(error);
    return 0;
  }
  return reinterpret_cast<std::uintptr_t>(record);
}

void regex_free(object_number number) {
  if (number == ANY_OBJECT)
    registry_free_all(expressions);
  else
    regex_release(number);
}

std::string regex_replace(object_number number, std::string_view subject,
                          std::string_view replacement) {
  RegexRecord* record = find(number);
  if (!record) return {};
  const bool whole_characters = record->byte_code && utf8_valid(subject);
  const pcre2_code* code = record->byte_code && !whole_characters ? record->byte_code : record->code;
  pcre2_match_data* match = pcre2_match_data_create(1, nullptr);
  if (!match) return {};
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.data());
  const PCRE2_SIZE length = subject.size();
  std::string out;
  out.reserve(subject.size() + 64);
  PCRE2_SIZE position = 0;
  while (position <= length) {
    // The subject was checked above, where UTF mode needs it.
    int found = pcre2_match(code, text, length, position, PCRE2_NO_UTF_CHECK, match, nullptr);
    if (found < 0) break;
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(match);
    const PCRE2_SIZE start = offsets[0], end = offsets[1];
    if (start < position || end < start || end > length) break;  // \K tricks: stop, never loop
    out.append(subject.substr(position, start - position));
    out.append(replacement);
    position = end;
    if (start == end) {
      // An empty match: keep the character stepped over, never pass the end.
      if (position == length) {
        position = length + 1;
        break;
      }
      const std::size_t step = whole_characters ? utf8_sequence_length(subject, position) : 1;
      out.append(subject.substr(position, step));
      position += step;
    }
  }
  if (position < length) out.append(subject.substr(position));
  pcre2_match_data_free(match);
  return out;
}

std::string regex_last_error() {
  return kind_state && kind_state->last_error ? std::string(kind_state->last_error) : std::string();
}
