#include "core/value_map.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

std::string keys(value_map& map) {
  std::string out;
  tagged_value k, v;
  map.begin();
  while (map.next(k, v)) out += "[" + k.to_text() + "]";
  return out;
}

TEST(ValueMap, IteratesInAscendingKeyOrder) {
  value_map map;
  for (const char* key : {"b", "a", "ab", ""}) map.set(tagged_value(key), tagged_value(1));
  EXPECT_EQ(keys(map), "[][a][ab][b]");
  EXPECT_EQ(map.count(), 4);
}

TEST(ValueMap, NonStringKeysAreStoredAsText) {
  value_map map;
  map.set(tagged_value(10), tagged_value("ten"));
  map.set(tagged_value(true), tagged_value("one"));
  tagged_value out;
  EXPECT_TRUE(map.get("10", out));
  EXPECT_EQ(out.text(), "ten");
  EXPECT_TRUE(map.get("1", out));
  EXPECT_FALSE(map.get("2", out));
  EXPECT_EQ(out.type(), tagged_value::kind::integer);
  EXPECT_EQ(out.to_int(), 0);
}

TEST(ValueMap, ReplacingKeepsIterationNewKeyEndsIt) {
  value_map map;
  map.set(tagged_value("a"), tagged_value(1));
  map.set(tagged_value("b"), tagged_value(2));
  map.begin();
  tagged_value k, v;
  ASSERT_TRUE(map.next(k, v));
  map.set(tagged_value("a"), tagged_value(5));  // existing key: iteration goes on
  EXPECT_EQ(map.count(), 2);
  ASSERT_TRUE(map.next(k, v));
  EXPECT_EQ(k.text(), "b");

  map.begin();
  ASSERT_TRUE(map.next(k, v));
  map.set(tagged_value("c"), tagged_value(3));  // new key: the iteration list is emptied
  EXPECT_FALSE(map.next(k, v));
  EXPECT_EQ(map.lookup("a")->to_int(), 5);
}

TEST(ValueMap, RemoveAndLookupInPlace) {
  value_map map;
  for (const char* key : {"m", "c", "x", "a", "e", "d"})
    map.set(tagged_value(key), tagged_value(key));
  map.remove("m");
  map.remove("absent");
  EXPECT_EQ(map.count(), 5);
  EXPECT_EQ(keys(map), "[a][c][d][e][x]");
  *map.lookup("d") = tagged_value(4);
  EXPECT_EQ(map.lookup("d")->to_int(), 4);
  EXPECT_EQ(map.lookup("zz"), nullptr);
  map.clear();
  EXPECT_EQ(map.count(), 0);
  EXPECT_EQ(keys(map), "");
}

}  // namespace
}  // namespace dirscribe
