#include "platform/natural_collator.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <clocale>
#include <limits>

namespace dirscribe {

std::string collation_locale_of(std::string_view posix_locale) {
  const std::string_view language = posix_locale.substr(0, posix_locale.find_first_of(".@"));
  if (language.empty() || language == "C" || language == "POSIX") return {};
  return std::string(language);
}

natural_collator::natural_collator(std::string_view posix_locale)
    : locale_(collation_locale_of(posix_locale)) {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(locale_.c_str(), &status);
  if (U_FAILURE(status)) {
    // ICU falls back on its own for unknown locales; a hard failure (no data)
    // leaves the root collation as the last resort.
    status = U_ZERO_ERROR;
    locale_.clear();
    collator_ = ucol_open("", &status);
  }
  if (collator_) {
    status = U_ZERO_ERROR;
    ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
  }
}

natural_collator::~natural_collator() {
  if (collator_) ucol_close(collator_);
}

const natural_collator& natural_collator::of_process() {
  static const natural_collator process_collator([] {
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    return std::string_view(name ? name : "");
  }());
  return process_collator;
}

int natural_collator::compare(std::string_view a, std::string_view b) const {
  if (!collator_) return 0;
  constexpr size_t kLongest = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  if (a.size() > kLongest || b.size() > kLongest) return 0;
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result =
      ucol_strcollUTF8(collator_, a.data(), static_cast<int32_t>(a.size()), b.data(),
                       static_cast<int32_t>(b.size()), &status);
  if (U_FAILURE(status)) return 0;
  return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

void natural_collator::append_key(std::string_view a, std::string& out) const {
  constexpr size_t kLongest = static_cast<size_t>(std::numeric_limits<int32_t>::max() / 4);
  if (!collator_ || a.size() > kLongest) return;
  // One UTF-16 buffer per thread: names are converted one at a time.
  thread_local std::u16string text;
  text.resize(a.size());
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(text.data(), static_cast<int32_t>(text.size()), &length, a.data(),
                static_cast<int32_t>(a.size()), &status);
  if (U_FAILURE(status)) return;
  const size_t start = out.size();
  size_t room = a.size() * 3 + 16;
  for (;;) {
    out.resize(start + room);
    const int32_t needed =
        ucol_getSortKey(collator_, text.data(), length,
                        reinterpret_cast<uint8_t*>(out.data() + start), static_cast<int32_t>(room));
    if (needed <= 0) {
      out.resize(start);
      return;
    }
    if (static_cast<size_t>(needed) <= room) {
      out.resize(start + static_cast<size_t>(needed) - 1);  // without the closing zero byte
      return;
    }
    room = static_cast<size_t>(needed);
  }
}

}  // namespace dirscribe
