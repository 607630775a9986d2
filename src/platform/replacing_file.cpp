#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/output_mark.h"

namespace dirscribe {

namespace {

// Large writes keep system calls rare on big listings.
constexpr size_t kWriteBuffer = 1 << 16;
// A file made late keeps this much content in memory until it is made: the
// pages of most folders, few enough bytes for the files waiting to be
// committed to stay small together.
constexpr size_t kHeldInMemory = 1 << 18;
constexpr char kTemporaryTag[] = ".dirscribe-";
constexpr int kNameTries = 100;

// Six letters that no other run will pick at the same moment: random at the
// start of the program, then counted on (a name taken is tried again).
std::string random_suffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr uint64_t kLetterCount = sizeof kLetters - 1;
  static std::atomic<uint64_t> next = [] {
    uint64_t seed = 0;
    if (::getrandom(&seed, sizeof seed, 0) != static_cast<ssize_t>(sizeof seed)) {
      seed =
          static_cast<uint64_t>(::getpid()) * 2654435761u ^ static_cast<uint64_t>(::time(nullptr));
    }
    return seed;
  }();
  uint64_t number = next.fetch_add(1, std::memory_order_relaxed);
  std::string suffix(6, 'a');
  for (char& letter : suffix) {
    letter = kLetters[number % kLetterCount];
    number /= kLetterCount;
  }
  return suffix;
}

// The mode a new file gets (0666 less the umask), read once; 0 when it
// cannot be told, so a replaced file's mode is then always set.
mode_t new_file_mode() {
  static const mode_t mode = [] {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return mode_t{0};
    char line[256];
    mode_t found = 0;
    while (std::fgets(line, sizeof line, status)) {
      unsigned int mask = 0;
      if (std::sscanf(line, "Umask: %o", &mask) == 1) {
        found = static_cast<mode_t>(0666 & ~mask);
        break;
      }
    }
    std::fclose(status);
    return found;
  }();
  return mode;
}

// ".index.html.dirscribe-x1y2z3": hidden, and its own name says whose it is.
std::string temporary_name(const std::string& output) {
  return "." + output + kTemporaryTag + random_suffix();
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

mode_t replacing_file::intended_mode() const {
  return replaced_ ? (replaced_->st_mode & 07777) : new_file_mode();
}

bool replacing_file::begin(held_folder folder, std::string name, const struct stat* replaced,
                           spare_files* spares) {
  abandon();
  folder_ = std::move(folder);
  name_ = std::move(name);
  replaced_.reset();
  if (replaced) replaced_ = *replaced;
  spares_ = spares;
  reused_ = false;
  write_error_ = 0;
  written_ = 0;
  // Without spares the file is made now, so that a file that cannot be made
  // is reported before any content is produced.
  if (!spares_ && !make_temporary()) return false;
  static const cookie_io_functions_t kWriter = {nullptr, &replacing_file::write_out, nullptr,
                                                nullptr};
  stream_ = ::fopencookie(this, "w", kWriter);
  if (!stream_) {
    const int error = errno;
    abandon();
    errno = error;
    return false;
  }
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBuffer);
  std::setvbuf(stream_, buffer_.get(), _IOFBF, kWriteBuffer);
  return true;
}

bool replacing_file::make_temporary() {
  const int at = folder_->descriptor();
  // A replaced file kept by an earlier replacement, when it can serve.
  if (spares_ && intended_mode() != 0 && spares_->kept() > 0) {
    temporary_ = temporary_name(name_);
    cleanup_ = std::make_unique<interrupt_cleanup_entry>(at, temporary_);
    descriptor_ = spares_->take(*folder_, temporary_, intended_mode());
    reused_ = descriptor_ >= 0;
    if (reused_) return true;
    cleanup_.reset();
    temporary_.clear();
  }
  // A hidden name from the start, removed again if the program is
  // interrupted. (An unnamed O_TMPFILE would leave nothing even after
  // SIGKILL, but naming it at the end costs a linkat through /proc for every
  // page, a tenth more time for a per-folder listing.)
  for (int tries = 0; tries < kNameTries; ++tries) {
    temporary_ = temporary_name(name_);
    cleanup_ = std::make_unique<interrupt_cleanup_entry>(at, temporary_);
    descriptor_ =
        ::openat(at, temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) return true;
    const int error = errno;
    cleanup_.reset();
    temporary_.clear();
    errno = error;
    if (error != EEXIST) return false;
  }
  return false;
}

bool replacing_file::write_all(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t wrote = ::write(descriptor_, data, size);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      write_error_ = errno;
      return false;
    }
    data += wrote;
    size -= static_cast<size_t>(wrote);
    written_ += static_cast<off_t>(wrote);
  }
  return true;
}

ssize_t replacing_file::write_out(void* cookie, const char* data, size_t size) {
  auto& file = *static_cast<replacing_file*>(cookie);
  if (file.dropping_) return static_cast<ssize_t>(size);
  if (file.descriptor_ < 0) {
    if (file.held_.size() + size <= kHeldInMemory) {
      file.held_.append(data, size);
      return static_cast<ssize_t>(size);
    }
    if (!file.make_temporary()) {
      file.write_error_ = errno;
      return -1;
    }
    if (!file.write_held()) return -1;
  }
  return file.write_all(data, size) ? static_cast<ssize_t>(size) : -1;
}

bool replacing_file::write_held() {
  const bool ok = write_all(held_.data(), held_.size());
  std::string().swap(held_);
  return ok;
}

bool replacing_file::put_in_place() {
  const int at = folder_->descriptor();
  if (replaced_) {
    // The two names trade places, so the target holds the old file or the
    // new one at every moment, and then the old one goes. A plain rename
    // over an existing file would make ext4 (auto_da_alloc) start writing
    // the new file out at once, one page at a time: a per-folder listing
    // would wait for the disk at every folder.
    if (::renameat2(at, temporary_.c_str(), at, name_.c_str(), RENAME_EXCHANGE) == 0) {
      // The temporary's name now holds the replaced file: kept to be
      // written again, or removed.
      if (!spares_ || !spares_->keep(folder_, temporary_, std::move(cleanup_))) {
        ::unlinkat(at, temporary_.c_str(), 0);
      }
      temporary_.clear();
      return true;
    }
    // The target went since it was looked at, or the file system cannot
    // exchange: a plain rename.
    if (errno != ENOENT && errno != EINVAL && errno != ENOSYS) return false;
  }
  if (::renameat(at, temporary_.c_str(), at, name_.c_str()) != 0) return false;
  temporary_.clear();  // it is the target now
  return true;
}

bool replacing_file::commit(bool mark) {
  if (!stream_) {
    errno = EBADF;
    return false;
  }
  bool ok = true;
  int error = 0;
  // Content that stayed in memory gets its file now, before what the stream
  // still holds follows it there straight from the stream's buffer.
  if (descriptor_ < 0 && !std::ferror(stream_) && !(make_temporary() && write_held())) {
    ok = false;
    error = write_error_ != 0 ? write_error_ : errno;
  }
  if (ok && !(std::fflush(stream_) == 0 && !std::ferror(stream_))) {
    ok = false;
    error = write_error_ != 0 ? write_error_ : EIO;
  }
  if (ok && reused_ && ::ftruncate(descriptor_, written_) != 0) {
    // Whatever the kept file held past the new content goes.
    ok = false;
    error = errno;
  }
  if (ok && replaced_) {
    // The listing keeps the place's permissions and, where the owner may be
    // given back (a run as root), its owner.
    static const uid_t user = ::geteuid();
    static const gid_t group = ::getegid();
    if (replaced_->st_uid != user || replaced_->st_gid != group) {
      (void)::fchown(descriptor_, replaced_->st_uid, replaced_->st_gid);
    }
    const mode_t mode = replaced_->st_mode & 07777;
    if (!reused_ && mode != new_file_mode() && ::fchmod(descriptor_, mode) != 0) {
      ok = false;
      error = errno;
    }
  }
  if (ok && mark) mark_as_written(descriptor_);
  if (ok && !put_in_place()) {
    ok = false;
    error = errno;
  }
  close_stream();
  if (descriptor_ >= 0 && ::close(descriptor_) != 0 && ok) {
    // The rename is done; a close that fails after a complete write loses
    // nothing, but say so all the same.
    ok = false;
    error = errno;
  }
  descriptor_ = -1;
  abandon();
  errno = error;
  return ok;
}

void replacing_file::abandon() {
  close_stream();
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  std::string().swap(held_);
  if (!temporary_.empty() && folder_) ::unlinkat(folder_->descriptor(), temporary_.c_str(), 0);
  temporary_.clear();
  cleanup_.reset();
}

void replacing_file::close_stream() {
  if (!stream_) return;
  // What stdio still holds is dropped, never written (nor a file made for it).
  dropping_ = true;
  std::fclose(stream_);
  dropping_ = false;
  stream_ = nullptr;
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
    // The reason a message gives: a folder in the way says so.
    errno = kind == target_kind::symbolic_link ? ELOOP : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
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
