// What the resize job and the main window tell the user: the progress after
// every file, and the requesters for what failed. Every requester's text
// begins with the sentence of its title (a message box cuts a long title),
// then names the file or files, each with the reason where it is known.
// The texts are in the ANSI code page (the program's own words, written in
// UTF-8 here, are shown through ansi_from_utf8; paths and the platform's
// reasons are in it already); "\r" starts a new line.
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

struct JobMessage {
  std::string title;
  std::string text;
};

// A file and why something could not be done with it (empty: not known).
struct PathFailure {
  std::string path;
  std::string reason;
};

constexpr std::string_view LOAD_FAILED_TITLE = "Folgende Datei konnte nicht geladen werden:";

// A picture that cannot be loaded, shown at once.
JobMessage load_failed_message(const PathFailure& failure);

// At most this many files are named; the rest are counted.
constexpr std::size_t FAILURE_LIST_LIMIT = 10;

// The one requester at the end of a job in which pictures could not be
// written, in the order they were dropped, with a word on the size when
// the box was unusable for some of them.
JobMessage write_failures_message(const std::vector<PathFailure>& failures, bool box_unusable);

// Dropped files, or files given on the command line, whose names the ANSI
// code page cannot hold (an older Windows that ignores the program's UTF-8
// code page): they are named, and why, and left alone.
JobMessage refused_names_message(const std::vector<std::string>& names);

// One file that something could not be done with: the title (UTF-8) says
// what, the text repeats it and names the file with the reason.
JobMessage file_failure_message(std::string_view utf8_title, const PathFailure& failure);
constexpr std::string_view DELETE_FAILED_TITLE = "Folgendes Bild konnte nicht gelöscht werden:";
constexpr std::string_view FOLDER_FAILED_TITLE = "Folgender Ordner kann nicht angelegt werden:";
constexpr std::string_view SETTINGS_FAILED_TITLE =
    "Die Einstellungen konnten nicht gespeichert werden:";
