#include "engine/listing_run.h"

#include <utility>

#include "engine/project_context.h"
#include "services/phrase_table.h"

namespace dirscribe {

std::string listing_run::phrase(int id) const {
  return context.language ? std::string(context.language->text(id)) : std::string();
}

bool listing_run::stop_raised() const {
  return context.stop_flag.load(std::memory_order_relaxed) != 0;
}

void listing_run::warn(const std::string& text) const {
  if (context.warning) context.warning(text);
}

void listing_run::report_progress(std::string text) const {
  if (context.progress) context.progress(std::move(text));
}

void listing_run::clear_listing_totals() {
  listing_total_size = 0;
  listing_file_total = 0;
  listing_folder_total = 0;
  listing_row_total = 0;
  publish_file_total();
}

void listing_run::publish_file_total() const {
  context.listed_files.store(listing_file_total, std::memory_order_relaxed);
}

}  // namespace dirscribe
