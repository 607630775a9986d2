#include "platform/clock.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

namespace dirscribe {

int64_t current_unix_time() { return static_cast<int64_t>(std::time(nullptr)); }

int64_t local_offset_at(int64_t t) {
  const time_t moment = static_cast<time_t>(t);
  struct tm broken {};
  if (!localtime_r(&moment, &broken)) return 0;
  return broken.tm_gmtoff;
}

user_locale_conventions read_user_locale_conventions() {
  user_locale_conventions conventions;
  locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (!user) user = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (!user) return conventions;
  auto read = [user](nl_item item) {
    const char* value = nl_langinfo_l(item, user);
    return std::string(value ? value : "");
  };
  conventions.thousands_separator = read(THOUSEP);
  conventions.decimal_separator = read(RADIXCHAR);
  conventions.date_format = read(D_FMT);
  conventions.time_format = read(T_FMT);
  freelocale(user);
  return conventions;
}

}  // namespace dirscribe
