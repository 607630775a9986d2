#include "engine/protected_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace dirscribe {

protected_files::protected_files(const protected_files& other) { *this = other; }

protected_files& protected_files::operator=(const protected_files& other) {
  if (this == &other) return *this;
  clear();
  for (const held_file& file : other.files_) {
    const int descriptor = ::fcntl(file.descriptor, F_DUPFD_CLOEXEC, 0);
    if (descriptor >= 0) files_.push_back({descriptor, file.device, file.inode});
  }
  return *this;
}

protected_files::protected_files(protected_files&& other) noexcept
    : files_(std::move(other.files_)) {
  other.files_.clear();
}

protected_files& protected_files::operator=(protected_files&& other) noexcept {
  if (this != &other) {
    clear();
    files_ = std::move(other.files_);
    other.files_.clear();
  }
  return *this;
}

protected_files::~protected_files() { clear(); }

void protected_files::add(const std::string& path) {
  if (path.empty()) return;
  const int descriptor = ::open(path.c_str(), O_PATH | O_CLOEXEC);
  if (descriptor < 0) return;
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    ::close(descriptor);
    return;
  }
  files_.push_back({descriptor, status.st_dev, status.st_ino});
}

bool protected_files::contains(dev_t device, ino_t inode) const {
  return std::any_of(files_.begin(), files_.end(), [&](const held_file& file) {
    return file.device == device && file.inode == inode;
  });
}

void protected_files::clear() {
  for (const held_file& file : files_) ::close(file.descriptor);
  files_.clear();
}

}  // namespace dirscribe
