#include "files/civil_date.h"

namespace dirscribe {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 0000-03-01 to 1970-01-01, and in one 400-year era: the
// conversions count in eras that start on March 1, so a leap day ends a year.
constexpr int64_t kEpochFromMarchZero = 719468;
constexpr int64_t kDaysPerEra = 146097;

}  // namespace

day_and_second split_moment(int64_t seconds) {
  day_and_second split{seconds / kSecondsPerDay, seconds % kSecondsPerDay};
  if (split.seconds < 0) {
    split.seconds += kSecondsPerDay;
    --split.days;
  }
  return split;
}

int64_t days_from_civil(const civil_date& date) {
  const int64_t year = date.year - (date.month <= 2);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year =
      (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * kDaysPerEra + day_of_era - kEpochFromMarchZero;
}

civil_date civil_from_days(int64_t days) {
  const int64_t shifted = days + kEpochFromMarchZero;
  const int64_t era = (shifted >= 0 ? shifted : shifted - (kDaysPerEra - 1)) / kDaysPerEra;
  const int64_t day_of_era = shifted - era * kDaysPerEra;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_from_march = (5 * day_of_year + 2) / 153;
  civil_date date;
  date.day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
  date.month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
  date.year = year_of_era + era * 400 + (date.month <= 2);
  return date;
}

bool is_leap_year(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int64_t days_in_month(int64_t year, int64_t month) {
  static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && is_leap_year(year)) return 29;
  return kLengths[month - 1];
}

int day_of_year(const civil_date& date) {
  static const int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const bool after_leap_day = date.month > 2 && is_leap_year(date.year);
  return kDaysBeforeMonth[date.month - 1] + static_cast<int>(date.day) - 1 + after_leap_day;
}

int day_of_week(int64_t days) {
  // 1970-01-01 was a Thursday.
  return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

}  // namespace dirscribe
