#include "platform/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace dirscribe {

namespace {

// Appends gather here and reach the file in pieces of this size: few
// system calls, little memory.
constexpr size_t kAppendPiece = 256 * 1024;

int open_unnamed(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
    return descriptor;
  }
  // A file system without unnamed files: a named one, removed at once.
  std::string pattern = folder + "/.dirscribe-scratch-XXXXXX";
  const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(pattern.c_str());
  return named;
}

}  // namespace

scratch_file::scratch_file(int descriptor) : descriptor_(descriptor) {}

scratch_file::~scratch_file() { ::close(descriptor_); }

std::unique_ptr<scratch_file> scratch_file::create(int& error) {
  const char* folder = std::getenv("TMPDIR");
  const int descriptor = open_unnamed(folder && *folder ? folder : "/tmp");
  if (descriptor < 0) {
    error = errno;
    return nullptr;
  }
  error = 0;
  return std::unique_ptr<scratch_file>(new scratch_file(descriptor));
}

bool scratch_file::append(std::string_view bytes) {
  buffer_.append(bytes);
  return buffer_.size() < kAppendPiece || flush();
}

bool scratch_file::flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t wrote = ::pwrite(descriptor_, buffer_.data() + done, buffer_.size() - done,
                                   static_cast<off_t>(written_ + done));
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  written_ += done;
  buffer_.clear();
  return true;
}

bool scratch_file::read(uint64_t offset, size_t length, std::string& into) {
  if (offset + length > size()) return false;
  into.resize(length);
  size_t done = 0;
  // The part that reached the file.
  while (offset + done < written_ && done < length) {
    const size_t want =
        static_cast<size_t>(std::min<uint64_t>(length - done, written_ - offset - done));
    const ssize_t got =
        ::pread(descriptor_, into.data() + done, want, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  // The rest is still in the buffer.
  if (done < length) {
    into.replace(done, length - done, buffer_, static_cast<size_t>(offset + done - written_),
                 length - done);
  }
  return true;
}

}  // namespace dirscribe
