#include "core/qxhash.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

std::string keys(qxhash& map) {
  std::string out;
  qxval k, v;
  map.begin();
  while (map.next(k, v)) out += "[" + k.to_text() + "]";
  return out;
}

TEST(QxHash, IteratesInAscendingKeyOrder) {
  qxhash map;
  for (const char* key : {"b", "a", "ab", ""}) map.set(qxval(key), qxval(1));
  EXPECT_EQ(keys(map), "[][a][ab][b]");
  EXPECT_EQ(map.count(), 4);
}

TEST(QxHash, NonStringKeysAreStoredAsText) {
  qxhash map;
  map.set(qxval(10), qxval("ten"));
  map.set(qxval(true), qxval("one"));
  qxval out;
  EXPECT_TRUE(map.get("10", out));
  EXPECT_EQ(out.text(), "ten");
  EXPECT_TRUE(map.get("1", out));
  EXPECT_FALSE(map.get("2", out));
  EXPECT_EQ(out.type(), qxval::kind::integer);
  EXPECT_EQ(out.to_int(), 0);
}

TEST(QxHash, ReplacingKeepsIterationNewKeyEndsIt) {
  qxhash map;
  map.set(qxval("a"), qxval(1));
  map.set(qxval("b"), qxval(2));
  map.begin();
  qxval k, v;
  ASSERT_TRUE(map.next(k, v));
  map.set(qxval("a"), qxval(5));  // existing key: iteration goes on
  EXPECT_EQ(map.count(), 2);
  ASSERT_TRUE(map.next(k, v));
  EXPECT_EQ(k.text(), "b");

  map.begin();
  ASSERT_TRUE(map.next(k, v));
  map.set(qxval("c"), qxval(3));  // new key: the iteration list is emptied
  EXPECT_FALSE(map.next(k, v));
  EXPECT_EQ(map.lookup("a")->to_int(), 5);
}

TEST(QxHash, RemoveAndLookupInPlace) {
  qxhash map;
  for (const char* key : {"m", "c", "x", "a", "e", "d"}) map.set(qxval(key), qxval(key));
  map.remove("m");
  map.remove("absent");
  EXPECT_EQ(map.count(), 5);
  EXPECT_EQ(keys(map), "[a][c][d][e][x]");
  *map.lookup("d") = qxval(4);
  EXPECT_EQ(map.lookup("d")->to_int(), 4);
  EXPECT_EQ(map.lookup("zz"), nullptr);
  map.clear();
  EXPECT_EQ(map.count(), 0);
  EXPECT_EQ(keys(map), "");
}

}  // namespace
}  // namespace dirscribe
