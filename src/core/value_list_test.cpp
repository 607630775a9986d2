#include "core/value_list.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

std::string dump(value_list& list) {
  std::string out;
  tagged_value v;
  list.reset();
  while (list.next(v)) out += v.to_text() + ",";
  return out;
}

TEST(ValueList, IndexPastTheEndAppendsExactlyOne) {
  value_list list;
  list.append(tagged_value("a"));
  list.append(tagged_value("b"));
  list.append(tagged_value("c"));
  tagged_value& added = list.at(7);
  EXPECT_EQ(added.to_int(), 0);
  EXPECT_EQ(list.count(), 4);
  list.at(-1) = tagged_value("neg");
  EXPECT_EQ(list.count(), 5);
  EXPECT_EQ(dump(list), "a,b,c,0,neg,");
  EXPECT_EQ(list.at(1).text(), "b");
}

TEST(ValueList, EndsAndRemoval) {
  value_list list;
  tagged_value out;
  EXPECT_FALSE(list.remove_first(out));
  EXPECT_FALSE(list.remove_last(out));
  list.append(tagged_value(2));
  list.prepend(tagged_value(1));
  list.append(tagged_value(3));
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

TEST(ValueList, BackwardIterationAndTakeOver) {
  value_list backward(false);
  for (int i = 1; i <= 3; ++i) backward.append(tagged_value(i));
  EXPECT_EQ(dump(backward), "3,2,1,");
  value_list other;
  other.take_over(backward);
  EXPECT_EQ(backward.count(), 0);
  EXPECT_EQ(dump(other), "1,2,3,");
}

}  // namespace
}  // namespace dirscribe
