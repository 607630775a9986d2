// The output file of one listing: checked before anything is written, then
// written to a temporary file beside it and put in its place only when
// complete, so the listing there is replaced whole or not at all.
#pragma once

#include <sys/types.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/protected_files.h"
#include "platform/commit_queue.h"
#include "platform/folder_handle.h"
#include "platform/replacing_file.h"

namespace dirscribe {

// Whether an output file may be written, and why not.
enum class output_open_result {
  opened,
  failed,            // the system refused (error() says why)
  symbolic_link,     // the path is a symbolic link, dangling or not
  not_regular_file,  // a FIFO, socket, device or folder is in the way
  protected_input,   // the path is a file the run reads
  foreign,           // a file Dirscribe did not write, kept unless overwriting
};

// Looks at the file `name` in `folder` as an output: nothing there, or a
// regular file that is not one of `inputs` and (unless `overwrite`) was
// written by Dirscribe, gives opened. Creates and changes nothing.
// `replaced`, when given, is set when a regular file is there (to hand to
// output_file::open).
output_open_result check_output(const folder_handle& folder, const std::string& name,
                                const protected_files& inputs, bool overwrite,
                                std::optional<struct stat>* replaced = nullptr);

class output_file {
 public:
  output_file() = default;
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;
  // A file not closed is abandoned: whatever was there stays.
  ~output_file() = default;

  // Starts the output `name` in `folder`. REQUIRES: check_output said it may
  // be written. The file there, if any, is untouched until close(); what is
  // there is never followed or opened, so a FIFO cannot block.
  // `replaced` is the file there as check_output found it, if any. With
  // `spares`, files that earlier pages replaced are written again (see
  // replacing_file::begin).
  output_open_result open(const held_folder& folder, const std::string& name,
                          const std::optional<struct stat>& replaced,
                          spare_files* spares = nullptr);
  // Writes to the process's standard output (a copy of its descriptor, so
  // closing leaves standard output open), which may be a pipe or a terminal:
  // nothing is checked or replaced.
  output_open_result open_standard_output();
  std::FILE* get() const { return standard_output_ ? standard_stream_ : file_->stream(); }
  bool is_standard_output() const { return standard_output_; }
  // Puts the complete file in place. False when a byte could not be written
  // or the file could not be put in place; the old file is then as it was.
  bool close();
  // Hands the complete file to `commits` to be put in place there, named
  // `label` in a failure; true when there was a file to hand over.
  bool close_later(commit_queue& commits, std::string label);
  // The errno of the last failure.
  int error() const { return error_; }

 private:
  std::unique_ptr<replacing_file> file_ = std::make_unique<replacing_file>();
  bool standard_output_ = false;
  std::FILE* standard_stream_ = nullptr;
  std::vector<char> buffer_;  // stdio's buffer for standard output
  int error_ = 0;
};

}  // namespace dirscribe
