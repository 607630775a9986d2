#include "listing/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace dirscribe {

namespace {

// Large writes keep system calls rare on big listings.
constexpr size_t kOutputBuffer = 1 << 16;

output_open_result kind_of(const struct stat& status, const protected_files& inputs) {
  if (S_ISLNK(status.st_mode)) return output_open_result::symbolic_link;
  if (!S_ISREG(status.st_mode)) return output_open_result::not_regular_file;
  if (inputs.contains(status.st_dev, status.st_ino)) return output_open_result::protected_input;
  return output_open_result::opened;
}

}  // namespace

output_open_result output_file::open(const std::string& path, const protected_files& inputs) {
  // Looking first means a device is never opened at all (opening one can act
  // on it), and gives the reason a later open would only hint at.
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0) {
    const output_open_result kind = kind_of(status, inputs);
    if (kind != output_open_result::opened) return kind;
  }
  // O_NOFOLLOW and O_NONBLOCK close the gap between that look and the open:
  // a link put in place since fails with ELOOP, a FIFO cannot wait for a
  // reader.
  const int fd =
      ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    if (errno == ELOOP) return output_open_result::symbolic_link;
    if (errno == ENXIO) return output_open_result::not_regular_file;  // a FIFO without reader
    return output_open_result::failed;
  }
  if (::fstat(fd, &status) != 0) {
    ::close(fd);
    return output_open_result::failed;
  }
  if (const output_open_result kind = kind_of(status, inputs); kind != output_open_result::opened) {
    ::close(fd);
    return kind;
  }
  device_ = status.st_dev;
  inode_ = status.st_ino;
  file_ = ::fdopen(fd, "w+b");  // fdopen never truncates
  if (!file_) {
    ::close(fd);
    return output_open_result::failed;
  }
  // Without a buffer of its own, stdio keeps the size it chooses (4 KB on
  // most file systems) whatever size is asked for.
  buffer_.resize(kOutputBuffer);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  return output_open_result::opened;
}

output_open_result output_file::open_standard_output() {
  const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return output_open_result::failed;
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    return output_open_result::failed;
  }
  standard_output_ = true;
  buffer_.resize(kOutputBuffer);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  return output_open_result::opened;
}

bool output_file::close() {
  if (!file_) return true;
  bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  if (standard_output_) {
    // A pipe has no length to cut, and a file the shell opened for us is
    // the shell's to shape.
    standard_output_ = false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return flushed && closed;
  }
  // The descriptor's offset counts only what reached the file.
  const int fd = ::fileno(file_);
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  flushed = end >= 0 && ::ftruncate(fd, end) == 0 && flushed;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

}  // namespace dirscribe
