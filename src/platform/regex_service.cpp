#include "platform/regex_service.h"

#include <algorithm>

#include <locale.h>

#include <cstdlib>
#include <cwchar>

#include "core/byte_string.h"

namespace dirscribe {

namespace {

// The C locale, in which expressions work on bytes; (locale_t)0 when it cannot
// be made.
locale_t byte_locale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c_locale;
}

// True when `subject` is text in the current locale's multibyte encoding, so
// an expression compiled for that locale can match it.
bool is_locale_text(std::string_view subject) {
  std::mbstate_t state{};
  size_t i = 0;
  while (i < subject.size()) {
    if (static_cast<unsigned char>(subject[i]) < 0x80) {
      ++i;
      continue;
    }
    wchar_t character = 0;
    const size_t length = std::mbrtowc(&character, subject.data() + i, subject.size() - i, &state);
    if (length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2)) return false;
    i += length == 0 ? 1 : length;
  }
  return true;
}

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char lower_of_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// `pattern` as a plain pattern when it is one: letters and digits of ASCII
// between an optional "^" and an optional "$".
compiled_regex::plain_pattern compiled_regex::read_plain(std::string_view pattern,
                                                         bool ignore_case) {
  plain_pattern plain;
  plain.at_start = pattern.starts_with('^');
  if (plain.at_start) pattern.remove_prefix(1);
  plain.at_end = pattern.ends_with('$');
  if (plain.at_end) pattern.remove_suffix(1);
  if (pattern.empty()) return {};
  const auto letter_or_digit = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  };
  if (!std::all_of(pattern.begin(), pattern.end(), letter_or_digit)) return {};
  plain.literal = std::string(pattern);
  plain.ignore_case = ignore_case;
  return plain;
}

compiled_regex::compiled_regex(compiled_regex&& other) noexcept
    : regex_(other.regex_),
      bytes_(other.bytes_),
      compiled_(other.compiled_),
      bytes_compiled_(other.bytes_compiled_),
      want_captures_(other.want_captures_),
      plain_(std::move(other.plain_)) {
  other.compiled_ = false;
  other.bytes_compiled_ = false;
}

compiled_regex& compiled_regex::operator=(compiled_regex&& other) noexcept {
  if (this != &other) {
    release();
    regex_ = other.regex_;
    bytes_ = other.bytes_;
    compiled_ = other.compiled_;
    bytes_compiled_ = other.bytes_compiled_;
    want_captures_ = other.want_captures_;
    plain_ = std::move(other.plain_);
    other.compiled_ = false;
    other.bytes_compiled_ = false;
  }
  return *this;
}

compiled_regex::~compiled_regex() { release(); }

void compiled_regex::release() {
  plain_ = {};
  if (compiled_) regfree(&regex_);
  if (bytes_compiled_) regfree(&bytes_);
  compiled_ = false;
  bytes_compiled_ = false;
}

int compiled_regex::compile(std::string_view pattern, int flags) {
  release();
  int cflags = REG_EXTENDED;
  if (flags & regex_icase) cflags |= REG_ICASE;
  if (flags & regex_nosub) cflags |= REG_NOSUB;
  want_captures_ = !(flags & regex_nosub);
  // regcomp needs a terminated pattern; an embedded NUL ends it there.
  const std::string terminated(pattern);
  if ((flags & regex_bytes) && byte_locale() != static_cast<locale_t>(0)) {
    const locale_t previous = uselocale(byte_locale());
    const int code = regcomp(&bytes_, terminated.c_str(), cflags);
    uselocale(previous);
    bytes_compiled_ = code == 0;
    return code;
  }
  const int code = regcomp(&regex_, terminated.c_str(), cflags);
  compiled_ = code == 0;
  if (compiled_) plain_ = read_plain(terminated, (flags & regex_icase) != 0);
  if (plain_.ignore_case) {
    // Where the locale folds ASCII letters its own way (a Turkish "I" is no
    // capital "i"), regexec decides every subject.
    const std::string upper = ascii_upper(plain_.literal);
    const std::string lower = ascii_lower(plain_.literal);
    if (regexec(&regex_, upper.c_str(), 0, nullptr, 0) != 0 ||
        regexec(&regex_, lower.c_str(), 0, nullptr, 0) != 0) {
      plain_ = {};
    }
  }
  if (MB_CUR_MAX > 1 && byte_locale() != static_cast<locale_t>(0)) {
    const locale_t previous = uselocale(byte_locale());
    bytes_compiled_ = regcomp(&bytes_, terminated.c_str(), cflags) == 0;
    uselocale(previous);
  }
  return compiled_ || bytes_compiled_ ? 0 : code;
}

const regex_t* compiled_regex::select(std::string_view subject) const {
  if (compiled_ && (!bytes_compiled_ || is_locale_text(subject))) return &regex_;
  return bytes_compiled_ ? &bytes_ : nullptr;
}

int compiled_regex::execute(const regex_t* regex, std::string_view subject, size_t groups,
                            regmatch_t* ranges) const {
  const char* data = subject.data() ? subject.data() : "";
  if (regex != &bytes_) return regexec(regex, data, groups, ranges, REG_STARTEND);
  const locale_t previous = uselocale(byte_locale());
  const int result = regexec(regex, data, groups, ranges, REG_STARTEND);
  uselocale(previous);
  return result;
}

bool compiled_regex::plain_match(std::string_view subject, bool& matched) const {
  // Outside ASCII a locale may fold case differently (the Kelvin sign is a
  // "k") or hide ASCII bytes inside its characters: regexec decides.
  if (plain_.literal.empty() || !is_ascii(subject)) return false;
  const std::string_view literal = plain_.literal;
  const bool folded = plain_.ignore_case;
  const auto same = [folded](char x, char y) {
    return folded ? lower_of_ascii(x) == lower_of_ascii(y) : x == y;
  };
  const auto same_text = [&same](std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
  };
  const size_t length = literal.size();
  if (plain_.at_start && plain_.at_end) {
    matched = same_text(subject, literal);
  } else if (plain_.at_start) {
    matched = subject.size() >= length && same_text(subject.substr(0, length), literal);
  } else if (plain_.at_end) {
    matched =
        subject.size() >= length && same_text(subject.substr(subject.size() - length), literal);
  } else {
    matched = std::search(subject.begin(), subject.end(), literal.begin(), literal.end(), same) !=
              subject.end();
  }
  return true;
}

bool compiled_regex::matches(std::string_view subject) const {
  if (bool matched = false; plain_match(subject, matched)) return matched;
  const regex_t* regex = select(subject);
  if (!regex) return false;
  regmatch_t range[1];
  range[0].rm_so = 0;
  range[0].rm_eo = static_cast<regoff_t>(subject.size());
  return execute(regex, subject, 1, range) == 0;
}

bool compiled_regex::find(std::string_view subject, size_t offset, size_t& start,
                          size_t& end) const {
  const regex_t* regex = select(subject);
  if (!regex || offset > subject.size() || !want_captures_) return false;
  regmatch_t range[1];
  range[0].rm_so = static_cast<regoff_t>(offset);
  range[0].rm_eo = static_cast<regoff_t>(subject.size());
  // The rest of the subject is searched as a subject of its own, so "^"
  // matches at `offset`.
  if (execute(regex, subject, 1, range) != 0) return false;
  if (range[0].rm_so < 0 || static_cast<size_t>(range[0].rm_eo) > subject.size()) return false;
  start = static_cast<size_t>(range[0].rm_so);
  end = static_cast<size_t>(range[0].rm_eo);
  return true;
}

int compiled_regex::match(std::string_view subject, std::vector<std::string>* captures) const {
  if (captures) captures->clear();
  const regex_t* regex = select(subject);
  if (!regex) return REG_NOMATCH;
  const size_t groups = want_captures_ ? regex->re_nsub + 1 : 1;
  std::vector<regmatch_t> ranges(groups);
  ranges[0].rm_so = 0;
  ranges[0].rm_eo = static_cast<regoff_t>(subject.size());
  const int result = execute(regex, subject, groups, ranges.data());
  if (result != 0 || !captures || !want_captures_) return result;
  for (const regmatch_t& range : ranges) {
    if (range.rm_so < 0 || range.rm_eo <= range.rm_so ||
        static_cast<size_t>(range.rm_eo) > subject.size()) {
      captures->emplace_back();
    } else {
      captures->emplace_back(subject.substr(static_cast<size_t>(range.rm_so),
                                            static_cast<size_t>(range.rm_eo - range.rm_so)));
    }
  }
  return 0;
}

bool regex_load() {
  compiled_regex probe("^a(b+)c$", regex_icase);
  std::vector<std::string> captures;
  return probe.ok() && probe.match("ABbC", &captures) == 0 && captures.size() == 2 &&
         captures[1] == "Bb";
}

int regex_match(std::string_view pattern, int flags, std::string_view subject,
                std::vector<std::string>* captures) {
  if (captures) captures->clear();
  compiled_regex regex;
  const int code = regex.compile(pattern, captures ? flags & ~regex_nosub : flags | regex_nosub);
  if (code != 0) return code;
  return regex.match(subject, captures);
}

namespace {

// The scanning loop shared by replace, split and substitute: calls `emit` with
// the text before each match and the match itself, stops at the first empty
// match, and returns the offset of the unmatched rest.
template <class Emit>
size_t scan_matches(const compiled_regex& regex, std::string_view subject, Emit emit) {
  size_t offset = 0;
  size_t start = 0;
  size_t end = 0;
  while (offset < subject.size() && regex.find(subject, offset, start, end) && start != end) {
    emit(subject.substr(offset, start - offset), subject.substr(start, end - start));
    offset = end;
  }
  return offset;
}

}  // namespace

void regex_replace_all(std::string_view pattern, int flags, std::string& subject,
                       std::string_view replacement) {
  compiled_regex regex(pattern, flags & ~regex_nosub);
  if (!regex.ok()) return;
  std::string out;
  bool matched = false;
  const size_t rest = scan_matches(regex, subject, [&](std::string_view before, std::string_view) {
    out.append(before);
    out.append(replacement);
    matched = true;
  });
  if (!matched) return;
  out.append(subject, rest, std::string::npos);
  subject = std::move(out);
}

void regex_split(std::string_view pattern, int flags, std::string_view subject,
                 std::vector<std::string>& out) {
  out.clear();
  if (subject.empty()) return;
  compiled_regex regex(pattern, flags & ~regex_nosub);
  if (!regex.ok()) return;
  const size_t rest = scan_matches(
      regex, subject, [&](std::string_view before, std::string_view) { out.emplace_back(before); });
  out.emplace_back(subject.substr(rest));
}

void regex_substitute(std::string& subject, bool case_insensitive,
                      const regex_substitute_callback& callback, std::string_view pattern,
                      int cut_start, int cut_end, std::string_view fallback) {
  compiled_regex regex(pattern, case_insensitive ? regex_icase : regex_default);
  if (!regex.ok()) return;
  std::string out;
  bool matched = false;
  std::string replacement;
  const size_t rest =
      scan_matches(regex, subject, [&](std::string_view before, std::string_view match) {
        out.append(before);
        const size_t cut_front = cut_start > 0 ? static_cast<size_t>(cut_start) : 0;
        const size_t cut_back = cut_end > 0 ? static_cast<size_t>(cut_end) : 0;
        std::string_view inner;
        if (cut_front + cut_back < match.size()) {
          inner = match.substr(cut_front, match.size() - cut_front - cut_back);
        }
        replacement.clear();
        if (callback(inner, replacement)) {
          out.append(replacement);
        } else {
          out.append(fallback);
        }
        matched = true;
      });
  if (!matched) return;
  out.append(subject, rest, std::string::npos);
  subject = std::move(out);
}

void wildcard_to_expression(std::string& mask) {
  if (mask.empty()) return;
  replace_all(mask, "\\", "\\\\");
  for (const char* special : {"|", "+", "{", "}", "(", ")", ".", "^", "$", "[", "]"}) {
    replace_all(mask, special, std::string("\\") + special);
  }
  replace_all(mask, "*", ".*");
  replace_all(mask, "?", ".?");
  mask.insert(mask.begin(), '^');
  mask.push_back('$');
}

void trim(std::string& text) {
  const char* blanks = "\t\n\r ";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  const size_t last = text.find_last_not_of(blanks);
  text = text.substr(first, last - first + 1);
}

}  // namespace dirscribe
