#include "template/template_variables.h"

#include "core/byte_string.h"
#include "core/outcome.h"
#include "template/template_values.h"

namespace dirscribe {

namespace {

// Name phrase, loop flag, value function; each comment gives the row and the
// English name the bundled language file gives it.
constexpr template_variable kVariables[template_variable_count] = {
    {30, true, nullptr},                            // 0: files
    {31, true, nullptr},                            // 1: folders
    {32, true, nullptr},                            // 2: tree
    {33, false, template_values::row_index},        // 3: row
    {34, false, template_values::total_rows},       // 4: total_rows
    {35, false, template_values::odd},              // 5: odd
    {36, false, template_values::total_files},      // 6: total_files
    {37, false, template_values::total_folders},    // 7: total_folders
    {38, false, template_values::total_size},       // 8: total_size
    {39, false, template_values::level_files},      // 9: level_files
    {40, false, template_values::level_folders},    // 10: level_folders
    {41, false, template_values::level_size},       // 11: level_size
    {42, false, template_values::tree_files},       // 12: tree_files
    {43, false, template_values::tree_folders},     // 13: tree_folders
    {44, false, template_values::tree_size},        // 14: tree_size
    {45, false, template_values::is_item},          // 15: is_item
    {46, false, template_values::folder_start},     // 16: folder_start
    {47, false, template_values::folder_end},       // 17: folder_end
    {48, false, template_values::descends},         // 18: descends
    {49, false, template_values::is_folder},        // 19: is_folder
    {50, false, template_values::base_name},        // 20: base_name
    {51, false, template_values::ext},              // 21: ext
    {52, false, template_values::name},             // 22: name
    {53, false, template_values::modified},         // 23: modified
    {54, false, template_values::modified_date},    // 24: modified_date
    {55, false, template_values::modified_time},    // 25: modified_time
    {56, false, template_values::size},             // 26: size
    {57, false, template_values::rel_path},         // 27: rel_path
    {58, false, template_values::rel_url},          // 28: rel_url
    {59, false, template_values::full_path},        // 29: full_path
    {60, false, template_values::url},              // 30: url
    {61, false, template_values::size_unit},        // 31: size_unit
    {62, false, template_values::download_56k},     // 32: download_56k
    {63, false, template_values::download_1m},      // 33: download_1m
    {64, false, template_values::type},             // 34: type
    {65, false, template_values::icon},             // 35: icon
    {66, false, template_values::has_subfolders},   // 36: has_subfolders
    {67, false, template_values::attributes},       // 37: attributes
    {68, false, template_values::created},          // 38: created
    {69, false, template_values::accessed},         // 39: accessed
    {70, false, template_values::spare1},           // 40: spare1
    {71, false, template_values::spare2},           // 41: spare2
    {72, false, template_values::is_link},          // 42: is_link
    {73, false, template_values::md5},              // 43: md5
    {74, false, template_values::sha1},             // 44: sha1
    {75, false, template_values::title},            // 45: title
    {76, false, template_values::folder_name},      // 46: folder_name
    {77, false, template_values::source_path},      // 47: source_path
    {78, false, template_values::source_url},       // 48: source_url
    {79, false, template_values::max_depth},        // 49: max_depth
    {80, false, template_values::images_url},       // 50: images_url
    {81, false, template_values::show_folders},     // 51: show_folders
    {82, false, template_values::show_files},       // 52: show_files
    {83, false, template_values::show_summary},     // 53: show_summary
    {84, false, template_values::sort_by},          // 54: sort_by
    {85, false, template_values::sort_descending},  // 55: sort_descending
    {86, false, template_values::ftp_host},         // 56: ftp_host
    {87, false, template_values::now},              // 57: now
    {88, false, template_values::level},            // 58: level
    {302, false, template_values::page_name},       // 59: page_name
    {303, false, template_values::listing_title},   // 60: listing_title
    {304, false, template_values::rel_folder},      // 61: rel_folder
    {329, false, template_values::sha256},          // 62: sha256
    {330, false, template_values::thumbnail_url},   // 63: thumbnail_url
};

constexpr std::string_view kMarkupSafeNames[] = {
    "media_html_all",    "media_html_files",    "media_html_folders",
    "name_html_all",     "name_html_files",     "name_html_folders",
    "rel_path_html_all", "rel_path_html_files", "rel_path_html_folders",
};

bool is_checked(int type) {
  return (type >= node_echo && type <= node_echoen) || type == node_for || type == node_if ||
         type == node_repeat;
}

}  // namespace

const template_variable* template_variable_row(int row) {
  if (row < 0 || row >= template_variable_count) return nullptr;
  return &kVariables[row];
}

void template_variables::build_from_names(const std::vector<std::string>& names) {
  rows_by_name_.clear();
  for (int row = 0; row < template_variable_count && row < static_cast<int>(names.size()); ++row) {
    // An empty name would let a directive without var resolve to a row.
    if (names[row].empty()) continue;
    rows_by_name_.set(names[row], tagged_value(row));
  }
}

int template_variables::find(std::string_view name) const {
  const tagged_value* row = rows_by_name_.lookup(name);
  return row ? row->to_int() : -1;
}

bool template_variables::permits(int row, int type) {
  const template_variable* variable = template_variable_row(row);
  if (!variable) return false;
  if (variable->loop) return type == node_for;
  return (type >= node_echo && type <= node_echoen) || type == node_if;
}

bool template_variables::markup_safe(std::string_view name) {
  for (std::string_view safe : kMarkupSafeNames) {
    if (name == safe) return true;
  }
  return false;
}

bool template_variables::is_link(int row) {
  const template_variable* variable = template_variable_row(row);
  if (!variable) return false;
  const template_value_function value = variable->value;
  return value == template_values::rel_url || value == template_values::url ||
         value == template_values::source_url || value == template_values::images_url;
}

int template_check_directive(const template_variables& variables, template_node& node) {
  if (!is_checked(node.type)) return result_ok;
  node.var = ascii_lower(node.var);
  if (node.type == node_repeat) {
    node.index = text_to_int(node.var);
  } else {
    int row = variables.find(node.var);
    if (row < 0) return result_unknown_variable;
    node.index = row;
    if (!template_variables::permits(row, node.type)) return result_variable_not_permitted;
  }

  if (node.type == node_for) {
    for (template_node* up = node.parent(); up; up = up->parent()) {
      if (up->type == node_for) return result_for_inside_for;
    }
  }
  if (node.type == node_repeat) {
    // A repeat inside another one shares that one's loop, which passed this
    // check when it was placed: stopping there keeps deep nests linear.
    template_node* loop = node.parent();
    while (loop && loop->type != node_for && loop->type != node_repeat) loop = loop->parent();
    if (!loop) return result_repeat_outside_for;
    if (loop->type == node_for && loop->index != template_files_loop &&
        loop->index != template_folders_loop) {
      return result_repeat_in_tree_loop;
    }
  }

  // These names hold text meant for markup, so they are always escaped.
  if (node.type == node_echo && template_variables::markup_safe(node.var)) node.type = node_echoe;

  if (node.attributes) {
    const char* kept = directive_info_of(node.type)->kept_attribute;
    if (!kept || !node.attributes->contains(kept)) node.attributes.reset();
  }
  return result_ok;
}

}  // namespace dirscribe
