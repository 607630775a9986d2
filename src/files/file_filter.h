// file_filter_data: which scanned entries a listing keeps. Name masks for
// files and folders (include and skip lists), a modification-time window, a
// size window and an attribute condition, stored as the <filter> block of a
// project.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_node.h"
#include "files/stored_field.h"
#include "platform/regex_service.h"

namespace dirscribe {

struct xml_node;

// One mask text compiled into anchored, case-insensitive expressions. The
// compiled expressions are kept, so matching many names compiles nothing.
// Copies compile their own expressions from the pattern texts.
class mask_list {
 public:
  mask_list() = default;
  mask_list(const mask_list& other);
  mask_list& operator=(const mask_list& other);
  mask_list(mask_list&&) noexcept = default;
  mask_list& operator=(mask_list&&) noexcept = default;

  // Rebuilds the list from `text`, which is trimmed in place first: the text
  // is split at ";" (blanks around it ignored), empty pieces are skipped, and
  // each piece becomes an expression by wildcard_to_expression ("*" any run,
  // "?" zero or one character).
  void compile(std::string& text);
  void clear();

  // True when any pattern matches the whole of `name`; a pattern that did not
  // compile matches nothing; an empty list matches nothing. A mask of valid
  // UTF-8 matches by characters, case folded as the locale folds it, and a
  // byte of the name that is not UTF-8 counts as one character any "?" or
  // "*" takes. A mask holding bytes that are not UTF-8 matches by bytes,
  // those bytes as typed and ASCII letters in any case.
  bool matches(std::string_view name) const;

  // The same answer as matches, always found by running the expressions.
  bool matches_by_expression(std::string_view name) const;

  const std::vector<std::string>& patterns() const { return patterns_; }

 private:
  void compile_patterns();

  // A mask without wildcards ("index.html") or with one leading star only
  // ("*.tmp"), in ASCII: for an ASCII name it is matched by comparing
  // letters without regard to case, which is what its expression does.
  struct literal_mask {
    bool usable = false;
    bool suffix = false;  // the name ends with `text`; else it is `text`
    std::string text;
  };

  std::vector<std::string> patterns_;
  std::vector<compiled_regex> compiled_;
  // One per pattern: the mask holds bytes that are not UTF-8, so it is
  // matched byte by byte against the name as it stands.
  std::vector<bool> bytes_as_typed_;
  std::vector<literal_mask> literals_;  // one per pattern
  bool matches_all_ = false;            // a pattern of stars only takes every name
};

enum time_filter_mode : int32_t {
  time_off = 0,
  time_between = 1,  // time_start <= mtime <= time_end
  time_last = 2,     // within the last last_how_many units of last_type
  time_not_after = 3,
  time_not_before = 4,
};

enum time_unit : int32_t {
  unit_day = 1,
  unit_week = 2,
  unit_month = 3,
  unit_year = 4,
  unit_minute = 5,
  unit_hour = 6,
};

enum size_filter_mode : int32_t {
  size_off = 0,
  size_between = 1,
  size_not_above = 2,
  size_not_below = 3,
};

// Bits of att_filter.
enum attribute_filter_bit : int32_t {
  att_filter_on = 1,
  att_filter_inclusion = 2,  // clear: exclusion
  att_filter_all_of = 4,     // clear: any-of
};

struct file_filter_data {
  int32_t time_filter = time_off;
  unix_time time_start = 0;
  unix_time time_end = 0;
  int32_t last_how_many = 1;
  int32_t last_type = unit_day;
  int32_t size_filter = size_off;
  uint32_t size_start = 0;  // low word of the lower size bound
  uint32_t size_end = 0;    // low word of the upper size bound
  int32_t size_high_start = 0;
  int32_t size_high_end = 0;
  int32_t att_filter = 0;
  uint32_t attrs = 0;
  std::string str_files_include = "*";
  std::string str_files_skip;
  std::string str_folder_include = "*";
  std::string str_folder_skip;

  // Compiled from the four texts by compile_masks; empty until then, and
  // never saved.
  mask_list files_include;
  mask_list files_skip;
  mask_list folders_include;
  mask_list folders_skip;

  // Back to the defaults; the compiled lists stay until the next compile.
  void reset();

  // Rebuilds the four compiled lists from the texts (which are trimmed).
  void compile_masks();

  // Turns the time and size modes into concrete bounds, with `now` as the
  // present moment for mode time_last. Call once per run, before filtering.
  void prepare_windows(unix_time now);
  void prepare_windows();

  // The bounds of the size window as 64-bit values: the high word signed,
  // the low word unsigned.
  int64_t size_lower_bound() const;
  int64_t size_upper_bound() const;

  // True when `node` passes: a folder by the folder masks alone; a file by
  // attributes, time, size and names, in that order.
  bool keeps(const file_node& node) const;

  // Removes every node that does not pass, with its subtree, and returns the
  // number kept. With `parent`: its children only. Without: the whole tree,
  // children of kept folders included.
  int apply(file_tree& tree, file_node* parent) const;

  // Reads the keys present among the children of `filter_element` (keys that
  // are missing keep their values) and compiles the masks. Returns 0.
  int read(const owning_tree<xml_node>& document, const xml_node* filter_element);

  // Appends one "<key>value</key>\r\n" line per key, in the stored order;
  // numbers as signed decimals (a low word of 4294967295 is written -1).
  void write(std::string& out) const;

  // The keys of the stored block in their stored order.
  static std::vector<stored_key> stored_keys();
};

// `t` moved back by `count` units of `unit` (time_unit). Day, week, minute and
// hour are plain seconds. Month and year work on the UTC calendar date and
// keep the time of day: a day beyond the end of the target month spills into
// the next month (March 31 minus one month is March 3 or 2); February 29 minus
// a number of years that lands in a common year leaves `t` unchanged. Any
// other unit leaves `t` unchanged.
unix_time move_back(unix_time t, int32_t count, int32_t unit);

}  // namespace dirscribe
