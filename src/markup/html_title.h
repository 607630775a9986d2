// The title scanner for HTML files: reads an HTML file only as far as needed
// to collect the text of its first title element.
#pragma once

#include <cstddef>
#include <string>

#include "markup/markup_lexer.h"

namespace dirscribe {

// Where the scanner's bytes come from. read fills up to `size` bytes of
// `buffer` and returns how many it filled, 0 at the end, or -1 on an error
// (treated as the end).
class byte_source {
 public:
  virtual ~byte_source() = default;
  virtual long read(char* buffer, size_t size) = 0;
};

// The markup lexer set up for HTML 4 documents. The title is everything
// between the start tag and the end tag of the first title element, as it
// stands in the file (entities not decoded, blanks kept); the scan ends there
// or at the first start or end tag of an element that only occurs in a
// document body, and then the text gathered so far is the title.
class html_title_scanner : public markup_lexer {
 public:
  html_title_scanner();

  int markup_hook() override;
  int text_hook() override;

  const std::string& title() const { return title_; }
  std::string& title() { return title_; }

  // Whether the scan may end before the title does: the title has reached
  // kTitleLimit bytes (counting the text still being read), or one markup or
  // run of text outside the title has grown past kLongestToken bytes. Either
  // way the file is not read on, so no file, however large, is held whole.
  bool collected_enough() const;
  // The title gathered so far with the text still being read inside it, cut
  // to kTitleLimit bytes.
  std::string collected_title() const;

  // The HTML 4 element table (89 names in alphabetical order): the index of
  // `name` (lower case), or -1 when it is not in the table.
  static int element_index(std::string_view name);
  static bool is_empty_element(int index);
  static bool is_body_element(int index);

 private:
  std::string title_;
  bool in_title_ = false;
  bool in_script_ = false;
};

// The read size of the title scanner.
inline constexpr size_t kTitleReadSize = 2048;
// A title is cut at this many bytes.
inline constexpr size_t kTitleLimit = 4096;
// The longest markup or text run read while looking for the title.
inline constexpr size_t kLongestToken = 1 << 20;

// Scans `source` in kTitleReadSize pieces, releasing consumed pieces after
// every scan, and stops reading as soon as the title is known or the scanner
// has collected enough (kTitleLimit, kLongestToken). Returns 0 with
// the title in `title` (possibly empty), or 3 when the lexer reports an error
// (`title` empty).
int title_of_source(byte_source& source, std::string& title);

// The same over a file. Returns 0, 1 when the file cannot be opened (`title`
// empty) or 3 as above.
int title_of_file(const std::string& file_name, std::string& title);

}  // namespace dirscribe
