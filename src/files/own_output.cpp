#include "files/own_output.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/replacing_file.h"

namespace dirscribe {

folder_identity folder_identity::of(const folder_handle& folder) {
  struct stat status {};
  if (::fstat(folder.descriptor(), &status) != 0) return {};
  return {status.st_dev, status.st_ino, true};
}

bool own_output::is_output(const folder_handle& folder, const file_node& entry) const {
  const auto beside_page = [&] {
    return in_every_folder || folder_identity::of(folder) == page_folder;
  };
  if (entry.is_folder) {
    if (!thumbnail_folder.empty() && entry.name == thumbnail_folder && beside_page()) return true;
    if (!written_folder.known) return false;
    struct stat status {};
    return ::fstatat(folder.descriptor(), entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           status.st_dev == written_folder.device && status.st_ino == written_folder.inode;
  }
  if (name.empty() || (entry.name != name && !is_temporary_of(entry.name, name))) return false;
  return beside_page();
}

void own_output::leave_out(file_tree& tree, file_node* parent, const folder_handle& folder) const {
  if (name.empty() && !written_folder.known) return;
  file_node* entry = parent ? parent->first_child() : tree.first();
  while (entry) {
    file_node* following = entry->next();
    if (is_output(folder, *entry)) tree.remove(entry);
    entry = following;
  }
}

}  // namespace dirscribe
