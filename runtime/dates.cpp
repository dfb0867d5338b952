// Dates: validity rules, the local-field model and formatting.
#include "runtime/dates.h"

#include "runtime/strings.h"

namespace {

bool is_leap(std::int32_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool valid_fields(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                  std::int32_t minute, std::int32_t second) {
  if (year < 1970 || year > 2038) return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  if (year == 2038 && (month > 1 || day > 18)) return false;
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return false;
  if (month == 2 && (day > 29 || (day == 29 && !is_leap(year)))) return false;
  return true;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civil_from_days(std::int64_t days, std::int32_t* year, std::int32_t* month,
                     std::int32_t* day) {
  days += 719468;
  const std::int64_t era = days / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
  *day = static_cast<std::int32_t>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  *month = static_cast<std::int32_t>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  *year = static_cast<std::int32_t>(year_of_era + era * 400 + (*month <= 2 ? 1 : 0));
}

// Days since 1970-01-01 of a civil date.
std::int64_t days_from_civil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void append_two_digits(std::string& out, std::int32_t value) {
  out.push_back(static_cast<char>('0' + value / 10 % 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

Date date_make(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
               std::int32_t minute, std::int32_t second) {
  if (!valid_fields(year, month, day, hour, minute, second)) return DATE_INVALID;
  if (year == 1970 && month == 1 && day == 1) return hour * 3600 + minute * 60 + second;
  bool daylight = false;
  CalendarFields epoch = platform_local_fields_of_epoch(&daylight);
  std::int32_t offset_hours = epoch.hour;
  if (offset_hours > 11 && epoch.day == 31) offset_hours -= 24;  // west of Greenwich
  const std::int64_t instant =
      platform_local_to_instant(CalendarFields{year, month, day, hour, minute, second}, daylight);
  const std::int64_t seconds = instant + (offset_hours * 60 + epoch.minute) * 60;
  return static_cast<Date>(static_cast<std::uint32_t>(seconds));
}

Date date_now() {
  CalendarFields now = platform_local_now();
  return date_make(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

std::int64_t seconds_of_fields(const CalendarFields& f) {
  return days_from_civil(f.year, f.month, f.day) * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
}

CalendarFields date_fields(Date date) {
  if (date < 0) return CalendarFields{0, 0, 0, 0, 0, 0};
  CalendarFields fields{};
  civil_from_days(date / 86400, &fields.year, &fields.month, &fields.day);
  const std::int32_t in_day = date % 86400;
  fields.hour = in_day / 3600;
  fields.minute = in_day / 60 % 60;
  fields.second = in_day % 60;
  return fields;
}

std::string date_format(std::string_view format, Date date) {
  const CalendarFields f = date_fields(date);
  // Tried in this order, so that "yyyy" wins over "yy".
  const struct {
    std::string_view token;
    std::int32_t value;
  } tokens[] = {{"yyyy", f.year}, {"yy", f.year % 100}, {"mm", f.month}, {"dd", f.day},
                {"hh", f.hour},   {"ii", f.minute},     {"ss", f.second}};
  std::string out;
  for (std::size_t at = 0; at < format.size();) {
    if (format[at] != '%') {
      out.push_back(format[at++]);
      continue;
    }
    const std::string_view rest = format.substr(at + 1);
    bool replaced = false;
    for (const auto& [token, value] : tokens) {
      if (!ascii_starts_with_nocase(rest, token)) continue;
      if (token.size() == 4) append_two_digits(out, value / 100);
      append_two_digits(out, value % 100);
      at += 1 + token.size();
      replaced = true;
      break;
    }
    if (!replaced) {
      out.push_back('%');
      ++at;
    }
  }
  return out;
}
