#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/output_mark.h"

namespace dirscribe {

namespace {

// Large writes keep system calls rare on big listings.
constexpr size_t kWriteBuffer = 1 << 16;
constexpr char kTemporaryTag[] = ".dirscribe-";
constexpr int kNameTries = 100;

// Six letters that no other run will pick at the same moment.
std::string random_suffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[6] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    const auto seed = static_cast<unsigned long>(::getpid()) ^ reinterpret_cast<uintptr_t>(bytes);
    for (size_t i = 0; i < sizeof bytes; ++i)
      bytes[i] = static_cast<unsigned char>(seed >> (i * 5));
  }
  std::string suffix;
  for (const unsigned char byte : bytes) suffix += kLetters[byte % (sizeof kLetters - 1)];
  return suffix;
}

// ".index.html.dirscribe-x1y2z3": hidden, and its own name says whose it is.
std::string temporary_name(const std::string& output) {
  return "." + output + kTemporaryTag + random_suffix();
}

// Whether unnamed files can be given a name through /proc, which lets a file
// be written with no name at all until it is complete.
bool can_name_unnamed_files() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

}  // namespace

target_kind look_at_target(const folder_handle& folder, const std::string& name,
                           struct stat& status) {
  if (::fstatat(folder.descriptor(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? target_kind::absent : target_kind::other;
  }
  if (S_ISLNK(status.st_mode)) return target_kind::symbolic_link;
  return S_ISREG(status.st_mode) ? target_kind::regular_file : target_kind::other;
}

bool replacing_file::begin(held_folder folder, std::string name, const struct stat* replaced) {
  abandon();
  folder_ = std::move(folder);
  name_ = std::move(name);
  replaced_.reset();
  if (replaced) replaced_ = *replaced;
  const int at = folder_->descriptor();
  int descriptor = -1;
  if (can_name_unnamed_files()) {
    descriptor = ::openat(at, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  }
  if (descriptor < 0) {
    // No unnamed files here (or no /proc): a hidden name from the start,
    // removed again if the program is interrupted.
    for (int tries = 0; descriptor < 0 && tries < kNameTries; ++tries) {
      temporary_ = temporary_name(name_);
      cleanup_ = std::make_unique<interrupt_cleanup_entry>(at, temporary_);
      descriptor = ::openat(at, temporary_.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (descriptor < 0) {
        const int error = errno;
        cleanup_.reset();
        temporary_.clear();
        errno = error;
        if (error != EEXIST) return false;
      }
    }
    if (descriptor < 0) return false;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) == 0) {
    device_ = status.st_dev;
    inode_ = status.st_ino;
  }
  stream_ = ::fdopen(descriptor, "wb");
  if (!stream_) {
    const int error = errno;
    ::close(descriptor);
    abandon();
    errno = error;
    return false;
  }
  buffer_.resize(kWriteBuffer);
  std::setvbuf(stream_, buffer_.data(), _IOFBF, buffer_.size());
  return true;
}

bool replacing_file::give_name() {
  if (!temporary_.empty()) return true;
  const std::string unnamed = "/proc/self/fd/" + std::to_string(::fileno(stream_));
  for (int tries = 0; tries < kNameTries; ++tries) {
    temporary_ = temporary_name(name_);
    cleanup_ = std::make_unique<interrupt_cleanup_entry>(folder_->descriptor(), temporary_);
    if (::linkat(AT_FDCWD, unnamed.c_str(), folder_->descriptor(), temporary_.c_str(),
                 AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    const int error = errno;
    cleanup_.reset();
    temporary_.clear();
    errno = error;
    if (error != EEXIST) return false;
  }
  return false;
}

bool replacing_file::commit(bool mark) {
  if (!stream_) {
    errno = EBADF;
    return false;
  }
  bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
  int error = ok ? 0 : (errno != 0 ? errno : EIO);
  const int descriptor = ::fileno(stream_);
  if (ok && replaced_) {
    // The listing keeps the place's permissions and, where the owner may be
    // given back (a run as root), its owner.
    if (replaced_->st_uid != ::geteuid() || replaced_->st_gid != ::getegid()) {
      (void)::fchown(descriptor, replaced_->st_uid, replaced_->st_gid);
    }
    if (::fchmod(descriptor, replaced_->st_mode & 07777) != 0) {
      ok = false;
      error = errno;
    }
  }
  if (ok && mark) mark_as_written(descriptor);
  if (ok && !give_name()) {
    ok = false;
    error = errno;
  }
  if (ok && ::renameat(folder_->descriptor(), temporary_.c_str(), folder_->descriptor(),
                       name_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (ok) temporary_.clear();  // it is the target now
  if (std::fclose(stream_) != 0 && ok) {
    // The rename is done; a close that fails after a complete flush loses
    // nothing, but say so all the same.
    ok = false;
    error = errno;
  }
  stream_ = nullptr;
  abandon();
  errno = error;
  return ok;
}

void replacing_file::abandon() {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temporary_.empty() && folder_) ::unlinkat(folder_->descriptor(), temporary_.c_str(), 0);
  temporary_.clear();
  cleanup_.reset();
}

bool is_temporary_of(const std::string& name, const std::string& output) {
  const size_t tag = sizeof kTemporaryTag - 1;
  return name.size() == 1 + output.size() + tag + 6 && name.front() == '.' &&
         name.compare(1, output.size(), output) == 0 &&
         name.compare(1 + output.size(), tag, kTemporaryTag) == 0;
}

bool replace_file(const std::string& path, const std::string& text) {
  const size_t slash = path.rfind('/');
  const std::string folder_path =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const folder_opening opened = folder_handle::open_path(folder_path);
  if (!opened.folder) {
    errno = opened.error;
    return false;
  }
  struct stat status {};
  const target_kind kind = look_at_target(*opened.folder, name, status);
  if (kind == target_kind::symbolic_link || kind == target_kind::other) {
    errno = kind == target_kind::symbolic_link ? ELOOP : EINVAL;
    return false;
  }
  replacing_file file;
  if (!file.begin(opened.folder, name, kind == target_kind::regular_file ? &status : nullptr)) {
    return false;
  }
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
    const int error = errno;
    file.abandon();
    errno = error;
    return false;
  }
  return file.commit(false);
}

}  // namespace dirscribe
