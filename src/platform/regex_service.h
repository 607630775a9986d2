// The regular-expression service: POSIX extended expressions through the C
// library's regcomp/regexec. Used for file masks, template conditions and
// entity references. Subjects are byte ranges and may hold NUL bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <regex.h>

namespace dirscribe {

// Compile flags; extended syntax is always on.
enum regex_flag : int {
  regex_default = 0,
  regex_icase = 1,  // match without regard to case
  regex_nosub = 2,  // no captures wanted
  // Byte by byte (the C locale) for every subject: for a pattern that holds
  // bytes the locale's encoding cannot read, which must match those bytes as
  // they stand. Case is then ignored for ASCII letters only.
  regex_bytes = 4,
};

// Self-check at start-up: compiles and runs one pattern. False when the
// facility does not work; the caller then refuses to start.
bool regex_load();

// One compiled expression, owned and freed by this object. Lets callers that
// match many subjects compile once (the file masks, an if with re).
class compiled_regex {
 public:
  compiled_regex() = default;
  compiled_regex(std::string_view pattern, int flags) { compile(pattern, flags); }
  compiled_regex(const compiled_regex&) = delete;
  compiled_regex& operator=(const compiled_regex&) = delete;
  compiled_regex(compiled_regex&& other) noexcept;
  compiled_regex& operator=(compiled_regex&& other) noexcept;
  ~compiled_regex();

  // Returns 0 or the regcomp error code; a failed pattern matches nothing.
  // In a multibyte locale the pattern is compiled twice: for the locale's
  // text, and byte by byte (the C locale) for subjects that are not valid
  // text in that encoding (file names may hold any byte), which the locale's
  // expression could never match. A pattern that is not text in the locale's
  // encoding itself is matched byte by byte.
  int compile(std::string_view pattern, int flags);
  bool ok() const { return compiled_ || bytes_compiled_; }

  // True when the expression matches anywhere in `subject`.
  bool matches(std::string_view subject) const;
  // Finds the first match at or after `offset`: returns true and sets the
  // match's [start, end) byte offsets within `subject`.
  bool find(std::string_view subject, size_t offset, size_t& start, size_t& end) const;
  // Matches and fills `captures` with group 0 then groups 1..n; a group that
  // took no part (or is empty) gives an empty string. Returns regexec's result.
  int match(std::string_view subject, std::vector<std::string>* captures) const;

 private:
  void release();
  // The compiled expression that fits `subject`, or nullptr.
  const regex_t* select(std::string_view subject) const;
  // regexec with the locale the chosen expression was compiled in.
  int execute(const regex_t* regex, std::string_view subject, size_t groups,
              regmatch_t* ranges) const;
  // A pattern of ASCII letters and digits only, perhaps anchored ("^1$",
  // "00$", "jpg"), read once at compile time: matches() answers it for ASCII
  // subjects by comparing bytes, as regexec would answer in any locale, but
  // without regexec's allocations for every subject.
  struct plain_pattern {
    std::string literal;  // empty: the pattern is not plain
    bool at_start = false;
    bool at_end = false;
    bool ignore_case = false;
  };
  // `pattern` as a plain pattern when it is one.
  static plain_pattern read_plain(std::string_view pattern, bool ignore_case);
  // Whether `plain_` decides `subject`, and then whether it matches.
  bool plain_match(std::string_view subject, bool& matched) const;

  regex_t regex_{};
  regex_t bytes_{};
  bool compiled_ = false;
  bool bytes_compiled_ = false;
  bool want_captures_ = false;
  plain_pattern plain_;
};

// The compile error code when the pattern does not compile; otherwise 0 when
// the subject matches anywhere and non-zero when it does not. With `captures`
// the list is emptied first and filled on a match (see compiled_regex::match).
int regex_match(std::string_view pattern, int flags, std::string_view subject,
                std::vector<std::string>* captures = nullptr);

// Replaces every match with `replacement` taken literally. The loop stops at
// the first empty match. The subject is unchanged when the pattern does not
// compile or nothing matches.
void regex_replace_all(std::string_view pattern, int flags, std::string& subject,
                       std::string_view replacement);

// Empties `out` and appends the pieces between the matches, including the
// piece after the last match. An empty subject leaves `out` empty.
void regex_split(std::string_view pattern, int flags, std::string_view subject,
                 std::vector<std::string>& out);

// Callback of regex_substitute: gets the match without the cut characters and
// returns true with the replacement, or false to refuse (the fallback is used).
using regex_substitute_callback = std::function<bool(std::string_view inner, std::string& out)>;

// Replaces every match through `callback`, handing it the match without
// `cut_start` leading and `cut_end` trailing characters.
void regex_substitute(std::string& subject, bool case_insensitive,
                      const regex_substitute_callback& callback, std::string_view pattern,
                      int cut_start, int cut_end, std::string_view fallback);

// Turns a wildcard mask into an anchored expression: backslash doubled, the
// characters | + { } ( ) . ^ $ [ ] escaped, "*" -> ".*", "?" -> ".?" (zero or
// one character), then "^" in front and "$" behind. An empty mask stays empty.
void wildcard_to_expression(std::string& mask);

// Removes leading and trailing tabs, line feeds, carriage returns and blanks.
void trim(std::string& text);

}  // namespace dirscribe
