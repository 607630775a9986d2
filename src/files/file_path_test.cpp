#include "files/file_path.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(FilePath, JoinAddsOneSeparatorOnlyBetweenTwoNames) {
  struct Case {
    const char* base;
    const char* name;
    const char* joined;
  };
  const Case cases[] = {
      {"/srv", "a", "/srv/a"},
      {"/srv/", "a", "/srv/a"},    // a trailing separator is not doubled
      {"/srv//", "a", "/srv//a"},  // nor are several taken away
      {"/", "a", "/a"},            // the root
      {"", "a", "a"},              // no base: relative paths start with the name
      {"rel", "a", "rel/a"},
      {"/srv", "", "/srv/"},  // an empty name gives the folder with its separator
      {"", "", ""},
      {"/srv", "a b/c", "/srv/a b/c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(join_path(c.base, c.name), c.joined) << '"' << c.base << "\" + \"" << c.name << '"';
  }
}

}  // namespace
}  // namespace dirscribe
