// Comparing names of the interface description without regard to ASCII case.
#pragma once

#include <string_view>

namespace dirscribe {

// True when `a` and `b` are equal once ASCII letters are folded to one case.
inline bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace dirscribe
