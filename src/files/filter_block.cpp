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

}  // namespace

int file_filter_data::read(const xml_tree& document, const xml_node* filter_element) {
  std::string text;
  auto present = [&](const char* key) {
    return xml_text_of(document, key, filter_element, text) == 0;
  };
  auto read_text = [&](const char* key, std::string& field) {
    if (present(key)) field = text;
  };
  auto read_int = [&](const char* key, int32_t& field) {
    if (present(key)) field = text_to_int(text);
  };
  auto read_word = [&](const char* key, uint32_t& field) {
    if (present(key)) field = static_cast<uint32_t>(text_to_int(text));
  };
  auto read_time = [&](const char* key, unix_time& field) {
    if (present(key)) field = text_to_int64(text);
  };
  read_text("str_files_include", str_files_include);
  read_text("str_files_skip", str_files_skip);
  read_text("str_folder_include", str_folder_include);
  read_text("str_folder_skip", str_folder_skip);
  compile_masks();
  read_int("time_filter", time_filter);
  read_time("time_start", time_start);
  read_time("time_end", time_end);
  read_int("last_how_many", last_how_many);
  read_int("last_type", last_type);
  read_int("size_filter", size_filter);
  read_word("size_start", size_start);
  read_word("size_end", size_end);
  read_int("size_high_start", size_high_start);
  read_int("size_high_end", size_high_end);
  read_int("att_filter", att_filter);
  read_word("attrs", attrs);
  return 0;
}

void file_filter_data::write(std::string& out) const {
  auto number = [](int32_t value) { return qxval(value); };
  auto word = [](uint32_t value) { return qxval(static_cast<int32_t>(value)); };
  auto time = [](unix_time value) { return qxval(std::to_string(value)); };
  out += xml_element_line("str_files_include", qxval(str_files_include));
  out += xml_element_line("str_files_skip", qxval(str_files_skip));
  out += xml_element_line("str_folder_include", qxval(str_folder_include));
  out += xml_element_line("str_folder_skip", qxval(str_folder_skip));
  out += xml_element_line("time_filter", number(time_filter));
  out += xml_element_line("time_start", time(time_start));
  out += xml_element_line("time_end", time(time_end));
  out += xml_element_line("last_how_many", number(last_how_many));
  out += xml_element_line("last_type", number(last_type));
  out += xml_element_line("size_filter", number(size_filter));
  out += xml_element_line("size_start", word(size_start));
  out += xml_element_line("size_end", word(size_end));
  out += xml_element_line("size_high_start", number(size_high_start));
  out += xml_element_line("size_high_end", number(size_high_end));
  out += xml_element_line("att_filter", number(att_filter));
  out += xml_element_line("attrs", word(attrs));
}

}  // namespace dirscribe
