#include "core/nearest_word.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(EditDistance, CountsEachKindOfSlipOnce) {
  const struct {
    const char* a;
    const char* b;
    size_t distance;
  } cases[] = {
      {"", "", 0},
      {"abc", "", 3},
      {"", "abc", 3},
      {"recursion_dept", "recursion_depth", 1},  // a letter left out
      {"savee", "save", 1},                      // one too many
      {"pith", "path", 1},                       // one replaced
      {"tabel", "table", 1},                     // two neighbours swapped
      {"kitten", "sitting", 3},
      {"abcd", "badc", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(edit_distance(c.a, c.b), c.distance) << c.a << " / " << c.b;
    EXPECT_EQ(edit_distance(c.b, c.a), c.distance) << c.b << " / " << c.a;
  }
}

TEST(NearestWord, SuggestsOnlyLikelySlips) {
  const std::vector<std::string> keys = {"path", "save", "recursion_depth", "order_files",
                                         "Detailed table"};
  const struct {
    const char* word;
    const char* expected;
  } cases[] = {
      {"recursion_dept", "recursion_depth"},
      {"order_file", "order_files"},
      {"sav", "save"},
      {"PATH", "path"},                      // case alone is a slip
      {"detailed tabel", "Detailed table"},  // a swap and a case
      {"path", ""},                          // a known word needs no suggestion
      {"colour", ""},                        // nothing near
      {"x", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(nearest_word(c.word, keys), c.expected) << c.word;
  EXPECT_EQ(nearest_word("anything", {}), "");
}

TEST(NearestWord, TheNearestOfSeveralCloseWordsWins) {
  EXPECT_EQ(nearest_word("sizes", {"size_filter", "size", "sizes_end"}), "size");
  // Equally near: the first in order.
  EXPECT_EQ(nearest_word("ab", {"ax", "ay"}), "ax");
}

}  // namespace
}  // namespace dirscribe
