// The platform's wide (UTF-16) texts and the runtime's strings, which are
// held in the ANSI code page (runtime/strings.h). Windows only.
//
// A name is only ever converted exactly: where a code page cannot hold a
// character, the conversion fails, and the name is refused. The platform's
// own conversions put a look-alike in its place instead ("best fit": Ł
// becomes L, a full-width backslash a real one), which names another file.
#pragma once

#include <string>
#include <string_view>

// Exact conversions between a code page and UTF-16; false when the text is
// not valid in the code page, or a character has no place in it.
bool wide_from_text(std::string_view text, unsigned code_page, std::wstring& wide);
bool text_from_wide(std::wstring_view wide, unsigned code_page, std::string& text);

// The same for the ANSI code page.
bool wide_from_ansi(std::string_view ansi, std::wstring& wide);
bool ansi_from_wide(std::wstring_view wide, std::string& ansi);

// A path for the platform's wide calls, which take every length the
// platform allows (its ANSI calls stop at 260 characters even where long
// paths are allowed): converted exactly and within path_length_limit()
// (runtime/files.h). False otherwise, with the thread's last error set as
// the platform sets it for such a path (too long: ERROR_FILENAME_EXCED_RANGE).
bool wide_path_from_ansi(std::string_view path, std::wstring& wide);

// A wide text as it can be shown in the ANSI code page: characters the code
// page lacks become "?". For messages only, never for a name acted on.
std::string ansi_for_display(std::wstring_view wide);
