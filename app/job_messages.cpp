// The resize job's texts.
#include "app/job_messages.h"

#include "runtime/dates.h"
#include "runtime/strings.h"

namespace {
std::string clock_text(std::int64_t seconds) {
  return date_format("%hh:%ii:%ss", static_cast<Date>(seconds));
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

namespace {
// Up to FAILURE_LIST_LIMIT paths, one a line; a longer list names one less
// and counts the rest with the words for one and for several.
std::string path_list(const std::vector<std::string>& paths, std::string_view one_more,
                      std::string_view more) {
  const std::size_t named =
      paths.size() <= FAILURE_LIST_LIMIT ? paths.size() : FAILURE_LIST_LIMIT - 1;
  std::string text;
  for (std::size_t i = 0; i < named; ++i) text += paths[i] + "\r";
  const std::size_t rest = paths.size() - named;
  if (rest > 0)
    text += "... und " + int_to_string(static_cast<std::int64_t>(rest)) +
            ansi_from_utf8(rest == 1 ? one_more : more) + "\r";
  return text;
}
}  // namespace

JobMessage write_failures_message(const std::vector<std::string>& paths, bool box_unusable) {
  JobMessage message;
  message.title = paths.size() == 1 ? "Folgendes Bild konnte nicht geschrieben werden:"
                                    : "Folgende Bilder konnten nicht geschrieben werden:";
  message.text = path_list(paths, " weiteres Bild", " weitere Bilder");
  if (box_unusable)
    message.text +=
        ansi_from_utf8("\rBreite und Höhe der neuen Bildgröße müssen größer als 0 sein.\r");
  return message;
}

JobMessage refused_names_message(const std::vector<std::string>& names) {
  JobMessage message;
  message.title = ansi_from_utf8(names.size() == 1
                                     ? "Folgende Datei kann nicht verarbeitet werden:"
                                     : "Folgende Dateien können nicht verarbeitet werden:");
  message.text = message.title + "\r" + path_list(names, " weitere Datei", " weitere Dateien") +
                 ansi_from_utf8(
                     "\rDieses Windows kann Zeichen dieser Namen nicht an Programme übergeben "
                     "(erst Windows 10 ab Version 1903 kann das). Die Dateien bleiben "
                     "unverändert; umbenannt lassen sie sich verkleinern.\r");
  return message;
}
