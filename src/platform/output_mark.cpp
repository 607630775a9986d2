#include "platform/output_mark.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "platform/folder_handle.h"

namespace dirscribe {

namespace {

constexpr char kMarkAttribute[] = "user.dirscribe";
constexpr char kMarkValue[] = "listing";
constexpr size_t kHeadBytes = 4096;

// Case-insensitive search of `needle` (lowercase) in `text`.
bool contains_folded(std::string_view text, std::string_view needle) {
  const auto found =
      std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return found != text.end();
}

// The generator meta element of the bundled styles, in either attribute
// order.
bool names_dirscribe_as_generator(std::string_view head) {
  return contains_folded(head, "<meta name=\"generator\" content=\"dirscribe") ||
         contains_folded(head, "<meta content=\"dirscribe\" name=\"generator\"");
}

// Whether `value` (of `length` bytes, or -1) is the mark.
bool is_mark(const char* value, ssize_t length) {
  return length == static_cast<ssize_t>(sizeof kMarkValue - 1) &&
         std::string_view(value, sizeof kMarkValue - 1) == kMarkValue;
}

// The mark's value of `name` in the held folder `folder_descriptor`, the
// link itself when it is one, as lgetxattr answers (bytes read, or -1 with
// errno).
ssize_t read_mark_at(int folder_descriptor, const std::string& name, char* value, size_t size) {
#if defined(__x86_64__) || defined(__aarch64__)
  // getxattrat (Linux 6.13 on) reads it in one lookup relative to the
  // folder. C libraries of today do not declare it yet; its number is the
  // same on every architecture that numbers its calls from the common table.
  constexpr long kGetXattrAt = 464;
  // Set once the kernel (or a sandbox's filter) turns the call down.
  static std::atomic<bool> unavailable{false};
  if (!unavailable.load(std::memory_order_relaxed)) {
    struct {
      uint64_t value;
      uint32_t size;
      uint32_t flags;
    } arguments{reinterpret_cast<uintptr_t>(value), static_cast<uint32_t>(size), 0};
    const long got = ::syscall(kGetXattrAt, folder_descriptor, name.c_str(), AT_SYMLINK_NOFOLLOW,
                               kMarkAttribute, &arguments, sizeof arguments);
    if (got >= 0 || (errno != ENOSYS && errno != EPERM)) return got;
    unavailable.store(true, std::memory_order_relaxed);
  }
#endif
  // Older kernels: through the kernel's name of the held folder.
  const std::string path = held_entry_path(folder_descriptor, name);
  if (path.empty()) {
    errno = ENOTSUP;
    return -1;
  }
  return ::lgetxattr(path.c_str(), kMarkAttribute, value, size);
}

}  // namespace

void mark_as_written(int descriptor) {
  (void)::fsetxattr(descriptor, kMarkAttribute, kMarkValue, sizeof kMarkValue - 1, 0);
}

bool written_by_dirscribe(int folder_descriptor, const std::string& name) {
  char value[sizeof kMarkValue] = {};
  // Most files asked about are pages of an earlier run: their mark is read
  // without opening them (a link is not followed).
  if (is_mark(value, read_mark_at(folder_descriptor, name, value, sizeof value))) return true;
  const int descriptor = ::openat(folder_descriptor, name.c_str(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return false;
  bool ours = is_mark(value, ::fgetxattr(descriptor, kMarkAttribute, value, sizeof value));
  if (!ours) {
    char head[kHeadBytes];
    size_t have = 0;
    while (have < sizeof head) {
      const ssize_t got = ::read(descriptor, head + have, sizeof head - have);
      if (got <= 0) break;
      have += static_cast<size_t>(got);
    }
    ours = names_dirscribe_as_generator(std::string_view(head, have));
  }
  ::close(descriptor);
  return ours;
}

bool carries_nothing_but_the_mark(int descriptor) {
  char names[sizeof kMarkAttribute + 1];
  const ssize_t length = ::flistxattr(descriptor, names, sizeof names);
  if (length == 0) return true;
  // One name, the mark's, with its terminating zero.
  return length == static_cast<ssize_t>(sizeof kMarkAttribute) &&
         std::string_view(names, sizeof kMarkAttribute) ==
             std::string_view(kMarkAttribute, sizeof kMarkAttribute);
}

}  // namespace dirscribe
