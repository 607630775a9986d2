#include "platform/natural_collator.h"

#include <gtest/gtest.h>

#include <string>

namespace dirscribe {
namespace {

TEST(NaturalCollatorTest, LocaleNamesBecomeCollationLocales) {
  const std::pair<const char*, const char*> cases[] = {
      {"C", ""},
      {"POSIX", ""},
      {"C.UTF-8", ""},
      {"", ""},
      {"de_DE.UTF-8", "de_DE"},
      {"sv_SE.utf8@euro", "sv_SE"},
      {"en_US", "en_US"},
  };
  for (const auto& [posix, icu] : cases) EXPECT_EQ(collation_locale_of(posix), icu) << posix;
}

// Each pair must order `before` < `after` under every locale of the table,
// and the other way round must agree.
TEST(NaturalCollatorTest, OrdersAsAPersonReadsUnderEveryTestedLocale) {
  const std::pair<const char*, const char*> ordered[] = {
      {"track 2", "track 10"},          // digit runs as numbers
      {"file-9.txt", "file-10.txt"},    //
      {"v9", "v99999999999999999999"},  // longer than any machine integer
      {"track 9", "Track 10"},          // case does not outweigh the number
      {"apple", "Banana"},              // case ignored at the first level
      {"a", "A"},                       // then lower case first
      {"Édith Piaf", "Various Artists"},
      {"edith", "Édith"},  // accents count only where the letters agree
      {"Björk", "Blur"},
      {"Sigur Rós", "Sigur Rs"},
      {"Äpfel", "Birne"},
      {"zebra", "Ωμέγα"},  // Latin before Greek, Greek before Cyrillic and Han
      {"Ωμέγα", "Борис"},
      {"Борис", "日本"},
      {"Алла", "Борис"},
      {"2 apples", "apples"},  // digits before letters
  };
  for (const char* locale : {"C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
    const natural_collator collator(locale);
    for (const auto& [before, after] : ordered) {
      EXPECT_LT(collator.compare(before, after), 0) << locale << ": " << before << " < " << after;
      EXPECT_GT(collator.compare(after, before), 0) << locale << ": " << after << " > " << before;
    }
    EXPECT_EQ(collator.compare("track 02", "track 2"), 0) << locale;
    EXPECT_EQ(collator.compare("\xC3\xA9", "e\xCC\x81"), 0) << locale;  // é composed or not
  }
}

TEST(NaturalCollatorTest, FollowsTheLocalesTailoring) {
  // Swedish sorts Ö after Z; German and the root collation sort it with O.
  EXPECT_GT(natural_collator("sv_SE.UTF-8").compare("Öster", "Zebra"), 0);
  EXPECT_LT(natural_collator("de_DE.UTF-8").compare("Öster", "Zebra"), 0);
  EXPECT_LT(natural_collator("C").compare("Öster", "Zebra"), 0);
  // An unknown locale falls back and still orders numbers naturally.
  EXPECT_LT(natural_collator("xx_YY.UTF-8").compare("a2", "a10"), 0);
}

}  // namespace
}  // namespace dirscribe
