#include "listing/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/output_mark.h"

namespace dirscribe {

namespace {

// Large writes keep system calls rare on big listings.
constexpr size_t kOutputBuffer = 1 << 16;

}  // namespace

output_open_result check_output(const folder_handle& folder, const std::string& name,
                                const protected_files& inputs, bool overwrite,
                                std::optional<struct stat>* replaced) {
  struct stat status {};
  switch (look_at_target(folder, name, status)) {
    case target_kind::absent:
      return output_open_result::opened;
    case target_kind::symbolic_link:
      return output_open_result::symbolic_link;
    case target_kind::other:
      return output_open_result::not_regular_file;
    case target_kind::regular_file:
      break;
  }
  if (replaced) *replaced = status;
  if (inputs.contains(status.st_dev, status.st_ino)) return output_open_result::protected_input;
  if (!overwrite && !written_by_dirscribe(folder.descriptor(), name)) {
    return output_open_result::foreign;
  }
  return output_open_result::opened;
}

output_open_result output_file::open(const held_folder& folder, const std::string& name,
                                     const std::optional<struct stat>& replaced,
                                     spare_files* spares) {
  // A link or a FIFO put in place since the check is still never written
  // through: the page is renamed over whatever is there.
  if (!file_->begin(folder, name, replaced ? &*replaced : nullptr, spares)) {
    error_ = errno;
    return output_open_result::failed;
  }
  return output_open_result::opened;
}

output_open_result output_file::open_standard_output() {
  const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    error_ = errno;
    return output_open_result::failed;
  }
  standard_stream_ = ::fdopen(fd, "wb");
  if (!standard_stream_) {
    error_ = errno;
    ::close(fd);
    return output_open_result::failed;
  }
  standard_output_ = true;
  buffer_.resize(kOutputBuffer);
  std::setvbuf(standard_stream_, buffer_.data(), _IOFBF, buffer_.size());
  return output_open_result::opened;
}

bool output_file::close() {
  if (standard_output_) {
    standard_output_ = false;
    const bool flushed = std::fflush(standard_stream_) == 0 && !std::ferror(standard_stream_);
    if (!flushed) error_ = errno;
    const bool closed = std::fclose(standard_stream_) == 0;
    standard_stream_ = nullptr;
    return flushed && closed;
  }
  if (!file_->stream()) return true;
  if (file_->commit(true)) return true;
  error_ = errno;
  return false;
}

bool output_file::close_later(commit_queue& commits, std::string label) {
  if (standard_output_ || !file_->stream()) return false;
  commits.push(std::exchange(file_, std::make_unique<replacing_file>()), true, std::move(label));
  return true;
}

}  // namespace dirscribe
