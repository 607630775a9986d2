#include "core/qxarr.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

std::string dump(qxarr& list) {
  std::string out;
  qxval v;
  list.reset();
  while (list.next(v)) out += v.to_text() + ",";
  return out;
}

TEST(QxArr, IndexPastTheEndAppendsExactlyOne) {
  qxarr list;
  list.append(qxval("a"));
  list.append(qxval("b"));
  list.append(qxval("c"));
  qxval& added = list.at(7);
  EXPECT_EQ(added.to_int(), 0);
  EXPECT_EQ(list.count(), 4);
  list.at(-1) = qxval("neg");
  EXPECT_EQ(list.count(), 5);
  EXPECT_EQ(dump(list), "a,b,c,0,neg,");
  EXPECT_EQ(list.at(1).text(), "b");
}

TEST(QxArr, EndsAndRemoval) {
  qxarr list;
  qxval out;
  EXPECT_FALSE(list.remove_first(out));
  EXPECT_FALSE(list.remove_last(out));
  list.append(qxval(2));
  list.prepend(qxval(1));
  list.append(qxval(3));
  EXPECT_EQ(dump(list), "1,2,3,");
  EXPECT_FALSE(list.get(3, out));
  EXPECT_FALSE(list.get(-1, out));
  ASSERT_TRUE(list.get(1, out));
  EXPECT_EQ(out.to_int(), 2);
  EXPECT_TRUE(list.remove_at(1));
  EXPECT_FALSE(list.remove_at(5));
  ASSERT_TRUE(list.remove_last(out));
  EXPECT_EQ(out.to_int(), 3);
  ASSERT_TRUE(list.remove_first(out));
  EXPECT_EQ(out.to_int(), 1);
  EXPECT_EQ(list.count(), 0);
}

TEST(QxArr, BackwardIterationAndTakeOver) {
  qxarr backward(false);
  for (int i = 1; i <= 3; ++i) backward.append(qxval(i));
  EXPECT_EQ(dump(backward), "3,2,1,");
  qxarr other;
  other.take_over(backward);
  EXPECT_EQ(backward.count(), 0);
  EXPECT_EQ(dump(other), "1,2,3,");
}

}  // namespace
}  // namespace dirscribe
