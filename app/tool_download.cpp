// The checked download of the EXIF tool.
#include "app/tool_download.h"

#include <string>

#include "app/sha256.h"
#include "net/http_download.h"
#include "runtime/files.h"
#include "runtime/strings.h"

namespace {

std::string problem_text(const HttpFailure& failure) {
  switch (failure.problem) {
    case HttpProblem::Address:
      return "Die Adresse kann nicht abgefragt werden.";
    case HttpProblem::Connect:
      return "Keine Verbindung zum Server.";
    case HttpProblem::Status:
      return "Der Server antwortete mit dem Status " + int_to_string(failure.status) + ".";
    case HttpProblem::TooLarge:
      return "Die Antwort ist größer als 16 MB und damit nicht das Programm.";
    case HttpProblem::Timeout:
      return "Der Server antwortete nicht rechtzeitig.";
    case HttpProblem::Write:
      return "Die Datei kann nicht geschrieben werden.";
    case HttpProblem::Redirects:
      return "Der Server leitete zu oft oder an eine unbrauchbare Adresse weiter.";
    case HttpProblem::Broken:
    case HttpProblem::None:
      break;
  }
  return "Die Antwort des Servers war unvollständig oder fehlerhaft.";
}

}  // namespace

int download_verified(std::string_view url, std::string_view file_name,
                      std::string_view sha256_hex, std::string* reason) {
  const std::string arriving = std::string(file_name) + ".download";
  HttpLimits limits;
  limits.max_body_bytes = TOOL_DOWNLOAD_LIMIT;
  HttpFailure failure;
  std::string why;
  if (http_download(url, arriving, limits, &failure) <= 0) {
    why = problem_text(failure);
  } else if (const std::string digest = sha256_file_hex(arriving);
             digest.empty() || digest != string_lower(sha256_hex)) {
    why = "Die heruntergeladene Datei ist nicht das erwartete Programm (Prüfsumme).";
  } else if (!file_move_over(arriving, file_name)) {
    why = "Die Datei kann nicht umbenannt werden.";
  } else {
    return 1;
  }
  file_delete(arriving);
  if (reason) *reason = why;
  return 0;
}
