// Local time on Windows through the zone information of the system (Wine
// takes it from TZ). Fields convert to instants with the zone's standard or
// daylight bias, as the caller's daylight flag says, like mktime with a
// fixed daylight flag.
#include "runtime/dates.h"

#include <windows.h>

namespace {

CalendarFields fields_of(const SYSTEMTIME& t) {
  return CalendarFields{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// Minutes to add to local time to get UTC.
long zone_bias(bool daylight_saving) {
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  return zone.Bias + (daylight_saving ? zone.DaylightBias : zone.StandardBias);
}

}  // namespace

CalendarFields platform_local_fields_of_epoch(bool* daylight_saving) {
  SYSTEMTIME epoch{1970, 1, 4, 1, 0, 0, 0, 0};
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &epoch, &local)) local = epoch;
  CalendarFields fields = fields_of(local);
  const long minutes_ahead = static_cast<long>(seconds_of_fields(fields) / 60);
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  *daylight_saving = zone.DaylightBias != 0 && minutes_ahead == -(zone.Bias + zone.DaylightBias);
  return fields;
}

std::int64_t platform_local_to_instant(const CalendarFields& fields, bool daylight_saving) {
  return seconds_of_fields(fields) + static_cast<std::int64_t>(zone_bias(daylight_saving)) * 60;
}

CalendarFields platform_local_now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return fields_of(now);
}
