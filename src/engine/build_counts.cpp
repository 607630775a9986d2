#include "engine/build_counts.h"

#include "engine/project_context.h"

namespace dirscribe {

void build_counts::folder_read(const std::string&) { ++folders_; }

void build_counts::count_files(const project_context& collection) {
  const int64_t current = collection.listed_files.load(std::memory_order_relaxed);
  if (current < files_current_) files_before_ += files_current_;
  files_current_ = current;
}

void build_counts::reset() {
  folders_ = 0;
  files_before_ = files_current_ = 0;
}

}  // namespace dirscribe
