#include "files/file_filter.h"

#include "core/byte_string.h"

#include <cctype>
#include <cwctype>
#include <limits>

#include "files/civil_date.h"
#include "platform/clock.h"

namespace dirscribe {

namespace {

// Brings a 0-based month into 0..11 by moving whole years.
void normalise_month(int64_t& year, int64_t& month0) {
  int64_t years = month0 / 12;
  month0 %= 12;
  if (month0 < 0) {
    month0 += 12;
    --years;
  }
  year += years;
}

bool is_file_dropped_by_attributes(uint32_t attributes, int32_t att_filter, uint32_t chosen) {
  if (!(att_filter & att_filter_on)) return false;
  const uint32_t present = attributes & chosen;
  const bool all_of = att_filter & att_filter_all_of;
  if (att_filter & att_filter_inclusion) {
    return all_of ? present != chosen : present == 0;
  }
  // Exclusion drops what carries the chosen attributes; with nothing chosen
  // there is nothing to exclude.
  if (chosen == 0) return false;
  return all_of ? present == chosen : present != 0;
}

// A mask of stars only ("*", "**") becomes "^.*$" or "^.*.*$", which takes
// every name; knowing it spares running an expression on every entry.
bool is_match_all(std::string_view pattern) {
  if (pattern.size() < 2 || pattern.front() != '^' || pattern.back() != '$') return false;
  pattern = pattern.substr(1, pattern.size() - 2);
  if (pattern.size() % 2 != 0) return false;
  for (size_t i = 0; i < pattern.size(); i += 2) {
    if (pattern.substr(i, 2) != ".*") return false;
  }
  return true;
}

// The literal a mask expression stands for when it is "^text$" or
// "^.*text$" with text made of plain ASCII characters and escaped specials
// only (see wildcard_to_expression: an unescaped "." comes from a wildcard).
bool literal_of(std::string_view pattern, std::string& text, bool& suffix) {
  if (pattern.size() < 2 || pattern.front() != '^' || pattern.back() != '$') return false;
  pattern = pattern.substr(1, pattern.size() - 2);
  suffix = pattern.substr(0, 2) == ".*";
  if (suffix) pattern.remove_prefix(2);
  text.clear();
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '\\') {
      if (++i == pattern.size()) return false;
      c = pattern[i];
    } else if (c == '.') {
      return false;
    }
    if (static_cast<unsigned char>(c) >= 128) return false;
    text += c;
  }
  return true;
}

// Whether the locale folds ASCII letters as ASCII does, and nothing else in
// ASCII: then a case-insensitive expression matches an ASCII name exactly
// where an ASCII comparison without regard to case does. (Not so in a Turkish
// locale, where "i" and "I" are no pair.)
bool locale_folds_ascii() {
  for (wint_t c = 0; c < 128; ++c) {
    const bool lower = c >= 'a' && c <= 'z';
    const bool upper = c >= 'A' && c <= 'Z';
    const wint_t up = lower ? c - 32 : c;
    const wint_t down = upper ? c + 32 : c;
    if (std::towupper(c) != up || std::towlower(c) != down) return false;
    const int byte = static_cast<int>(c);
    if (std::toupper(byte) != static_cast<int>(up) ||
        std::tolower(byte) != static_cast<int>(down)) {
      return false;
    }
  }
  return true;
}

bool is_ascii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 128) return false;
  }
  return true;
}

char fold_ascii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool equal_ascii_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold_ascii(a[i]) != fold_ascii(b[i])) return false;
  }
  return true;
}

}  // namespace

mask_list::mask_list(const mask_list& other) : patterns_(other.patterns_) { compile_patterns(); }

mask_list& mask_list::operator=(const mask_list& other) {
  if (this != &other) {
    patterns_ = other.patterns_;
    compile_patterns();
  }
  return *this;
}

void mask_list::clear() {
  patterns_.clear();
  compiled_.clear();
  bytes_as_typed_.clear();
  matches_all_ = false;
}

void mask_list::compile(std::string& text) {
  clear();
  trim(text);
  if (text.empty()) return;
  std::vector<std::string> pieces;
  regex_split(" *; *", regex_default, text, pieces);
  for (std::string& piece : pieces) {
    if (piece.empty()) continue;
    wildcard_to_expression(piece);
    patterns_.push_back(std::move(piece));
  }
  compile_patterns();
}

void mask_list::compile_patterns() {
  compiled_.clear();
  compiled_.reserve(patterns_.size());
  literals_.assign(patterns_.size(), {});
  bytes_as_typed_.assign(patterns_.size(), false);
  matches_all_ = false;
  // The expressions take the locale in force when they are compiled; so does
  // the choice of comparing instead.
  const bool folds_ascii = locale_folds_ascii();
  for (size_t i = 0; i < patterns_.size(); ++i) {
    const std::string& pattern = patterns_[i];
    // The locale's expression cannot even read such a mask: "secret\xff.txt"
    // must still leave out the file of that very name.
    bytes_as_typed_[i] = !is_valid_utf8(pattern);
    compiled_.emplace_back(pattern,
                           regex_icase | regex_nosub | (bytes_as_typed_[i] ? regex_bytes : 0));
    if (is_match_all(pattern)) matches_all_ = true;
    literal_mask& literal = literals_[i];
    literal.usable =
        folds_ascii && compiled_.back().ok() && literal_of(pattern, literal.text, literal.suffix);
  }
}

bool mask_list::matches(std::string_view name) const {
  if (matches_all_) return true;
  if (compiled_.empty()) return false;
  if (!is_ascii(name)) return matches_by_expression(name);
  for (size_t i = 0; i < compiled_.size(); ++i) {
    const literal_mask& literal = literals_[i];
    if (literal.usable) {
      if (literal.suffix
              ? name.size() >= literal.text.size() &&
                    equal_ascii_nocase(name.substr(name.size() - literal.text.size()), literal.text)
              : equal_ascii_nocase(name, literal.text)) {
        return true;
      }
    } else if (compiled_[i].matches(name)) {
      return true;
    }
  }
  return false;
}

bool mask_list::matches_by_expression(std::string_view name) const {
  if (matches_all_) return true;
  if (compiled_.empty()) return false;
  // The expressions of UTF-8 masks run in the user's (UTF-8) locale, where a
  // byte that is not valid UTF-8 matches nothing, not even ".*": such a name
  // would be dropped by every mask. Each stray byte is matched as one
  // character instead, as the listing counts it. Masks of bytes see the
  // name as it is.
  std::string repaired;
  std::string_view text = name;
  if (!is_valid_utf8(name)) {
    repaired = replace_invalid_utf8(name, '?');
    text = repaired;
  }
  for (size_t i = 0; i < compiled_.size(); ++i) {
    if (compiled_[i].matches(bytes_as_typed_[i] ? name : text)) return true;
  }
  return false;
}

unix_time move_back(unix_time t, int32_t count, int32_t unit) {
  switch (unit) {
    case unit_day:
      return t - int64_t{count} * 86400;
    case unit_week:
      return t - int64_t{count} * 604800;
    case unit_minute:
      return t - int64_t{count} * 60;
    case unit_hour:
      return t - int64_t{count} * 3600;
    case unit_month:
    case unit_year:
      break;
    default:
      return t;
  }
  const day_and_second moment = split_moment(t);
  civil_date date = civil_from_days(moment.days);
  int64_t month0 = date.month - 1;
  if (unit == unit_month) {
    month0 -= count;
    normalise_month(date.year, month0);
    if (date.day > days_in_month(date.year, month0 + 1)) {
      date.day -= days_in_month(date.year, month0 + 1);
      ++month0;
      normalise_month(date.year, month0);
    }
  } else {
    date.year -= count;
    // February 29 of a common year does not exist: the date stays put.
    if (month0 == 1 && date.day == 29 && !is_leap_year(date.year)) return t;
  }
  date.month = month0 + 1;
  return days_from_civil(date) * 86400 + moment.seconds;
}

void file_filter_data::reset() {
  time_filter = time_off;
  time_start = 0;
  time_end = 0;
  last_how_many = 1;
  last_type = unit_day;
  size_filter = size_off;
  size_start = 0;
  size_end = 0;
  size_high_start = 0;
  size_high_end = 0;
  att_filter = 0;
  attrs = 0;
  str_files_include = "*";
  str_files_skip.clear();
  str_folder_include = "*";
  str_folder_skip.clear();
}

void file_filter_data::compile_masks() {
  files_include.compile(str_files_include);
  files_skip.compile(str_files_skip);
  folders_include.compile(str_folder_include);
  folders_skip.compile(str_folder_skip);
}

void file_filter_data::prepare_windows(unix_time now) {
  switch (time_filter) {
    case time_last:
      time_end = now;
      time_start = move_back(now, last_how_many, last_type);
      break;
    case time_not_after:
      // Everything up to time_end, files dated before 1970 included.
      time_start = std::numeric_limits<unix_time>::min();
      break;
    case time_not_before:
      time_end = std::numeric_limits<unix_time>::max();
      break;
    default:
      break;
  }
  switch (size_filter) {
    case size_not_above:
      size_start = 0;
      size_high_start = 0;
      break;
    case size_not_below:
      size_end = 4294967295u;
      size_high_end = 2147483647;
      break;
    default:
      break;
  }
}

void file_filter_data::prepare_windows() { prepare_windows(current_unix_time()); }

int64_t file_filter_data::size_lower_bound() const {
  return int64_t{size_high_start} * 4294967296LL + size_start;
}

int64_t file_filter_data::size_upper_bound() const {
  return int64_t{size_high_end} * 4294967296LL + size_end;
}

bool file_filter_data::keeps(const file_node& node) const {
  if (node.is_folder) {
    return folders_include.matches(node.name) && !folders_skip.matches(node.name);
  }
  if (is_file_dropped_by_attributes(node.attributes, att_filter, attrs)) return false;
  if (time_filter != time_off && (node.mtime < time_start || node.mtime > time_end)) return false;
  if (size_filter != size_off) {
    const int64_t size = static_cast<int64_t>(node.size);
    if (size < size_lower_bound() || size > size_upper_bound()) return false;
  }
  return files_include.matches(node.name) && !files_skip.matches(node.name);
}

int file_filter_data::apply(file_tree& tree, file_node* parent) const {
  int kept = 0;
  file_node* node = parent ? parent->first_child() : tree.first();
  while (node) {
    if (!keeps(*node)) {
      file_node* following = parent ? node->next() : node->next_skipping_children();
      tree.remove(node);
      node = following;
      continue;
    }
    ++kept;
    node = parent ? node->next() : node->next_in_document_order();
  }
  return kept;
}

}  // namespace dirscribe
