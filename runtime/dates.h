// Dates: signed 32-bit seconds since 1970-01-01 00:00:00 counted on the local
// wall-clock fields (no shift for zone or daylight saving); -1 is invalid.
// The valid range is 1970-01-01 00:00:00 to 2038-01-18 23:59:59.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using Date = std::int32_t;
constexpr Date DATE_INVALID = -1;

Date date_now();
Date date_make(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
               std::int32_t minute, std::int32_t second);
// Tokens %yyyy %yy %mm %dd %hh %ii %ss (any letter case); other text copied.
std::string date_format(std::string_view format, Date date);

struct CalendarFields {
  std::int32_t year, month, day, hour, minute, second;
};

// The calendar fields of a date read as UTC; all zero for a negative date.
CalendarFields date_fields(Date date);

// Seconds since the epoch of fields read as UTC (any year, proleptic Gregorian).
std::int64_t seconds_of_fields(const CalendarFields& fields);

// Seams to the platform's local time.
// The local fields of the instant 0 (1970-01-01 00:00:00 UTC) and its daylight flag.
CalendarFields platform_local_fields_of_epoch(bool* daylight_saving);
// The instant (seconds since the epoch, UTC) of local fields, with the daylight flag given.
std::int64_t platform_local_to_instant(const CalendarFields& fields, bool daylight_saving);
// The current local date and time, milliseconds dropped.
CalendarFields platform_local_now();
