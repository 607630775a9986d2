#include "template/loop_frame.h"

#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "engine/listing_run.h"
#include "files/file_path.h"

namespace dirscribe {

loop_frame make_root_frame(std::string folder, std::string folder_link) {
  loop_frame root;
  root.folder = std::move(folder);
  root.absolute_url = std::move(folder_link);
  return root;
}

std::string folder_link(const listing_run& run, std::string_view folder) {
  const project_settings& settings = run.settings;
  if (run.link_base.empty()) {
    return folder_url(folder, settings.url_escape, settings.source, settings.ftp_host);
  }
  std::string link = run.link_base;
  std::string_view below;
  if (folder.starts_with(run.folder)) below = folder.substr(run.folder.size());
  while (!below.empty()) {
    const size_t slash = below.find('/');
    const std::string_view name = below.substr(0, slash);
    if (!name.empty()) {
      append_escaped_name(link, name, settings.url_escape);
      link += '/';
    }
    below = slash == std::string_view::npos ? std::string_view() : below.substr(slash + 1);
  }
  return link;
}

loop_frame go_down(const loop_frame& parent, std::string_view name, int url_escape,
                   file_node* summary) {
  loop_frame level;
  level.mode = parent.mode;
  level.depth_left = parent.depth_left - 1;
  level.is_subfolder_level = true;
  level.folder = join_path(parent.folder, name);
  level.relative_path = join_path(parent.relative_path, name);
  const std::string escaped = escaped_name(name, url_escape);
  level.relative_url = parent.relative_url + escaped + "/";
  level.page_way = parent.page_way;
  level.absolute_url = parent.absolute_url + escaped + "/";
  level.summary = summary;
  return level;
}

}  // namespace dirscribe
