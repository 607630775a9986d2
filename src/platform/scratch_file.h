// A file for data a run produces and reads back but must not keep in memory:
// unnamed (O_TMPFILE) where the file system allows, otherwise removed the
// moment it is made, so the system reclaims it when the run ends, however it
// ends, and no other process can find or change it by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dirscribe {

class scratch_file {
 public:
  scratch_file(const scratch_file&) = delete;
  scratch_file& operator=(const scratch_file&) = delete;
  ~scratch_file();

  // Makes one in $TMPDIR (else /tmp). nullptr, with `error` set to the errno
  // of the failed call, when none can be made.
  static std::unique_ptr<scratch_file> create(int& error);

  // Appends `bytes` at the end, through a buffer of its own. False, with
  // errno set, when a write fails; the file is unusable after that.
  bool append(std::string_view bytes);
  // Bytes appended so far: the offset the next append starts at.
  uint64_t size() const { return written_ + buffer_.size(); }
  // Replaces `into` with the `length` bytes at `offset`, reading what is still
  // in the buffer from there. False when they lie (partly) past the end or
  // the read fails.
  bool read(uint64_t offset, size_t length, std::string& into);

 private:
  explicit scratch_file(int descriptor);
  bool flush();

  int descriptor_;
  uint64_t written_ = 0;  // bytes that reached the file
  std::string buffer_;    // bytes appended after them
};

}  // namespace dirscribe
