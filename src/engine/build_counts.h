// What a running build has read and listed so far, for the progress displays
// of the batch run and the wizard. Both learn of a folder only through the
// collection's progress message, and of files only through the file total
// the running build publishes in the collection, so the counting lives here
// once.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

namespace dirscribe {

class project_context;

class build_counts {
 public:
  // Notes the folder named by one progress message ("reading folder" and its
  // path). A folder counts once however often it is read: a style that sums
  // subtree sizes reads every folder for the summary and again for the listing.
  void folder_read(const std::string& message);

  // Brings the file count up to date from the file total the collection's
  // running build publishes. That total restarts with every output file, so
  // what the finished files listed is carried over. Call it on the building
  // thread, or after the build ended.
  void count_files(const project_context& collection);

  // Forgets everything, for the next build.
  void reset();

  int64_t folders() const { return static_cast<int64_t>(folders_seen_.size()); }
  int64_t files() const { return files_before_ + files_current_; }

 private:
  std::unordered_set<std::string> folders_seen_;
  int64_t files_before_ = 0;   // files of the output files already finished
  int64_t files_current_ = 0;  // files of the output file being written
};

}  // namespace dirscribe
