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

JobMessage write_failures_message(const std::vector<std::string>& paths, bool box_unusable) {
  JobMessage message;
  message.title = paths.size() == 1 ? "Folgendes Bild konnte nicht geschrieben werden:"
                                    : "Folgende Bilder konnten nicht geschrieben werden:";
  const std::size_t named =
      paths.size() <= FAILURE_LIST_LIMIT ? paths.size() : FAILURE_LIST_LIMIT - 1;
  for (std::size_t i = 0; i < named; ++i) message.text += paths[i] + "\r";
  const std::size_t rest = paths.size() - named;
  if (rest > 0)
    message.text += "... und " + int_to_string(static_cast<std::int64_t>(rest)) +
                    (rest == 1 ? " weiteres Bild\r" : " weitere Bilder\r");
  if (box_unusable)
    message.text +=
        "\rBreite und H\xf6he der neuen Bildgr\xf6\xdf"
        "e m\xfcssen gr\xf6\xdf"
        "er als 0 sein.\r";
  return message;
}
