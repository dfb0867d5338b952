// The resize job's and the main window's texts.
#include "app/job_messages.h"

#include "runtime/dates.h"
#include "runtime/strings.h"

namespace {

std::string clock_text(std::int64_t seconds) {
  return date_format("%hh:%ii:%ss", static_cast<Date>(seconds));
}

// A file on its line, its reason indented on the next.
std::string entry(const PathFailure& failure) {
  return failure.path + "\r" + (failure.reason.empty() ? "" : "    " + failure.reason + "\r");
}

// Up to FAILURE_LIST_LIMIT entries; a longer list names one less and counts
// the rest with the words for one and for several.
std::string entry_list(const std::vector<PathFailure>& failures, std::string_view one_more,
                       std::string_view more) {
  const std::size_t named =
      failures.size() <= FAILURE_LIST_LIMIT ? failures.size() : FAILURE_LIST_LIMIT - 1;
  std::string text;
  for (std::size_t i = 0; i < named; ++i) text += entry(failures[i]);
  const std::size_t rest = failures.size() - named;
  if (rest > 0)
    text += "... und " + int_to_string(static_cast<std::int64_t>(rest)) +
            ansi_from_utf8(rest == 1 ? one_more : more) + "\r";
  return text;
}

// The title, and the text that begins with the title's sentence.
JobMessage message(std::string_view utf8_title, const std::string& body) {
  std::string title = ansi_from_utf8(utf8_title);
  return {title, title + "\r" + body};
}

}  // namespace

JobProgress job_progress(std::int64_t done, std::int64_t count, std::int64_t elapsed_seconds) {
  if (done < 1) done = 1;
  if (count < done) count = done;
  const std::int64_t percent = (done * 100) / count;
  const std::int64_t per_file = (elapsed_seconds * 1000) / done;  // thousandths of a second
  const std::int64_t remaining = ((count - done) * per_file) / 1000;
  std::string text = int_to_string(percent) + " %\r";
  text += int_to_string(done) + " von " + int_to_string(count) + " Bildern verarbeitet\r";
  text += "Vergangene Zeit: " + clock_text(elapsed_seconds) + "\r";
  text += "Verbleibende Zeit: ca. " + clock_text(remaining) + "\r";
  return {percent, text};
}

JobMessage load_failed_message(const PathFailure& failure) {
  return file_failure_message(LOAD_FAILED_TITLE, failure);
}

JobMessage write_failures_message(const std::vector<PathFailure>& failures, bool box_unusable) {
  JobMessage written = message(failures.size() == 1
                                   ? "Folgendes Bild konnte nicht geschrieben werden:"
                                   : "Folgende Bilder konnten nicht geschrieben werden:",
                               entry_list(failures, " weiteres Bild", " weitere Bilder"));
  if (box_unusable)
    written.text +=
        ansi_from_utf8("\rBreite und Höhe der neuen Bildgröße müssen größer als 0 sein.\r");
  return written;
}

JobMessage refused_names_message(const std::vector<std::string>& names) {
  std::vector<PathFailure> failures;
  for (const std::string& name : names) failures.push_back({name, {}});
  JobMessage refused = message(names.size() == 1
                                   ? "Folgende Datei kann nicht verarbeitet werden:"
                                   : "Folgende Dateien können nicht verarbeitet werden:",
                               entry_list(failures, " weitere Datei", " weitere Dateien"));
  refused.text += ansi_from_utf8(
      "\rDieses Windows kann Zeichen dieser Namen nicht an Programme übergeben (erst Windows 10 "
      "ab Version 1903 kann das). Die Dateien bleiben unverändert; umbenannt lassen sie sich "
      "verkleinern.\r");
  return refused;
}

JobMessage file_failure_message(std::string_view utf8_title, const PathFailure& failure) {
  return message(utf8_title, entry(failure));
}
