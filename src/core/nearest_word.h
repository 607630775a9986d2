// Finding the word a user probably meant: a misspelt project key, style name
// or option value is answered with the closest word the program knows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dirscribe {

// The number of single-byte insertions, deletions, substitutions and swaps of
// two neighbours that turn `a` into `b` (optimal string alignment distance):
// "recursion_dept" and "recursion_depth" are 1 apart, "tabel" and "table" 1.
size_t edit_distance(std::string_view a, std::string_view b);

// The candidate nearest to `word`, compared without regard to ASCII case, when
// it is close enough to be a likely slip: at most a third of the longer word's
// length away (at least 1). The first of equally near candidates wins; empty
// when none is close or `word` is itself a candidate.
std::string nearest_word(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace dirscribe
