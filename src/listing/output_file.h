// The output file of one listing: opened only when it is safe to write, then
// written through a large buffer and closed with every buffered byte checked.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/protected_files.h"

namespace dirscribe {

// Why an output file was not opened.
enum class output_open_result {
  opened,
  failed,            // the system refused (errno says why)
  symbolic_link,     // the path is a symbolic link, dangling or not
  not_regular_file,  // a FIFO, socket, device or folder is in the way
  protected_input,   // the path is a file the run reads
};

// An existing file is written over in place and cut to the new length when it
// is closed, instead of being emptied when it is opened: ext4 pushes a file
// that was truncated to nothing out to disk as soon as it is closed
// (auto_da_alloc), which made every page of a per-folder listing, written
// again over the last build, wait for the disk.
class output_file {
 public:
  output_file() = default;
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;
  ~output_file() { close(); }

  // Opens `path` for writing, creating it when missing. Refuses, without
  // creating or changing anything, a path that is a symbolic link (the last
  // component is never followed), anything but a regular file, and a file of
  // `inputs`. Never blocks, not even on a FIFO.
  output_open_result open(const std::string& path, const protected_files& inputs);
  // Writes to the process's standard output (a copy of its descriptor, so
  // closing leaves standard output open), which may be a pipe or a terminal:
  // nothing is checked, truncated or excluded from the listing.
  output_open_result open_standard_output();
  std::FILE* get() const { return file_; }
  bool is_standard_output() const { return standard_output_; }
  // The open file's device and inode.
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }
  // False when buffered bytes could not be written or the close failed.
  // The file ends where the writing ended, also after a failure: what is
  // left of an older, longer file beyond that point goes, so a failed run
  // never leaves the old tail behind as if it belonged to the new listing.
  bool close();

 private:
  std::FILE* file_ = nullptr;
  bool standard_output_ = false;
  std::vector<char> buffer_;  // stdio's buffer; outlives the stream
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace dirscribe
