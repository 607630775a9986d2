// Time and locale facts: the present moment, the local-time offset and the
// user's number and date conventions.
#pragma once

#include <cstdint>
#include <string>

namespace dirscribe {

// Seconds since 1970-01-01 00:00:00 UTC.
int64_t current_unix_time();

// The offset of local time from UTC, in seconds, in force at moment `t`
// (localtime_r's tm_gmtoff, so daylight saving applies to summer moments even
// in winter). 0 when the moment cannot be broken down.
int64_t local_offset_at(int64_t t);

// The user's conventions as the environment's locale (LANG, LC_*) gives them.
// A value that cannot be read stays empty.
struct user_locale_conventions {
  std::string thousands_separator;  // LC_NUMERIC THOUSEP
  std::string decimal_separator;    // LC_NUMERIC RADIXCHAR
  std::string date_format;          // LC_TIME D_FMT (strftime form)
  std::string time_format;          // LC_TIME T_FMT (strftime form, with seconds)
};

// Reads the conventions through newlocale/nl_langinfo_l, never touching the
// process's global locale.
user_locale_conventions read_user_locale_conventions();

}  // namespace dirscribe
