#include "core/tagged_value.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(TaggedValue, NewValueIsIntegerZero) {
  tagged_value v;
  EXPECT_EQ(v.type(), tagged_value::kind::integer);
  EXPECT_EQ(v.to_int(), 0);
  EXPECT_EQ(v.to_text(), "0");
}

TEST(TaggedValue, Conversions) {
  EXPECT_EQ(tagged_value(true).to_text(), "1");
  EXPECT_EQ(tagged_value(false).to_text(), "0");
  EXPECT_EQ(tagged_value(-12).to_text(), "-12");
  EXPECT_EQ(tagged_value(2.5).to_text(), "2.5");
  EXPECT_EQ(tagged_value(" 12abc").to_int(), 12);
  EXPECT_TRUE(tagged_value("12abc").to_bool());
  EXPECT_FALSE(tagged_value("abc").to_bool());
  EXPECT_FALSE(tagged_value("").to_bool());
  EXPECT_EQ(tagged_value(3.9).to_int(), 3);
  EXPECT_EQ(tagged_value(-3.9).to_int(), -3);
  EXPECT_TRUE(tagged_value(0.5).to_bool());
  EXPECT_EQ(tagged_value(true).first_char(), '1');
  EXPECT_EQ(tagged_value("xyz").first_char(), 'x');
  EXPECT_EQ(tagged_value("").first_char(), '\0');
  EXPECT_EQ(tagged_value(42).first_char(), '4');
}

TEST(TaggedValue, ConvertInPlaceAndTakeText) {
  tagged_value v(17);
  v.convert_to(tagged_value::kind::string);
  EXPECT_TRUE(v.is_string());
  EXPECT_EQ(v.text(), "17");
  std::string taken = v.take_text();
  EXPECT_EQ(taken, "17");
  EXPECT_EQ(v.type(), tagged_value::kind::integer);
  EXPECT_EQ(v.to_int(), 0);
  tagged_value w("1");
  w.convert_to(tagged_value::kind::boolean);
  EXPECT_EQ(w, tagged_value(true));
}

TEST(TaggedValue, CopiesAreDeep) {
  tagged_value a("text");
  tagged_value b = a;
  // Changing the copy in place leaves the original as it was.
  EXPECT_EQ(b.take_text(), "text");
  EXPECT_EQ(a.text(), "text");
  tagged_value c = a;
  c.convert_to(tagged_value::kind::integer);
  EXPECT_TRUE(a.is_string());
  EXPECT_EQ(a.text(), "text");
}

}  // namespace
}  // namespace dirscribe
