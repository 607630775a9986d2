#include "files/own_output.h"

#include <sys/stat.h>

#include "files/folder_summary.h"

namespace dirscribe {

bool own_output::is_output(const std::string& folder, const qxfile_node& entry) const {
  if (entry.is_folder || name.empty() || entry.name != name) return false;
  if (in_every_folder) return true;
  const std::string path = join_path(folder, entry.name);
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

void own_output::leave_out(qxfile_tree& tree, qxfile_node* parent,
                           const std::string& folder) const {
  if (name.empty()) return;
  qxfile_node* entry = parent ? parent->first_child() : tree.first();
  while (entry) {
    qxfile_node* following = entry->next();
    if (is_output(folder, *entry)) tree.remove(entry);
    entry = following;
  }
}

}  // namespace dirscribe
