// Days and dates of the proleptic Gregorian calendar, counted from
// 1970-01-01: the arithmetic under the UTC breakdown of file times and the
// "within the last months" of the filter. Pure integer arithmetic, so it
// holds for any year, far beyond what time_t or struct tm can carry.
#pragma once

#include <cstdint>

namespace dirscribe {

// A date of the proleptic Gregorian calendar: month 1 to 12, day 1 to 31.
struct civil_date {
  int64_t year = 1970;
  int64_t month = 1;
  int64_t day = 1;
};

// A moment split into whole days since 1970-01-01 (rounded down, so negative
// before it) and the seconds into that day (0 to 86399).
struct day_and_second {
  int64_t days = 0;
  int64_t seconds = 0;
};

// `seconds` since 1970-01-01 00:00:00 as days and seconds into the day.
day_and_second split_moment(int64_t seconds);

// Days from 1970-01-01 to `date`, negative before it. REQUIRES: month 1 to
// 12; a day beyond the month's length counts on into the next month.
int64_t days_from_civil(const civil_date& date);

// The date `days` days after 1970-01-01 (before it when negative).
civil_date civil_from_days(int64_t days);

// Whether `year` has a February 29.
bool is_leap_year(int64_t year);

// Days of month `month` (1 to 12) of `year`.
int64_t days_in_month(int64_t year, int64_t month);

// The day within its year, 0 for January 1 (struct tm's tm_yday).
int day_of_year(const civil_date& date);

// The weekday of the day `days` after 1970-01-01, 0 for Sunday (tm_wday).
int day_of_week(int64_t days);

}  // namespace dirscribe
