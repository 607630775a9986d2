#include "app/folder_listing.h"

#include <filesystem>

#include "core/nearest_word.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "files/file_node.h"
#include "files/hidden_entries.h"
#include "platform/file_system.h"
#include "platform/user_data.h"
#include "template/template_catalog.h"

namespace dirscribe {

namespace {

// 1: the failure of a command line whose values name nothing usable.
constexpr int kFailed = 1;

bool is_regular_file(const std::string& path) {
  file_status status;
  return path_status(path, status) && !status.is_folder;
}

// Picks the style `options.style` names (the first style when it names none).
outcome pick_named_style(const listing_options& options, const std::string& start_dir,
                         const user_data_folders& folders, const phrase_table* language,
                         html_list_project& project) {
  template_catalog catalog;
  catalog.language = language;
  const std::string catalog_path = folders.read_path("templates.txt");
  const outcome loaded = catalog.load(catalog_path);
  if (options.style.empty()) {
    if (!loaded.ok()) return loaded;
    if (catalog.entries.empty()) return {kFailed, catalog_path + ": the catalog lists no style."};
    pick_style(*catalog.entries.front(), project, folders);
    return {};
  }
  if (loaded.ok()) {
    if (const style_entry* entry = find_by_name(catalog, options.style)) {
      pick_style(*entry, project, folders);
      return {};
    }
  }
  const std::string file = absolute_in(start_dir, options.style);
  if (is_regular_file(file)) {
    reset_project(project);
    project.settings.format_file = file;
    // As every bundled style does; a project file keeps the key it names.
    project.settings.order_files = sort_by_natural + 1;
    return {};
  }
  if (!loaded.ok()) return loaded;
  std::vector<std::string> names;
  for (const auto& entry : catalog.entries) names.push_back(entry->name);
  const std::string near = nearest_word(options.style, names);
  return {kFailed, "No style \"" + options.style + "\" in " + catalog_path +
                       " and no template file " + file +
                       (near.empty() ? "" : "; did you mean \"" + near + "\"?") +
                       " (--list-styles names the styles)"};
}

}  // namespace

std::string absolute_in(const std::string& folder, const std::string& name) {
  std::filesystem::path path(name);
  if (!path.is_absolute()) path = std::filesystem::path(folder) / path;
  return normalise_folder_path(path.lexically_normal().string());
}

outcome make_folder_project(const std::string& folder, const listing_options& options,
                            const std::string& start_dir, const user_data_folders& folders,
                            const phrase_table* language, html_list_project& project) {
  if (outcome picked = pick_named_style(options, start_dir, folders, language, project);
      !picked.ok()) {
    return picked;
  }
  project_settings& settings = project.settings;
  settings.path = absolute_in(start_dir, folder);
  if (options.per_folder) settings.subfolders_in_one_file = false;
  if (options.depth) settings.recursion_depth = *options.depth;
  if (options.output_dir) settings.output_dir = absolute_in(start_dir, *options.output_dir);
  if (options.output) {
    // "-" is standard output; the name of every folder's page and a name in
    // --output-dir stay as typed; any other is a file where the command ran.
    const bool as_typed =
        *options.output == "-" || !settings.subfolders_in_one_file || !settings.output_dir.empty();
    settings.save = as_typed ? *options.output : absolute_in(start_dir, *options.output);
  }
  if (options.sort) settings.order_files = *options.sort;
  if (options.reverse) settings.sort_order = true;
  if (options.sizes) settings.recursive_options |= recursive_subtree_sizes;
  if (options.hide_empty) settings.recursive_options |= recursive_leave_out_empty;
  if (options.link_base) settings.link_base = *options.link_base;
  if (options.title) settings.listing_title = *options.title;
  if (options.overwrite) settings.overwrite = true;
  if (options.thumbnails) settings.thumbnails = true;
  file_filter_data& filter = settings.filter;
  if (options.include) filter.str_files_include = *options.include;
  if (options.exclude) {
    filter.str_files_skip = *options.exclude;
  } else if (settings.save != "-") {
    // As a project file without a skip mask: the output's own name is not
    // listed, in this folder or any other.
    filter.str_files_skip = std::filesystem::path(settings.save).filename().string();
  } else {
    filter.str_files_skip.clear();
  }
  if (options.exclude_dir) filter.str_folder_skip = *options.exclude_dir;
  // Whatever the style's preset says, a quick listing leaves hidden entries
  // out unless asked: they are what people do not mean to publish.
  if (options.all) {
    let_in_hidden(filter);
  } else {
    leave_out_hidden(filter);
  }
  return {};
}

}  // namespace dirscribe
