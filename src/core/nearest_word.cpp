#include "core/nearest_word.h"

#include <algorithm>

#include "core/byte_string.h"

namespace dirscribe {

size_t edit_distance(std::string_view a, std::string_view b) {
  // Three rows of the distance table: two back are needed for a swap.
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::string nearest_word(std::string_view word, const std::vector<std::string>& candidates) {
  const std::string lowered = ascii_lower(word);
  const std::string* best = nullptr;
  size_t best_distance = 0;
  for (const std::string& candidate : candidates) {
    const size_t distance = edit_distance(lowered, ascii_lower(candidate));
    if (distance == 0 && candidate == word) return {};
    const size_t longer = std::max(word.size(), candidate.size());
    if (distance > std::max<size_t>(1, longer / 3)) continue;
    if (!best || distance < best_distance) {
      best = &candidate;
      best_distance = distance;
    }
  }
  return best ? *best : std::string();
}

}  // namespace dirscribe
