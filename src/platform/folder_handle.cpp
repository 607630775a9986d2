#include "platform/folder_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace dirscribe {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

}  // namespace

std::string held_entry_path(int folder_descriptor, std::string_view name) {
  static const bool has_proc = ::access("/proc/self/fd", X_OK) == 0;
  if (!has_proc) return {};
  std::string path = "/proc/self/fd/" + std::to_string(folder_descriptor) + "/";
  path += name;
  return path;
}

folder_handle::~folder_handle() { ::close(descriptor_); }

folder_opening folder_handle::opened_or_fault(int descriptor, int parent, std::string_view name) {
  folder_opening opening;
  if (descriptor >= 0) {
    opening.folder.reset(new folder_handle(descriptor));
    return opening;
  }
  opening.error = errno;
  // O_NOFOLLOW reports a link as ELOOP, O_DIRECTORY anything else as
  // ENOTDIR; a look at the entry itself tells the two apart for sure.
  if (opening.error == ELOOP || opening.error == ENOTDIR || opening.error == ENOENT) {
    struct stat status {};
    const std::string entry(name);
    if (::fstatat(parent, entry.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
      opening.fault = S_ISLNK(status.st_mode)   ? folder_fault::symbolic_link
                      : S_ISDIR(status.st_mode) ? folder_fault::failed
                                                : folder_fault::not_a_folder;
      return opening;
    }
  }
  opening.fault = folder_fault::failed;
  return opening;
}

folder_opening folder_handle::open_path(const std::string& path) {
  return opened_or_fault(::open(path.c_str(), kFolderFlags), AT_FDCWD, path);
}

folder_opening folder_handle::open_child(std::string_view name) const {
  const std::string entry(name);
  return opened_or_fault(::openat(descriptor_, entry.c_str(), kFolderFlags | O_NOFOLLOW),
                         descriptor_, name);
}

folder_opening folder_handle::make_child(std::string_view name) const {
  const std::string entry(name);
  if (::mkdirat(descriptor_, entry.c_str(), 0777) != 0 && errno != EEXIST) {
    folder_opening failed;
    failed.fault = folder_fault::failed;
    failed.error = errno;
    return failed;
  }
  return open_child(name);
}

}  // namespace dirscribe
