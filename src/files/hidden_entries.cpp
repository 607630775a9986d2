#include "files/hidden_entries.h"

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "platform/regex_service.h"

namespace dirscribe {

namespace {

// The masks of a mask text, trimmed, empty ones dropped: as the filter
// splits them.
std::vector<std::string> masks_of(const std::string& text) {
  std::vector<std::string> masks;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(';', start), text.size());
    std::string mask = text.substr(start, end - start);
    trim(mask);
    if (!mask.empty()) masks.push_back(std::move(mask));
    start = end + 1;
  }
  return masks;
}

std::string joined(const std::vector<std::string>& masks) {
  std::string text;
  for (const std::string& mask : masks) text += (text.empty() ? "" : ";") + mask;
  return text;
}

bool excludes_by_attributes(const file_filter_data& filter) {
  return (filter.att_filter & att_filter_on) && !(filter.att_filter & att_filter_inclusion);
}

}  // namespace

void leave_out_hidden(file_filter_data& filter) {
  if (!(filter.att_filter & att_filter_on)) {
    filter.att_filter = att_filter_on;
    filter.attrs = attribute_hidden;
  } else if (excludes_by_attributes(filter) && !(filter.att_filter & att_filter_all_of)) {
    filter.attrs |= attribute_hidden;
  }
  std::vector<std::string> masks = masks_of(filter.str_folder_skip);
  if (std::find(masks.begin(), masks.end(), kHiddenFolderMask) == masks.end()) {
    masks.insert(masks.begin(), std::string(kHiddenFolderMask));
  }
  filter.str_folder_skip = joined(masks);
  filter.compile_masks();
}

void let_in_hidden(file_filter_data& filter) {
  if (excludes_by_attributes(filter)) {
    filter.attrs &= ~uint32_t{attribute_hidden};
    if (filter.attrs == 0) filter.att_filter = 0;
  }
  std::vector<std::string> masks = masks_of(filter.str_folder_skip);
  std::erase(masks, kHiddenFolderMask);
  filter.str_folder_skip = joined(masks);
  filter.compile_masks();
}

}  // namespace dirscribe
