#include "platform/spare_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/output_mark.h"

namespace dirscribe {

namespace {

// A walk runs at most a few pages ahead of the commits that set files free;
// a few more kept would only be removed at the end.
constexpr size_t kMostKept = 8;

// Whether the open file `descriptor`, now named in `folder`, can be written
// as a new file there: its only name, owned as a new file there would be,
// and carrying nothing that belonged to the file it was. `permissions`
// receives its permission bits.
bool serves_as_new(int descriptor, const folder_handle& folder, mode_t& permissions) {
  struct stat file {};
  struct stat place {};
  if (::fstat(descriptor, &file) != 0 || ::fstat(folder.descriptor(), &place) != 0) return false;
  if (!S_ISREG(file.st_mode) || file.st_nlink != 1 || file.st_dev != place.st_dev) return false;
  // A folder with the set-group-ID bit gives new files its own group.
  const gid_t group = (place.st_mode & S_ISGID) ? place.st_gid : ::getegid();
  if (file.st_uid != ::geteuid() || file.st_gid != group) return false;
  permissions = file.st_mode & 07777;
  return carries_nothing_but_the_mark(descriptor);
}

}  // namespace

spare_files::~spare_files() {
  for (const spare& file : spares_) ::unlinkat(file.folder->descriptor(), file.name.c_str(), 0);
}

bool spare_files::keep(held_folder folder, std::string name,
                       std::unique_ptr<interrupt_cleanup_entry>&& cleanup) {
  std::lock_guard lock(mutex_);
  if (spares_.size() >= kMostKept) return false;
  spares_.push_back({std::move(folder), std::move(name), std::move(cleanup)});
  return true;
}

int spare_files::take(const folder_handle& folder, const std::string& name, mode_t mode) {
  spare file;
  {
    std::lock_guard lock(mutex_);
    if (spares_.empty()) return -1;
    file = std::move(spares_.back());
    spares_.pop_back();
  }
  const int from = file.folder->descriptor();
  const int to = folder.descriptor();
  if (::renameat2(from, file.name.c_str(), to, name.c_str(), RENAME_NOREPLACE) != 0) {
    ::unlinkat(from, file.name.c_str(), 0);
    return -1;
  }
  const int descriptor = ::openat(to, name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  mode_t permissions = 0;
  const bool fits = descriptor >= 0 && serves_as_new(descriptor, folder, permissions) &&
                    (permissions == mode || ::fchmod(descriptor, mode) == 0);
  if (!fits) {
    if (descriptor >= 0) ::close(descriptor);
    ::unlinkat(to, name.c_str(), 0);
    return -1;
  }
  return descriptor;
}

size_t spare_files::kept() const {
  std::lock_guard lock(mutex_);
  return spares_.size();
}

}  // namespace dirscribe
