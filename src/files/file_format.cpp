#include "files/file_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <vector>

#include "files/civil_date.h"
#include "platform/clock.h"

namespace dirscribe {

namespace {

constexpr size_t kDateBufferSize = 256;

// Writes `broken` in `format` over `out`, whose memory is used again.
void write_broken(const struct tm& broken, const std::string& format, std::string& out) {
  out.clear();
  if (format.empty()) return;
  if (format_numeric_date(broken, format, out)) return;
  // strftime answers 0 both for a text that does not fit and for an empty
  // one, so the buffer grows until the text fits or is surely empty: no
  // conversion writes more than a few hundred bytes for each byte of format.
  const size_t largest = std::max<size_t>(kDateBufferSize, format.size() * 512);
  for (size_t size = kDateBufferSize;; size *= 4) {
    out.resize(size);
    const size_t length = strftime(out.data(), out.size(), format.c_str(), &broken);
    if (length > 0 || size >= largest) {
      out.resize(length);
      return;
    }
  }
}

std::string format_broken(const struct tm& broken, const std::string& format) {
  std::string text;
  write_broken(broken, format, text);
  return text;
}

// `t`, or the nearest moment every format can print, broken down as UTC.
struct tm break_down_printable(unix_time t) {
  struct tm broken {};
  // Cannot fail: the printable moments are the ones broken down directly.
  break_down_utc(std::clamp(t, kFirstPrintableMoment, kLastPrintableMoment), broken);
  return broken;
}

std::string format_utc(unix_time t, const std::string& format) {
  return format_broken(break_down_printable(t), format);
}

// One piece of a strftime format: a conversion ("%S", "%OS", "%%") or a run
// of literal text.
struct format_piece {
  std::string text;
  bool conversion = false;
};

std::vector<format_piece> split_format(std::string_view format) {
  std::vector<format_piece> pieces;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] == '%' && i + 1 < format.size()) {
      size_t end = i + 1;
      if ((format[end] == 'E' || format[end] == 'O') && end + 1 < format.size()) ++end;
      const std::string_view spec = format.substr(i, end + 1 - i);
      if (spec == "%%") {
        if (pieces.empty() || pieces.back().conversion) pieces.push_back({});
        pieces.back().text += spec;
      } else {
        pieces.push_back({std::string(spec), true});
      }
      i = end + 1;
      continue;
    }
    if (pieces.empty() || pieces.back().conversion) pieces.push_back({});
    pieces.back().text += format[i];
    ++i;
  }
  return pieces;
}

bool is_separator_text(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 128 || std::isalnum(c)) return false;
  }
  return true;
}

// The zone name gmtime_r gives, so that %Z prints the same.
const char* utc_zone_name() {
  static const char* const name = [] {
    struct tm broken {};
    const time_t epoch = 0;
    return gmtime_r(&epoch, &broken) ? broken.tm_zone : "GMT";
  }();
  return name;
}

void append_padded(std::string& out, int value, int width, char pad) {
  char digits[12];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const int length = static_cast<int>(end - digits);
  if (length < width) out.append(static_cast<size_t>(width - length), pad);
  out.append(digits, static_cast<size_t>(length));
}

// Two digits of a value from 0 to 99; strftime's zero padding to width 2 of
// any other value.
void append_two_digits(std::string& out, int value) {
  if (value >= 0 && value < 100) {
    const char digits[2] = {static_cast<char>('0' + value / 10),
                            static_cast<char>('0' + value % 10)};
    out.append(digits, 2);
  } else {
    append_padded(out, value, 2, '0');
  }
}

// Appends strftime's text for the conversion `letter` (the byte after "%") of
// `broken`, whose year is `year`; false for a conversion not handled here.
bool append_numeric_conversion(char letter, const struct tm& broken, int year, std::string& out) {
  switch (letter) {
    case '%':
      out += '%';
      return true;
    case 'Y':
      append_two_digits(out, year / 100);
      append_two_digits(out, year % 100);
      return true;
    case 'C':
      append_two_digits(out, year / 100);
      return true;
    case 'y':
      append_two_digits(out, year % 100);
      return true;
    case 'm':
      append_two_digits(out, broken.tm_mon + 1);
      return true;
    case 'd':
      append_two_digits(out, broken.tm_mday);
      return true;
    case 'e':
      append_padded(out, broken.tm_mday, 2, ' ');
      return true;
    case 'j':
      append_padded(out, broken.tm_yday + 1, 3, '0');
      return true;
    case 'H':
      append_two_digits(out, broken.tm_hour);
      return true;
    case 'I':
      append_two_digits(out, broken.tm_hour % 12 == 0 ? 12 : broken.tm_hour % 12);
      return true;
    case 'M':
      append_two_digits(out, broken.tm_min);
      return true;
    case 'S':
      append_two_digits(out, broken.tm_sec);
      return true;
    case 'u':
      append_padded(out, broken.tm_wday == 0 ? 7 : broken.tm_wday, 1, '0');
      return true;
    case 'w':
      append_padded(out, broken.tm_wday, 1, '0');
      return true;
    case 'n':
      out += '\n';
      return true;
    case 't':
      out += '\t';
      return true;
    default:
      return false;
  }
}

// The numeric conversions a composite one stands for; empty for any other.
std::string_view composite_parts(char letter) {
  switch (letter) {
    case 'F':
      return "%Y-%m-%d";
    case 'D':
      return "%m/%d/%y";
    case 'T':
      return "%H:%M:%S";
    case 'R':
      return "%H:%M";
    default:
      return {};
  }
}

// Appends the text of `format` for `broken` (of year `year`); false at the
// first conversion that is neither numeric nor composite.
bool append_numeric_date(std::string_view format, const struct tm& broken, int year,
                         std::string& out) {
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (++i == format.size()) return false;
    const std::string_view parts = composite_parts(format[i]);
    const bool known = parts.empty() ? append_numeric_conversion(format[i], broken, year, out)
                                     : append_numeric_date(parts, broken, year, out);
    if (!known) return false;
  }
  return true;
}

}  // namespace

bool format_numeric_date(const struct tm& broken, std::string_view format, std::string& out) {
  const int year = broken.tm_year + 1900;
  if (year < 1000 || year > 9999) return false;
  out.clear();
  return append_numeric_date(format, broken, year, out);
}

bool break_down_utc(unix_time t, struct tm& broken) {
  // The printable span is broken down without the C library.
  if (t < kFirstPrintableMoment || t > kLastPrintableMoment) {
    const time_t moment = static_cast<time_t>(t);
    if (static_cast<unix_time>(moment) != t) return false;
    return gmtime_r(&moment, &broken) != nullptr;
  }
  const day_and_second moment = split_moment(t);
  const civil_date date = civil_from_days(moment.days);
  broken = {};
  broken.tm_hour = static_cast<int>(moment.seconds / 3600);
  broken.tm_min = static_cast<int>(moment.seconds % 3600 / 60);
  broken.tm_sec = static_cast<int>(moment.seconds % 60);
  broken.tm_wday = day_of_week(moment.days);
  broken.tm_year = static_cast<int>(date.year - 1900);
  broken.tm_mon = static_cast<int>(date.month - 1);
  broken.tm_mday = static_cast<int>(date.day);
  broken.tm_yday = day_of_year(date);
  broken.tm_isdst = 0;
  broken.tm_gmtoff = 0;
  broken.tm_zone = utc_zone_name();
  return true;
}

number_format user_number_format() {
  const user_locale_conventions conventions = read_user_locale_conventions();
  number_format format;
  format.decimal_separator = conventions.decimal_separator;
  format.thousands_separator = conventions.thousands_separator;
  return format;
}

date_time_formats user_date_time_formats() {
  const user_locale_conventions conventions = read_user_locale_conventions();
  date_time_formats formats;
  if (!conventions.date_format.empty()) formats.date = conventions.date_format;
  if (!conventions.time_format.empty()) formats.time = remove_seconds(conventions.time_format);
  return formats;
}

std::string remove_seconds(std::string_view time_format) {
  std::string expanded(time_format);
  // The composite conversions hold seconds of their own.
  std::string spelled;
  for (const format_piece& piece : split_format(expanded)) {
    if (piece.text == "%T") {
      spelled += "%H:%M:%S";
    } else if (piece.text == "%r") {
      spelled += "%I:%M:%S %p";
    } else {
      spelled += piece.text;
    }
  }
  std::vector<format_piece> pieces = split_format(spelled);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const format_piece& piece = pieces[i];
    if (!piece.conversion || piece.text.back() != 'S') continue;
    size_t first = i;
    size_t last = i;
    const bool literal_before = i >= 2 && !pieces[i - 1].conversion;
    const bool literal_after = i + 1 < pieces.size() && !pieces[i + 1].conversion;
    if (literal_before && is_separator_text(pieces[i - 1].text)) {
      first = i - 1;
    } else if (literal_after) {
      last = i + 1;
    }
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first),
                 pieces.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    i = first;
    if (i > 0) --i;
  }
  std::string result;
  for (const format_piece& piece : pieces) result += piece.text;
  return result;
}

std::string group_digits(int64_t value, const number_format& format) {
  const bool negative = value < 0;
  const uint64_t magnitude =
      negative ? ~static_cast<uint64_t>(value) + 1 : static_cast<uint64_t>(value);
  char buffer[24];
  const std::string_view digits(
      buffer,
      static_cast<size_t>(std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr - buffer));
  std::string out;
  if (negative) out += '-';
  const size_t group = format.grouping > 0 ? static_cast<size_t>(format.grouping) : 0;
  if (group == 0 || format.thousands_separator.empty()) {
    out += digits;
    return out;
  }
  // The first group holds what is left over from whole groups.
  size_t first = digits.size() % group;
  if (first == 0) first = group;
  out.append(digits.substr(0, first));
  for (size_t i = first; i < digits.size(); i += group) {
    out += format.thousands_separator;
    out.append(digits.substr(i, group));
  }
  return out;
}

std::string format_readable_size(uint64_t size, const number_format& format) {
  static constexpr const char* kSymbols[] = {" B", " KB", " MB", " GB", " TB", " PB", " EB"};
  constexpr int kLargest = 6;
  int unit = 0;
  while (unit < kLargest && size >> (10 * (unit + 1)) != 0) ++unit;
  if (unit == 0) return group_digits(static_cast<int64_t>(size), format) + kSymbols[0];
  // Tenths of the unit, rounded half up; 128 bits, as ten times a size near
  // 2^64 does not fit in 64.
  const int shift = 10 * unit;
  const unsigned __int128 scaled = static_cast<unsigned __int128>(size) * 10;
  uint64_t tenths =
      static_cast<uint64_t>((scaled + (static_cast<unsigned __int128>(1) << (shift - 1))) >> shift);
  if (tenths >= 1000) {
    uint64_t whole = (size >> shift) + ((size >> (shift - 1)) & 1);
    if (whole < 1024 || unit == kLargest) {
      return group_digits(static_cast<int64_t>(whole), format) + kSymbols[unit];
    }
    // Rounded up into the next unit, which shows it with its decimal.
    ++unit;
    tenths = 10;
  }
  std::string text = std::to_string(tenths / 10);
  text += format.decimal_separator.empty() ? "." : format.decimal_separator;
  text += static_cast<char>('0' + tenths % 10);
  text += kSymbols[unit];
  return text;
}

std::string format_size(uint64_t size, int32_t units, std::string_view label,
                        const number_format& format) {
  if (units == kUnitsReadable) return format_readable_size(size, format);
  const char* suffix = "";
  int32_t unit = units;
  if (units == kUnitsAutomatic) {
    if (size < 1024) {
      unit = 0;
      suffix = "b";
    } else if (size < 1048576) {
      unit = 1;
      suffix = "Kb";
    } else {
      unit = 2;
      suffix = "Mb";
    }
  }
  uint64_t value = size;
  if (unit > 0) {
    // size / 1024^unit, rounded up; beyond 64 bits any non-zero size is 1.
    const int shift = unit < 7 ? 10 * unit : 64;
    if (shift >= 64) {
      value = size != 0;
    } else {
      value = (size >> shift) + ((size & ((uint64_t{1} << shift) - 1)) != 0);
    }
  }
  std::string text = group_digits(static_cast<int64_t>(value), format);
  if (units == kUnitsAutomatic) {
    text += suffix;
  } else if (unit > 0) {
    text += label;
  }
  return text;
}

int format_date_time(unix_time t, bool use_date_format, const std::string& date_format,
                     const date_time_formats& formats, std::string& out) {
  const struct tm broken = break_down_printable(t);
  if (use_date_format) {
    write_broken(broken, date_format, out);
    return 0;
  }
  write_broken(broken, formats.date, out);
  out += ' ';
  out += format_broken(broken, formats.time);
  return 0;
}

std::string format_date(unix_time t, const date_time_formats& formats) {
  return format_utc(t, formats.date);
}

std::string format_time(unix_time t, const date_time_formats& formats) {
  return format_utc(t, formats.time);
}

unix_time to_local_time(unix_time t) { return t + local_offset_at(t); }

std::string attribute_letters(uint32_t attributes) {
  static const struct {
    uint32_t bit;
    char letter;
  } kLetters[] = {{0x20, 'A'},   {0x800, 'C'}, {0x10, 'D'}, {0x2, 'H'},
                  {0x1000, 'O'}, {0x1, 'R'},   {0x4, 'S'},  {0x100, 'T'}};
  std::string text;
  for (const auto& entry : kLetters) {
    if (attributes & entry.bit) text += entry.letter;
  }
  return text;
}

std::string mode_string(uint32_t attributes, bool is_folder) {
  static const char kLetters[] = "drwxrwxrwx";
  std::string mode(10, '-');
  mode[0] = is_folder ? 'd' : '-';
  if (attributes & 0x1000) mode[0] = 'l';
  for (int position = 1; position <= 9; ++position) {
    if (attributes & (1u << (9 - position))) mode[position] = kLetters[position];
  }
  if (attributes & 0x800) mode[3] = (attributes & 0x40) ? 's' : 'S';
  if (attributes & 0x400) mode[6] = (attributes & 0x8) ? 's' : 'S';
  if (attributes & 0x200) mode[9] = (attributes & 0x1) ? 't' : 'T';
  return mode;
}

}  // namespace dirscribe
