// Local time on the host build, through the C library (zone from TZ).
#include "runtime/dates.h"

#include <ctime>

namespace {
CalendarFields fields_of(const std::tm& t) {
  return CalendarFields{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
}  // namespace

CalendarFields platform_local_fields_of_epoch(bool* daylight_saving) {
  tzset();
  std::time_t zero = 0;
  std::tm local{};
  localtime_r(&zero, &local);
  *daylight_saving = local.tm_isdst > 0;
  return fields_of(local);
}

std::int64_t platform_local_to_instant(const CalendarFields& f, bool daylight_saving) {
  std::tm local{};
  local.tm_year = f.year - 1900;
  local.tm_mon = f.month - 1;
  local.tm_mday = f.day;
  local.tm_hour = f.hour;
  local.tm_min = f.minute;
  local.tm_sec = f.second;
  local.tm_isdst = daylight_saving ? 1 : 0;
  return static_cast<std::int64_t>(std::mktime(&local));
}

CalendarFields platform_local_now() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return fields_of(local);
}
