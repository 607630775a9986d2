#include "engine/build_counts.h"

#include "engine/project_context.h"

namespace dirscribe {

void build_counts::folder_read(const std::string& message) { folders_seen_.insert(message); }

void build_counts::count_files(const project_context& collection) {
  int64_t current = 0;
  for (const auto& project : collection.projects) current += project->run.listing_file_total;
  if (current < files_current_) files_before_ += files_current_;
  files_current_ = current;
}

void build_counts::reset() {
  folders_seen_.clear();
  files_before_ = files_current_ = 0;
}

}  // namespace dirscribe
