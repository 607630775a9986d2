// Reading and writing the <filter> block of a project file.
#include <string>

#include "core/byte_string.h"
#include "core/tagged_value.h"
#include "files/file_filter.h"
#include "files/stored_field.h"
#include "markup/xml_node.h"

namespace dirscribe {

namespace {

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

}  // namespace

std::vector<stored_key> file_filter_data::stored_keys() {
  std::vector<stored_key> keys;
  file_filter_data any;
  for_each_key(
      any, [&](const char* key, const auto& field) { keys.push_back(key_of(key, field)); }, [] {});
  return keys;
}

int file_filter_data::read(const xml_tree& document, const xml_node* filter_element) {
  std::string text;
  for_each_key(
      *this,
      [&](const char* key, auto& field) {
        if (xml_text_of(document, key, filter_element, text) == 0) assign_stored(field, text);
      },
      [this] { compile_masks(); });
  return 0;
}

void file_filter_data::write(std::string& out) const {
  for_each_key(
      *this,
      [&](const char* key, const auto& field) {
        out += xml_element_line(key, stored_value(field));
      },
      [] {});
}

}  // namespace dirscribe
