// Reading and writing the <filter> block of a project file.
#include <string>

#include "core/qxchar.h"
#include "core/qxval.h"
#include "files/file_filter.h"
#include "markup/xml_node.h"

namespace dirscribe {

namespace {

// Signed decimal as the project file stores it: leading white space skipped,
// optional sign, digits up to the first other byte (none gives 0); overflow
// wraps in 64 bits. Times are 64 bits wide; a file written with 32-bit times
// reads unchanged.
int64_t text_to_int64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  return static_cast<int64_t>(negative ? ~value + 1 : value);
}

// The keys of the block in their stored order, each with its field: the one
// list that reading and writing go through. `after_masks` runs after the four
// mask texts, where reading compiles them.
template <class filter_data, class visit_key, class visit_end_of_masks>
void for_each_key(filter_data& f, visit_key visit, visit_end_of_masks after_masks) {
  visit("str_files_include", f.str_files_include);
  visit("str_files_skip", f.str_files_skip);
  visit("str_folder_include", f.str_folder_include);
  visit("str_folder_skip", f.str_folder_skip);
  after_masks();
  visit("time_filter", f.time_filter);
  visit("time_start", f.time_start);
  visit("time_end", f.time_end);
  visit("last_how_many", f.last_how_many);
  visit("last_type", f.last_type);
  visit("size_filter", f.size_filter);
  visit("size_start", f.size_start);
  visit("size_end", f.size_end);
  visit("size_high_start", f.size_high_start);
  visit("size_high_end", f.size_high_end);
  visit("att_filter", f.att_filter);
  visit("attrs", f.attrs);
}

// A field from its stored text: numbers as text_to_int reads them, the
// unsigned words wrapped from the signed value, times 64 bits wide.
void assign(std::string& field, const std::string& text) { field = text; }
void assign(int32_t& field, const std::string& text) { field = text_to_int(text); }
void assign(uint32_t& field, const std::string& text) {
  field = static_cast<uint32_t>(text_to_int(text));
}
void assign(unix_time& field, const std::string& text) { field = text_to_int64(text); }

// A field as it is stored: the unsigned words as signed numbers, times as
// their decimal text.
qxval as_value(const std::string& field) { return qxval(field); }
qxval as_value(int32_t field) { return qxval(field); }
qxval as_value(uint32_t field) { return qxval(static_cast<int32_t>(field)); }
qxval as_value(unix_time field) { return qxval(std::to_string(field)); }

}  // namespace

int file_filter_data::read(const xml_tree& document, const xml_node* filter_element) {
  std::string text;
  for_each_key(
      *this,
      [&](const char* key, auto& field) {
        if (xml_text_of(document, key, filter_element, text) == 0) assign(field, text);
      },
      [this] { compile_masks(); });
  return 0;
}

void file_filter_data::write(std::string& out) const {
  for_each_key(
      *this,
      [&](const char* key, const auto& field) { out += xml_element_line(key, as_value(field)); },
      [] {});
}

}  // namespace dirscribe
