#include "engine/html_list_project.h"

#include "core/qxchar.h"
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
        lines.push_back(xml_element_line(key, stored_value(field)));
      },
      [&](const file_filter_data& filter) {
        std::string block = "<filter>\r\n";
        filter.write(block);
        block += "</filter>\r\n";
        lines.push_back(std::move(block));
      });
}

}  // namespace dirscribe
