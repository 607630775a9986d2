#include "core/qxval.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(QxVal, NewValueIsIntegerZero) {
  qxval v;
  EXPECT_EQ(v.type(), qxval::kind::integer);
  EXPECT_EQ(v.to_int(), 0);
  EXPECT_EQ(v.to_text(), "0");
}

TEST(QxVal, Conversions) {
  EXPECT_EQ(qxval(true).to_text(), "1");
  EXPECT_EQ(qxval(false).to_text(), "0");
  EXPECT_EQ(qxval(-12).to_text(), "-12");
  EXPECT_EQ(qxval(2.5).to_text(), "2.5");
  EXPECT_EQ(qxval(" 12abc").to_int(), 12);
  EXPECT_TRUE(qxval("12abc").to_bool());
  EXPECT_FALSE(qxval("abc").to_bool());
  EXPECT_FALSE(qxval("").to_bool());
  EXPECT_EQ(qxval(3.9).to_int(), 3);
  EXPECT_EQ(qxval(-3.9).to_int(), -3);
  EXPECT_TRUE(qxval(0.5).to_bool());
  EXPECT_EQ(qxval(true).first_char(), '1');
  EXPECT_EQ(qxval("xyz").first_char(), 'x');
  EXPECT_EQ(qxval("").first_char(), '\0');
  EXPECT_EQ(qxval(42).first_char(), '4');
}

TEST(QxVal, ConvertInPlaceAndTakeText) {
  qxval v(17);
  v.convert_to(qxval::kind::string);
  EXPECT_TRUE(v.is_string());
  EXPECT_EQ(v.text(), "17");
  std::string taken = v.take_text();
  EXPECT_EQ(taken, "17");
  EXPECT_EQ(v.type(), qxval::kind::integer);
  EXPECT_EQ(v.to_int(), 0);
  qxval w("1");
  w.convert_to(qxval::kind::boolean);
  EXPECT_EQ(w, qxval(true));
}

TEST(QxVal, CopiesAreDeep) {
  qxval a("text");
  qxval b = a;
  b = qxval("other");
  EXPECT_EQ(a.text(), "text");
}

}  // namespace
}  // namespace dirscribe
