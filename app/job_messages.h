// What the resize job tells the user: the progress after every file and the
// requesters for a picture that cannot be loaded, for pictures that could
// not be written and for files that cannot be taken at all. The texts are
// in the ANSI code page (the program's own words, written in UTF-8 here,
// are shown through ansi_from_utf8); "\r" starts a new line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct JobProgress {
  std::int64_t percent;  // for the progress bar, 0..100
  std::string status_text;
};

// After `done` of `count` entries and `elapsed_seconds`: the percentage and
// four lines with the count, the elapsed time and an estimate of the time
// left, times as hh:mm:ss of the day (a day or more wraps around).
JobProgress job_progress(std::int64_t done, std::int64_t count, std::int64_t elapsed_seconds);

// The requester for a picture that cannot be loaded: this title, the path as text.
constexpr std::string_view LOAD_FAILED_TITLE = "Folgende Datei konnte nicht geladen werden:";

struct JobMessage {
  std::string title;
  std::string text;
};

// At most this many pictures are named; the rest are counted.
constexpr std::size_t FAILURE_LIST_LIMIT = 10;

// The one requester at the end of a job in which pictures could not be
// written: their paths, a long list shortened with a count of the rest, and
// a word on the size when the box was unusable for some of them.
JobMessage write_failures_message(const std::vector<std::string>& paths, bool box_unusable);

// The requester for dropped files, or files given on the command line, whose
// names the ANSI code page cannot hold (an older Windows that ignores the
// program's UTF-8 code page): they are named, and why, and left alone.
JobMessage refused_names_message(const std::vector<std::string>& names);
