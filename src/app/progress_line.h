// The progress line of a batch run on a terminal: the folder being read and
// how much was listed so far, on one line of standard error that rewrites
// itself, at most a few times a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace dirscribe {

class progress_line {
 public:
  // Shows nothing unless `enabled` (standard error is a terminal).
  explicit progress_line(bool enabled);
  ~progress_line();
  progress_line(const progress_line&) = delete;
  progress_line& operator=(const progress_line&) = delete;

  // Shows the folder being read (`message` is the "reading folder" text with
  // the folder's path) and the folders read, files listed and thumbnails
  // made so far.
  void show(const std::string& message, int64_t folders, int64_t files, int64_t thumbnails = 0);
  // Removes the line so later messages start on a clean line.
  void clear();

 private:
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// The text of the progress line, cut to `width` columns: the counts first so
// they stay visible ("1 folder, 2 files", and ", 3 thumbnails" once any is
// made), then as much of the folder message as fits (keeping its end, where
// the deepest folder names are).
std::string progress_text(const std::string& message, int64_t folders, int64_t files, int width,
                          int64_t thumbnails = 0);

}  // namespace dirscribe
