// Turning sizes, dates and attributes into the texts a listing prints. Every
// function takes the conventions it needs as values, so the results do not
// depend on the machine's settings; the user_* functions read those values
// from the user's locale once.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "files/file_node.h"

namespace dirscribe {

// How a size is printed: whole numbers grouped by three.
struct number_format {
  int32_t leading_zero = 0;  // unused without decimals
  int32_t grouping = 3;      // digits per group; 0 writes no separators
  std::string decimal_separator;
  std::string thousands_separator;
  int32_t negative_order = 1;  // "-" directly in front
};

// The user's thousands and decimal separators, grouping 3.
number_format user_number_format();

// Short date and time formats in strftime form; `time` has no seconds.
struct date_time_formats {
  std::string date = "%m/%d/%y";
  std::string time = "%H:%M";
};

// The user's D_FMT, and T_FMT with its seconds field removed.
date_time_formats user_date_time_formats();

// A time format without its seconds: "%H:%M:%S" -> "%H:%M", "%r" ->
// "%I:%M %p", "%T" -> "%H:%M". The separator in front of the seconds goes
// with them.
std::string remove_seconds(std::string_view time_format);

// `value` in decimal with the format's thousands separator.
std::string group_digits(int64_t value, const number_format& format);

// Size units: -2 readable, -1 automatic, 0 bytes, 1 kilobytes, 2 megabytes.
inline constexpr int32_t kUnitsReadable = -2;
inline constexpr int32_t kUnitsAutomatic = -1;

// `size` as file managers print it: the largest unit of B, KB, MB, GB, TB,
// PB, EB (powers of 1024) that the size reaches, a blank, then the symbol.
// Below 100 of a unit one decimal, rounded half up ("13.4 KB", "1.0 KB"),
// from 100 up none ("100 KB", "1,023 KB"); bytes never have one ("7 B",
// "1,023 B"). A size that rounds to 1024 of a unit is 1.0 of the next
// ("1.0 MB" for 1048575 bytes). The format gives the thousands separator
// and the decimal separator ("." when it has none).
std::string format_readable_size(uint64_t size, const number_format& format);

// `size` as a listing prints it. Readable units are format_readable_size's;
// automatic units pick bytes below 1024,
// kilobytes below 1048576 and megabytes above, with the suffixes "b", "Kb",
// "Mb" written directly after the number; a fixed unit above 0 gets `label`;
// bytes get nothing. Kilobytes and megabytes are rounded up.
std::string format_size(uint64_t size, int32_t units, std::string_view label,
                        const number_format& format);

// The first and the last moment a listing prints as they are: 0001-01-01
// 00:00:00 and 9999-12-31 23:59:59 UTC. Every date format can print a year of
// four digits, and such dates sort as text; beyond them struct tm's year
// overflows or the C library gives up. A moment outside is printed as the
// nearer of the two, so a file dated by a broken clock or a hostile archive
// never fails a listing.
inline constexpr unix_time kFirstPrintableMoment = -62135596800;
inline constexpr unix_time kLastPrintableMoment = 253402300799;

// The date and time of `t` broken down as UTC (no shift), `t` taken as the
// nearest printable moment. With `use_date_format`: strftime(`date_format`).
// Without: the locale's short date, a blank, the short time. Returns 0.
int format_date_time(unix_time t, bool use_date_format, const std::string& date_format,
                     const date_time_formats& formats, std::string& out);

// `t` broken down as UTC, exactly as gmtime_r does it (time zone "GMT"),
// but computed directly for years 1 to 9999, which spares the C library's
// time-zone machinery for each entry. False when gmtime_r would fail.
bool break_down_utc(unix_time t, struct tm& broken);

// strftime's text for the numeric conversions (%Y %C %y %m %d %e %j %H %I %M
// %S %u %w %F %D %T %R %n %t %%), which no locale changes, made without
// strftime. False, with `out` unspecified, when the format holds any other
// conversion, a flag or width, the year is outside 1000 to 9999, or the text
// would not fit the 256 bytes strftime is given: those go to strftime.
bool format_numeric_date(const struct tm& broken, std::string_view format, std::string& out);

// The short date, and the time without seconds, of `t` as UTC, `t` taken as
// the nearest printable moment.
std::string format_date(unix_time t, const date_time_formats& formats);
std::string format_time(unix_time t, const date_time_formats& formats);

// `t` shifted from UTC to local time by the offset in force at that moment;
// a moment the C library cannot place in local time is not shifted.
unix_time to_local_time(unix_time t);

// "A" 0x20, "C" 0x800, "D" 0x10, "H" 0x2, "O" 0x1000, "R" 0x1, "S" 0x4,
// "T" 0x100, in that order, for the bits that are set.
std::string attribute_letters(uint32_t attributes);

// The ten-character mode text ("drwxr-xr-x") of Unix permission bits as an
// FTP listing reports them; bit 0x1000 marks a link.
std::string mode_string(uint32_t attributes, bool is_folder);

}  // namespace dirscribe
