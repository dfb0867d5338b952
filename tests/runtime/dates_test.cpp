// Dates under the time zone the test runs in (the test program runs once
// with TZ=Europe/Berlin and once with TZ=America/New_York): whatever the
// zone, a date holds its wall-clock fields as if they were UTC.
#include "runtime/dates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

TEST(Dates, first_day_of_1970_is_counted_without_the_platform) {
  EXPECT_EQ(date_make(1970, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(date_make(1970, 1, 1, 1, 2, 5), 3725);
  EXPECT_EQ(date_make(1970, 1, 1, 23, 59, 59), 86399);
}

TEST(Dates, fields_count_as_utc_in_winter_and_summer) {
  EXPECT_EQ(date_make(1970, 1, 2, 0, 0, 0), 86400);
  EXPECT_EQ(date_make(2000, 2, 29, 0, 0, 0), 951782400);
  EXPECT_EQ(date_make(2024, 1, 10, 8, 30, 0), 1704875400);
  EXPECT_EQ(date_make(2024, 7, 15, 12, 0, 0), 1721044800);  // daylight saving time in both zones
  EXPECT_EQ(date_make(2024, 3, 31, 2, 30, 0), 1711852200);  // the hour Berlin skips
  EXPECT_EQ(date_make(2024, 11, 3, 1, 30, 0), 1730597400);  // the hour New York repeats
  EXPECT_EQ(date_make(2038, 1, 18, 23, 59, 59), 2147471999);
}

TEST(Dates, out_of_range_fields_are_invalid) {
  EXPECT_EQ(date_make(2038, 1, 19, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2038, 2, 1, 0, 0, 0), -1);
  EXPECT_EQ(date_make(1900, 1, 1, 0, 0, 0), -1);
  EXPECT_EQ(date_make(1969, 12, 31, 23, 59, 59), -1);
  EXPECT_EQ(date_make(2001, 2, 29, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2100, 2, 28, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2004, 2, 30, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 4, 31, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 11, 31, 0, 0, 0), -1);
  EXPECT_NE(date_make(2021, 12, 31, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 13, 1, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 0, 1, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 1, 0, 0, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 1, 1, 24, 0, 0), -1);
  EXPECT_EQ(date_make(2021, 1, 1, 0, 60, 0), -1);
  EXPECT_EQ(date_make(2021, 1, 1, 0, 0, 60), -1);
  EXPECT_EQ(date_make(2021, 1, 1, -1, 0, 0), -1);
}

TEST(Dates, now_holds_the_local_wall_clock) {
  const std::time_t utc = std::time(nullptr);
  const Date now = date_now();
  ASSERT_NE(now, -1);
  const long offset = static_cast<long>(now) - static_cast<long>(utc);
  const std::string zone = std::getenv("TZ") ? std::getenv("TZ") : "";
  auto near = [&](long expected) { return offset >= expected - 3 && offset <= expected + 3; };
  if (zone == "Europe/Berlin") {
    EXPECT_TRUE(near(3600) || near(7200)) << offset;
  } else if (zone == "America/New_York") {
    EXPECT_TRUE(near(-18000) || near(-14400)) << offset;
  } else {
    EXPECT_LT(std::labs(offset), 15 * 3600 + 3);
  }
}

TEST(Dates, format_tokens_in_any_letter_case) {
  EXPECT_EQ(date_format("%hh:%ii:%ss", 3725), "01:02:05");
  EXPECT_EQ(date_format("%dd.%mm.%yyyy", 0), "01.01.1970");
  EXPECT_EQ(date_format("%YYYY-%Mm-%dD", 951782400), "2000-02-29");
  EXPECT_EQ(date_format("%yy", 951782400), "00");
  EXPECT_EQ(date_format("%yyyy%mm%dd%hh%ii%ss", 2147471999), "20380118235959");
  EXPECT_EQ(date_format("100%", 0), "100%");
  EXPECT_EQ(date_format("%%hh%x%", 7200), "%02%x%");
  EXPECT_EQ(date_format("", 5), "");
  EXPECT_EQ(date_format("%yyy", 0), "70y");
}

TEST(Dates, invalid_dates_format_as_zero_fields) {
  EXPECT_EQ(date_format("%dd.%mm.%yyyy %hh:%ii:%ss", -1), "00.00.0000 00:00:00");
  EXPECT_EQ(date_format("%yy", -5), "00");
}

}  // namespace
