// Orders names as a person reads them: the collation of a locale (accents and
// case count only where the letters agree), digit runs compared as numbers
// ("track 2" before "track 10"). Backed by an ICU collator.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

namespace dirscribe {

class natural_collator {
 public:
  // A collator for a POSIX locale name such as "de_DE.UTF-8"; "C", "POSIX",
  // "C.UTF-8" and an empty name give the root collation (no tailoring). A
  // locale ICU does not know falls back to the root collation too.
  explicit natural_collator(std::string_view posix_locale);
  ~natural_collator();
  natural_collator(const natural_collator&) = delete;
  natural_collator& operator=(const natural_collator&) = delete;

  // The collator of this process's LC_COLLATE, made on first use. Safe to
  // call and to use from several threads.
  static const natural_collator& of_process();

  // Negative, 0 or positive as `a` orders before, with or after `b`. Both
  // must be valid UTF-8; 0 means the collation sees no difference (e.g.
  // "track 02" and "track 2", or the two Unicode forms of "é").
  int compare(std::string_view a, std::string_view b) const;

  // Appends to `out` the collation key of `a` (valid UTF-8): two names
  // compare as their keys do byte by byte (std::string_view order), which is
  // the order of compare. Sorting many names by keys made once is much
  // faster than comparing the names pairwise.
  void append_key(std::string_view a, std::string& out) const;

  // The ICU locale the collator was opened with ("" for the root).
  const std::string& locale() const { return locale_; }

 private:
  std::string locale_;
  UCollator* collator_ = nullptr;  // owned; closed by the destructor
};

// The ICU locale id of a POSIX locale name: codeset and modifier dropped
// ("de_DE.UTF-8@euro" -> "de_DE"), "" for C and POSIX.
std::string collation_locale_of(std::string_view posix_locale);

}  // namespace dirscribe
