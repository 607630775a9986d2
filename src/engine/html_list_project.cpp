#include "engine/html_list_project.h"

#include <algorithm>
#include <map>
#include <type_traits>

#include "core/byte_string.h"
#include "core/nearest_word.h"
#include "files/stored_field.h"

namespace dirscribe {

namespace {

// Calls visit(key, field) for every key in the order of the project file, and
// visit_filter() where the filter block belongs. One list serves reading and
// writing, so the two can never disagree.
template <class Settings, class Visit, class VisitFilter>
void for_each_key(Settings& s, Visit visit, VisitFilter visit_filter) {
  visit("source", s.source);
  visit("ftp_host", s.ftp_host);
  visit("ftp_login", s.ftp_login);
  visit("ftp_password", s.ftp_password);
  visit("path", s.path);
  visit("save", s.save);
  visit("recursion_depth", s.recursion_depth);
  visit("subfolders_in_one_file", s.subfolders_in_one_file);
  visit("recursive_options", s.recursive_options);
  visit_filter(s.filter);
  visit("order_files", s.order_files);
  visit("sort_order", s.sort_order);
  visit("show_summary", s.show_summary);
  visit("show_folders", s.show_folders);
  visit("date_format", s.date_format);
  visit("use_date_format", s.use_date_format);
  visit("is_local_date", s.is_local_date);
  visit("size_units", s.size_units);
  visit("url_escape", s.url_escape);
  visit("image_dir", s.image_dir);
  visit("local_image_dir", s.local_image_dir);
  visit("shell_mode", s.shell_mode);
  visit("format_file", s.format_file);
  visit("disk_space", s.disk_space);
  visit("link_base", s.link_base);
  visit("output_dir", s.output_dir);
  visit("overwrite", s.overwrite);
  visit("listing_title", s.listing_title);
  visit("thumbnails", s.thumbnails);
}

// Keys that older readers do not know: written only when they hold a value
// other than their default (empty, off).
bool written_only_when_set(std::string_view key) {
  return key == "link_base" || key == "output_dir" || key == "overwrite" ||
         key == "listing_title" || key == "thumbnails";
}

template <class Field>
bool at_default(const Field& field) {
  if constexpr (std::is_same_v<Field, std::string>) {
    return field.empty();
  } else if constexpr (std::is_same_v<Field, bool>) {
    return !field;
  } else {
    return false;
  }
}

bool is_element(const xml_node& node) {
  return node.type == xml_start_tag || node.type == xml_empty_element;
}

// The text of an element as the reader takes it: its first child's when that
// is text, else "".
std::string element_text(const xml_node& element) {
  const xml_node* child = element.first_child();
  if (child && (child->type == xml_text || child->type == xml_untyped)) return child->text;
  return {};
}

const stored_key* find_key(const std::vector<stored_key>& keys, std::string_view name) {
  const auto found = std::find_if(keys.begin(), keys.end(),
                                  [&](const stored_key& key) { return key.name == name; });
  return found == keys.end() ? nullptr : &*found;
}

std::vector<std::string> key_names(const std::vector<stored_key>& keys) {
  std::vector<std::string> names;
  for (const stored_key& key : keys) names.emplace_back(key.name);
  return names;
}

std::vector<stored_key> project_keys() {
  std::vector<stored_key> keys;
  project_settings any;
  for_each_key(
      any, [&](const char* key, const auto& field) { keys.push_back(key_of(key, field)); },
      [&](const file_filter_data&) {
        keys.push_back({"filter", false});
      });
  return keys;
}

// Checks the element children of `parent` against `keys`; `others` are the
// keys of the other level, which a child may have been meant for. A problem
// met before (`seen`: its kind and key -> its place in `problems`) is counted
// there instead, so a key repeated a million times costs one entry and one
// search for the nearest known key.
void check_keys(const xml_node& parent, const std::vector<stored_key>& keys,
                const std::vector<stored_key>& others, bool in_filter,
                std::map<std::string, size_t>& seen, std::vector<project_key_problem>& problems) {
  for (const xml_node* child = parent.first_child(); child; child = child->next()) {
    if (!is_element(*child)) continue;
    project_key_problem problem;
    problem.key = child->name;
    problem.in_filter = in_filter;
    const stored_key* key = find_key(keys, child->name);
    if (!key) {
      problem.kind = !in_filter && find_key(others, child->name)
                         ? project_key_problem::filter_key_outside
                         : project_key_problem::unknown_key;
    } else {
      if (!key->number) continue;
      const std::string text = element_text(*child);
      if (is_stored_number(text)) continue;
      problem.kind = project_key_problem::not_a_number;
      problem.value = text;
      problem.read_as = stored_int64(text);
    }
    const auto [found, added] =
        seen.try_emplace(std::to_string(problem.kind) + ":" + problem.key, problems.size());
    if (!added) {
      ++problems[found->second].repeats;
      continue;
    }
    if (problem.kind == project_key_problem::unknown_key) {
      problem.suggestion = nearest_word(child->name, key_names(keys));
    }
    problems.push_back(std::move(problem));
  }
}

}  // namespace

void reset_project(html_list_project& project) {
  project.settings = project_settings{};
  project.settings.filter.str_files_skip = project.settings.save;
  project.settings.filter.compile_masks();
}

void read_project(html_list_project& project, const xml_tree& document, const xml_node* element) {
  bool skip_given = false;
  for_each_key(
      project.settings,
      [&](const char* key, auto& field) {
        std::string text;
        if (xml_text_of(document, key, element, text) == 0) assign_stored(field, std::move(text));
      },
      [&](file_filter_data& filter) {
        if (const xml_node* block = xml_find(document, "filter", element)) {
          filter.read(document, block);
          skip_given = xml_find(document, "str_files_skip", block) != nullptr;
        }
      });
  // Without a skip mask of its own, a project leaves out its own output
  // file, not always "index.html": a listing saved as "listing.html" would
  // otherwise list itself and hide every index.html of the tree.
  if (!skip_given) {
    const std::string& save = project.settings.save;
    const size_t slash = save.rfind('/');
    project.settings.filter.str_files_skip =
        slash == std::string::npos ? save : save.substr(slash + 1);
    project.settings.filter.compile_masks();
  }
}

void write_project(const html_list_project& project, std::vector<std::string>& lines) {
  for_each_key(
      project.settings,
      [&](const char* key, const auto& field) {
        if (written_only_when_set(key) && at_default(field)) return;
        lines.push_back(xml_element_line(key, stored_value(field)));
      },
      [&](const file_filter_data& filter) {
        std::string block = "<filter>\r\n";
        filter.write(block);
        block += "</filter>\r\n";
        lines.push_back(std::move(block));
      });
}

std::vector<project_key_problem> check_project(const xml_node& element) {
  std::vector<project_key_problem> problems;
  const std::vector<stored_key> keys = project_keys();
  const std::vector<stored_key> filter_keys = file_filter_data::stored_keys();
  std::map<std::string, size_t> seen;
  std::map<std::string, size_t> seen_in_filter;
  check_keys(element, keys, filter_keys, false, seen, problems);
  for (const xml_node* child = element.first_child(); child; child = child->next()) {
    if (is_element(*child) && child->name == "filter") {
      check_keys(*child, filter_keys, keys, true, seen_in_filter, problems);
    }
  }
  return problems;
}

std::string describe(const project_key_problem& problem) {
  const std::string key = "\"" + problem.key + "\"";
  const std::string where = problem.in_filter ? " in <filter>" : "";
  switch (problem.kind) {
    case project_key_problem::unknown_key:
      return "unknown key " + key + where +
             (problem.suggestion.empty() ? "" : ", did you mean \"" + problem.suggestion + "\"?");
    case project_key_problem::filter_key_outside:
      return "key " + key + " belongs inside <filter> and is ignored here";
    case project_key_problem::not_a_number:
      return key + where + " holds \"" + problem.value + "\", not a number; read as " +
             std::to_string(problem.read_as);
  }
  return {};
}

}  // namespace dirscribe
