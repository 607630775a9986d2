// What a running build has read and listed so far, for the progress displays
// of the batch run and the wizard. Both learn of a folder only through the
// collection's progress message, and of files only through the file total
// the running build publishes in the collection, so the counting lives here
// once.
#pragma once

#include <cstdint>
#include <string>

namespace dirscribe {

class project_context;

class build_counts {
 public:
  // Notes the folder named by one progress message ("reading folder" and its
  // path). A build reports each folder it lists once (a walk that sums
  // subtree sizes reports the folders it records; the listing then reads them
  // from the record without a word), so the counts need not remember the
  // folders: their memory stays the same however large the tree.
  void folder_read(const std::string& message);

  // Brings the file count up to date from the file total the collection's
  // running build publishes. That total restarts with every output file, so
  // what the finished files listed is carried over. Call it on the building
  // thread, or after the build ended.
  void count_files(const project_context& collection);

  // Forgets everything, for the next build.
  void reset();

  int64_t folders() const { return folders_; }
  int64_t files() const { return files_before_ + files_current_; }

 private:
  int64_t folders_ = 0;
  int64_t files_before_ = 0;   // files of the output files already finished
  int64_t files_current_ = 0;  // files of the output file being written
};

}  // namespace dirscribe
