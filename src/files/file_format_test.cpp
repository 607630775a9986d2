#include "files/file_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace dirscribe {
namespace {

number_format comma_format() {
  number_format format;
  format.thousands_separator = ",";
  format.decimal_separator = ".";
  return format;
}

TEST(FormatSizeTest, AutomaticAndFixedUnits) {
  const struct {
    uint64_t size;
    int units;
    const char* expected;
  } cases[] = {
      {0, -1, "0b"},
      {1023, -1, "1,023b"},
      {1024, -1, "1Kb"},
      {1025, -1, "2Kb"},
      {1048575, -1, "1,024Kb"},
      {1048576, -1, "1Mb"},
      {1048577, -1, "2Mb"},
      {uint64_t{1} << 40, -1, "1,048,576Mb"},
      {1, 1, "1 KB"},
      {0, 1, "0 KB"},
      {1536, 0, "1,536"},
      {1234567890123, 0, "1,234,567,890,123"},
      {1048576, 2, "1 MB"},
      {1048577, 2, "2 MB"},
      {5000, 3, "1"},  // 1024^3 units, with no label
      {uint64_t{5} << 40, 3, "5,120"},
      {1, 9, "1"},
  };
  for (const auto& c : cases) {
    const char* label = c.units == 1 ? " KB" : (c.units == 2 ? " MB" : "");
    EXPECT_EQ(format_size(c.size, c.units, label, comma_format()), c.expected)
        << c.size << " units " << c.units;
  }
}

// What file managers print, at the edges of each unit and of 64 bits.
TEST(FormatSizeTest, ReadableUnits) {
  const uint64_t kb = 1024, mb = kb << 10, gb = mb << 10, tb = gb << 10, pb = tb << 10;
  const struct {
    uint64_t size;
    const char* expected;
  } cases[] = {
      {0, "0 B"},
      {7, "7 B"},
      {1023, "1,023 B"},
      {1024, "1.0 KB"},
      {1075, "1.0 KB"},       // 1.0498
      {1076, "1.1 KB"},       // 1.0508
      {13722, "13.4 KB"},     // 13.400
      {102348, "99.9 KB"},    // 99.949
      {102349, "100 KB"},     // 99.950 rounds to 100, shown whole
      {1047552, "1,023 KB"},  // 1023.0
      {1048063, "1,023 KB"},  // 1023.499
      {1048064, "1.0 MB"},    // 1023.5 rounds to 1024 KB
      {mb - 1, "1.0 MB"},
      {mb, "1.0 MB"},
      {uint64_t{20407237}, "19.5 MB"},
      {gb * 21 / 10, "2.1 GB"},
      {tb * 12 / 10 + 1, "1.2 TB"},
      {pb - 1, "1.0 PB"},
      {pb, "1.0 PB"},
      {pb * 100, "100 PB"},
      {pb * 1023 + pb / 2, "1.0 EB"},
      {uint64_t{1} << 60, "1.0 EB"},
      {std::numeric_limits<uint64_t>::max(), "16.0 EB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_size(c.size, kUnitsReadable, " KB", comma_format()), c.expected) << c.size;
  }
  number_format german = comma_format();
  german.thousands_separator = ".";
  german.decimal_separator = ",";
  EXPECT_EQ(format_size(13722, kUnitsReadable, "", german), "13,4 KB");
  EXPECT_EQ(format_size(1047552, kUnitsReadable, "", german), "1.023 KB");
  german.decimal_separator.clear();
  EXPECT_EQ(format_size(13722, kUnitsReadable, "", german), "13.4 KB");
}

TEST(FormatSizeTest, GroupingFollowsTheFormat) {
  number_format format = comma_format();
  format.thousands_separator = "\xe2\x80\xaf";  // narrow no-break space
  EXPECT_EQ(group_digits(1234567, format),
            "1\xe2\x80\xaf"
            "234\xe2\x80\xaf"
            "567");
  format.thousands_separator = "";
  EXPECT_EQ(group_digits(1234567, format), "1234567");
  format = comma_format();
  format.grouping = 0;
  EXPECT_EQ(group_digits(1234567, format), "1234567");
  format = comma_format();
  EXPECT_EQ(group_digits(-1234, format), "-1,234");
  EXPECT_EQ(group_digits(std::numeric_limits<int64_t>::min(), format),
            "-9,223,372,036,854,775,808");
  EXPECT_EQ(group_digits(100, format), "100");
  EXPECT_EQ(group_digits(100000, format), "100,000");
}

// Grouping by whole runs of digits must match inserting the separator digit
// by digit, for every group size and length of number.
TEST(FormatSizeTest, GroupingMatchesDigitByDigitInsertion) {
  const auto reference = [](int64_t value, const number_format& format) {
    const bool negative = value < 0;
    const uint64_t magnitude =
        negative ? ~static_cast<uint64_t>(value) + 1 : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string out = negative ? "-" : "";
    const size_t group = format.grouping > 0 ? static_cast<size_t>(format.grouping) : 0;
    for (size_t i = 0; i < digits.size(); ++i) {
      if (i > 0 && group > 0 && (digits.size() - i) % group == 0) {
        out += format.thousands_separator;
      }
      out += digits[i];
    }
    return out;
  };
  std::vector<int64_t> values = {0, std::numeric_limits<int64_t>::min(),
                                 std::numeric_limits<int64_t>::max()};
  int64_t power = 1;
  for (int digits = 1; digits <= 19; ++digits) {
    for (int64_t value : {power - 1, power, power + 1, 7 * power}) {
      values.push_back(value);
      values.push_back(-value);
    }
    if (digits < 19) power *= 10;
  }
  for (int grouping : {-1, 0, 1, 2, 3, 4, 7}) {
    for (const char* separator : {"", ",", "\xe2\x80\xaf"}) {
      number_format format = comma_format();
      format.grouping = grouping;
      format.thousands_separator = separator;
      for (int64_t value : values) {
        EXPECT_EQ(group_digits(value, format), reference(value, format))
            << value << " grouping " << grouping << " separator '" << separator << "'";
      }
    }
  }
}

TEST(FormatDateTest, StrftimeAndLocaleForms) {
  const date_time_formats formats{"%d.%m.%Y", "%H:%M"};
  const unix_time end_of_1999 = 946684799;  // 1999-12-31 23:59:59 UTC
  const struct {
    unix_time t;
    bool use_date_format;
    std::string date_format;
    std::string expected;
    int result;
  } cases[] = {
      {0, true, "%Y-%m-%d", "1970-01-01", 0},
      {end_of_1999, true, "%Y-%m-%d %H:%M:%S", "1999-12-31 23:59:59", 0},
      {end_of_1999, false, "%Y", "31.12.1999 23:59", 0},
      {-1, true, "%Y-%m-%d %H:%M:%S", "1969-12-31 23:59:59", 0},
      {4102444800, true, "%Y", "2100", 0},                         // past 2038
      {0, true, std::string(300, 'x'), std::string(300, 'x'), 0},  // past strftime's first buffer
      {0, true, std::string(300, 'x') + "%c", std::string(300, 'x') + "Thu Jan  1 00:00:00 1970",
       0},
      // A moment no format can print is printed as the nearest one that
      // every format can, so no listing fails on a file's date.
      {std::numeric_limits<unix_time>::max(), true, "%Y", "9999", 0},
      {67767976233532800, true, "%F %T", "9999-12-31 23:59:59", 0},
      {67767976233532799, false, "", "31.12.9999 23:59", 0},
      {253402300800, true, "%c", "Fri Dec 31 23:59:59 9999", 0},
      {-62135596801, true, "%Y-%m-%d %T %a", "1-01-01 00:00:00 Mon", 0},
      {std::numeric_limits<unix_time>::min(), true, "%Y|%j", "1|001", 0},
  };
  for (const auto& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(format_date_time(c.t, c.use_date_format, c.date_format, formats, out), c.result)
        << c.t << " " << c.date_format;
    EXPECT_EQ(out, c.expected) << c.t << " " << c.date_format;
  }
  EXPECT_EQ(format_date(end_of_1999, formats), "31.12.1999");
  EXPECT_EQ(format_time(end_of_1999, formats), "23:59");
  EXPECT_EQ(format_date(std::numeric_limits<unix_time>::max(), formats), "31.12.9999");
  EXPECT_EQ(format_time(std::numeric_limits<unix_time>::min(), formats), "00:00");
}

TEST(FormatDateTest, RemoveSeconds) {
  const struct {
    const char* format;
    const char* expected;
  } cases[] = {
      {"%H:%M:%S", "%H:%M"},
      {"%T", "%H:%M"},
      {"%r", "%I:%M %p"},
      {"%I:%M:%S %p", "%I:%M %p"},
      {"%H.%M.%S", "%H.%M"},
      {"%H\xe6\x99\x82%M\xe5\x88\x86%S\xe7\xa7\x92", "%H\xe6\x99\x82%M\xe5\x88\x86"},
      {"%p %I:%M:%OS", "%p %I:%M"},
      {"%H:%M", "%H:%M"},
      {"%S", ""},
      {"%%S %H", "%%S %H"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(remove_seconds(c.format), c.expected) << c.format;
  }
}

// The direct breakdown must give every field gmtime_r gives, across leap
// days, century years, both ends of the direct span and beyond it.
TEST(BreakDownUtcTest, SameFieldsAsGmtime) {
  std::vector<unix_time> moments = {0,
                                    -1,
                                    1,
                                    59,
                                    86399,
                                    86400,
                                    -86400,
                                    -86401,
                                    951782400,
                                    951868799,
                                    4107542400,
                                    4107542399,
                                    -2203891200,
                                    2147483647,
                                    2147483648,
                                    -2147483648,
                                    1709164800,
                                    1711846800,
                                    1729990800,
                                    -62135596800,
                                    -62135596801,
                                    253402300799,
                                    253402300800,
                                    67767976233316800};
  // Every 1000003 seconds (about 11.6 days) from 1600 to 2500.
  for (unix_time t = -11676096000; t < 16725225600; t += 1000003) moments.push_back(t);
  for (unix_time t : moments) {
    struct tm expected {};
    const time_t moment = static_cast<time_t>(t);
    const bool expected_ok = gmtime_r(&moment, &expected) != nullptr;
    struct tm got {};
    ASSERT_EQ(break_down_utc(t, got), expected_ok) << t;
    if (!expected_ok) continue;
    EXPECT_EQ(got.tm_sec, expected.tm_sec) << t;
    EXPECT_EQ(got.tm_min, expected.tm_min) << t;
    EXPECT_EQ(got.tm_hour, expected.tm_hour) << t;
    EXPECT_EQ(got.tm_mday, expected.tm_mday) << t;
    EXPECT_EQ(got.tm_mon, expected.tm_mon) << t;
    EXPECT_EQ(got.tm_year, expected.tm_year) << t;
    EXPECT_EQ(got.tm_wday, expected.tm_wday) << t;
    EXPECT_EQ(got.tm_yday, expected.tm_yday) << t;
    EXPECT_EQ(got.tm_isdst, expected.tm_isdst) << t;
    EXPECT_EQ(got.tm_gmtoff, expected.tm_gmtoff) << t;
    EXPECT_STREQ(got.tm_zone, expected.tm_zone) << t;
  }
  struct tm broken {};
  EXPECT_FALSE(break_down_utc(INT64_MAX, broken));
}

// Whatever the numeric formatter takes on, it must write what strftime
// writes; what it declines still reaches strftime.
TEST(FormatNumericDateTest, SameTextAsStrftime) {
  const std::string long_format(200, 'x');
  const struct {
    const char* format;
    bool direct;
  } formats[] = {
      {"%Y-%m-%d %H:%M", true},
      {"%F %T", true},
      {"%d.%m.%Y %H:%M:%S", true},
      {"%e|%j|%y|%C|%D|%R|%I|%u|%w|%%|%n|%t", true},
      {"100%% plain text", true},
      {"", true},
      {"%", false},
      {"abc%", false},
      {"%c", false},
      {"%a %b", false},
      {"%p", false},
      {"%Ey", false},
      {"%Od", false},
      {"%5Y", false},
      {"%-d", false},
      {"%_H", false},
      {"%s", false},
      {"%Z", false},
  };
  const unix_time moments[] = {
      0,          1,          43199,      43200,        86399,        951825600,    978307199,
      1709210096, 1735689599, 4102444800, -30610224000, 253402300799, -30610224001, 253402300800};
  for (unix_time t : moments) {
    struct tm broken {};
    ASSERT_TRUE(break_down_utc(t, broken)) << t;
    std::vector<std::string> all;
    for (const auto& f : formats) all.push_back(f.format);
    all.push_back(long_format + "%Y" + long_format);  // longer than 256 bytes
    for (size_t k = 0; k < all.size(); ++k) {
      const std::string& format = all[k];
      char buffer[4096];
      const size_t length = strftime(buffer, sizeof buffer, format.c_str(), &broken);
      const std::string expected(buffer, length);
      std::string got;
      const bool direct = format_numeric_date(broken, format, got);
      const int year = broken.tm_year + 1900;
      const bool in_range = year >= 1000 && year <= 9999;
      const bool expect_direct = (k == std::size(formats) || formats[k].direct) && in_range;
      EXPECT_EQ(direct, expect_direct) << t << " " << format;
      if (direct) {
        EXPECT_EQ(got, expected) << t << " " << format;
      }
    }
  }
}

class TimeZoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* saved = std::getenv("TZ");
    had_zone_ = saved != nullptr;
    if (saved) saved_zone_ = saved;
  }
  void TearDown() override {
    if (had_zone_) {
      setenv("TZ", saved_zone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  static void use_zone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

 private:
  bool had_zone_ = false;
  std::string saved_zone_;
};

TEST_F(TimeZoneTest, ShiftUsesTheOffsetInForceAtThatMoment) {
  use_zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const unix_time winter_noon = 1705320000;  // 2024-01-15 12:00 UTC
  const unix_time summer_noon = 1721044800;  // 2024-07-15 12:00 UTC
  const date_time_formats formats{"%Y-%m-%d", "%H:%M"};
  EXPECT_EQ(format_time(to_local_time(winter_noon), formats), "13:00");
  EXPECT_EQ(format_time(to_local_time(summer_noon), formats), "14:00");
  EXPECT_EQ(format_time(winter_noon, formats), "12:00") << "formatters never shift";
  use_zone("UTC0");
  EXPECT_EQ(to_local_time(summer_noon), summer_noon);
  use_zone("EST5");
  EXPECT_EQ(format_date(to_local_time(0), formats), "1969-12-31");
}

TEST(UserFormatsTest, ReadFromTheEnvironmentLocale) {
  const char* saved = std::getenv("LC_ALL");
  const std::string saved_value = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  const date_time_formats formats = user_date_time_formats();
  const number_format numbers = user_number_format();
  if (saved) {
    setenv("LC_ALL", saved_value.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  EXPECT_EQ(formats.date, "%m/%d/%y");
  EXPECT_EQ(formats.time, "%H:%M") << "the C locale's %H:%M:%S without seconds";
  EXPECT_EQ(numbers.thousands_separator, "");
  EXPECT_EQ(numbers.decimal_separator, ".");
  EXPECT_EQ(numbers.grouping, 3);
}

TEST(AttributeTextTest, Letters) {
  EXPECT_EQ(attribute_letters(0x21), "AR");
  EXPECT_EQ(attribute_letters(0), "");
  EXPECT_EQ(attribute_letters(0x1fff), "ACDHORST");
  EXPECT_EQ(attribute_letters(0x400 | 0x80), "") << "link and normal have no letter";
}

TEST(AttributeTextTest, ModeString) {
  const struct {
    uint32_t attributes;
    bool is_folder;
    const char* expected;
  } cases[] = {
      {0755, true, "drwxr-xr-x"},
      {0644, false, "-rw-r--r--"},
      {0x1000 | 0777, false, "lrwxrwxrwx"},
      {0x1000 | 0777, true, "lrwxrwxrwx"},
      {0x800 | 0755, false, "-rwsr-xr-x"},
      {0x800 | 0655, false, "-rwSr-xr-x"},
      {0x400 | 0775, false, "-rwxrwsr-x"},
      {0x400 | 0765, false, "-rwxrwSr-x"},
      {0x200 | 0777, true, "drwxrwxrwt"},
      {0x200 | 0776, true, "drwxrwxrwT"},
      {0, false, "----------"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mode_string(c.attributes, c.is_folder), c.expected) << std::oct << c.attributes;
  }
}

}  // namespace
}  // namespace dirscribe
