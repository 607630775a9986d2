#include "engine/dsc_process.h"

#include "engine/link_rules.h"

namespace dirscribe {

dsc_process make_root_process(std::string folder, std::string folder_link) {
  dsc_process root;
  root.folder = std::move(folder);
  root.absolute_url = std::move(folder_link);
  return root;
}

dsc_process go_down(const dsc_process& parent, std::string_view name, int url_escape,
                    qxfile_node* summary) {
  dsc_process level;
  level.mode = parent.mode;
  level.depth_left = parent.depth_left - 1;
  level.is_subfolder_level = true;
  level.folder = join_path(parent.folder, name);
  level.relative_path = join_path(parent.relative_path, name);
  const std::string escaped = escaped_name(name, url_escape);
  level.relative_url = parent.relative_url + escaped + "/";
  level.absolute_url = parent.absolute_url + escaped + "/";
  level.summary = summary;
  return level;
}

}  // namespace dirscribe
