#include "files/civil_date.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace dirscribe {
namespace {

// The C library's answers, the model the calendar arithmetic must match.
int64_t days_by_timegm(int64_t year, int64_t month, int64_t day) {
  struct tm broken {};
  broken.tm_year = static_cast<int>(year - 1900);
  broken.tm_mon = static_cast<int>(month - 1);
  broken.tm_mday = static_cast<int>(day);
  return static_cast<int64_t>(timegm(&broken)) / 86400;
}

struct tm broken_by_gmtime(int64_t days) {
  // Noon, so that no rounding of the day count could hide an error.
  const time_t moment = static_cast<time_t>(days * 86400 + 43200);
  struct tm broken {};
  gmtime_r(&moment, &broken);
  return broken;
}

std::string text(const civil_date& date) {
  return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" +
         std::to_string(date.day);
}

TEST(CivilDateTest, DatesAgreeWithTheCLibrary) {
  const civil_date dates[] = {
      {1970, 1, 1},   {1969, 12, 31}, {1970, 3, 1},    {1900, 2, 28},    {1900, 3, 1},
      {1600, 2, 29},  {1601, 1, 1},   {1, 1, 1},       {0, 2, 29},       {-1, 12, 31},
      {-400, 3, 1},   {1582, 10, 15}, {2000, 2, 29},   {2000, 3, 1},     {2024, 12, 31},
      {2038, 1, 19},  {2038, 1, 20},  {2100, 2, 28},   {2100, 3, 1},     {2400, 2, 29},
      {9999, 12, 31}, {10000, 1, 1},  {275760, 9, 13}, {1000000, 6, 15},
  };
  for (const civil_date& date : dates) {
    const int64_t days = days_by_timegm(date.year, date.month, date.day);
    EXPECT_EQ(days_from_civil(date), days) << text(date);
    EXPECT_EQ(text(civil_from_days(days)), text(date)) << days;
    const struct tm broken = broken_by_gmtime(days);
    EXPECT_EQ(day_of_year(date), broken.tm_yday) << text(date);
    EXPECT_EQ(day_of_week(days), broken.tm_wday) << text(date);
  }
}

// Every 97th day from about 220 BC to about AD 10180: each day maps to the
// date gmtime_r gives and back.
TEST(CivilDateTest, ARangeOfDaysAgreesWithGmtime) {
  for (int64_t days = -800000; days < 3000000; days += 97) {
    const struct tm broken = broken_by_gmtime(days);
    const civil_date expected{broken.tm_year + int64_t{1900}, broken.tm_mon + int64_t{1},
                              broken.tm_mday};
    const civil_date date = civil_from_days(days);
    ASSERT_EQ(text(date), text(expected)) << days;
    ASSERT_EQ(days_from_civil(date), days) << text(date);
    ASSERT_EQ(day_of_year(date), broken.tm_yday) << text(date);
    ASSERT_EQ(day_of_week(days), broken.tm_wday) << text(date);
  }
}

TEST(CivilDateTest, MonthLengthsAndLeapYears) {
  const struct {
    int64_t year;
    bool leap;
  } years[] = {{1900, false}, {2000, true}, {2023, false}, {2024, true},
               {2100, false}, {2400, true}, {-4, true},    {-100, false}};
  for (const auto& c : years) {
    EXPECT_EQ(is_leap_year(c.year), c.leap) << c.year;
    for (int64_t month = 1; month <= 12; ++month) {
      const int64_t next = days_by_timegm(c.year + month / 12, month % 12 + 1, 1);
      EXPECT_EQ(days_in_month(c.year, month), next - days_by_timegm(c.year, month, 1))
          << c.year << "-" << month;
    }
  }
}

TEST(CivilDateTest, SplitMomentRoundsDaysDown) {
  const struct {
    int64_t seconds;
    int64_t days;
    int64_t second_of_day;
  } cases[] = {
      {0, 0, 0},
      {1, 0, 1},
      {86399, 0, 86399},
      {86400, 1, 0},
      {-1, -1, 86399},
      {-86400, -1, 0},
      {-86401, -2, 86399},
      {1704164645, 19724, 11045},
      {-62135596800, -719162, 0},
  };
  for (const auto& c : cases) {
    const day_and_second split = split_moment(c.seconds);
    EXPECT_EQ(split.days, c.days) << c.seconds;
    EXPECT_EQ(split.seconds, c.second_of_day) << c.seconds;
  }
}

}  // namespace
}  // namespace dirscribe
