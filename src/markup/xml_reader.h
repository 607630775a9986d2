// xml_reader: the user of the markup lexer that builds an xml_tree. Most callers
// use parse_file/parse_text (document_reader.h); this class is for feeding a
// document chunk by chunk.
//
// Usage: construct over the tree to fill, append_chunk + scan per chunk, then
// set_end_of_input(true) + scan once more (scan_complete on success). On any
// other non-zero result error_text(result) describes the failure. The tree is borrowed; the
// nodes already placed stay in it whatever happens.
#pragma once

#include <string>
#include <string_view>

#include "markup/markup_lexer.h"
#include "markup/xml_node.h"
#include "platform/regex_service.h"

namespace dirscribe {

// Result codes of the reader besides the lexer's (1 size exceeded, 3 out of memory).
constexpr int xml_misplaced_end_tag = 10000;
constexpr int xml_unclosed_tag = 10001;
// The document reader's size limit.
constexpr int64_t xml_size_limit = 16777216;

class xml_reader : public markup_lexer {
 public:
  // Kinds 1, 2, 3, 5, 6 and 11 on; lower-case names off, line-end
  // normalisation on, attributes as map on; size limit xml_size_limit.
  explicit xml_reader(xml_tree& tree);

  void set_lower_case_names(bool on) { lower_case_names_ = on; }
  void set_normalise_line_ends(bool on) { normalise_line_ends_ = on; }
  void set_attributes_as_map(bool on) { attributes_as_map_ = on; }

  // Normalises line ends first when that switch is on: CR LF and lone CR
  // become LF, also when the CR ends one chunk and the LF starts the next.
  void append_chunk(std::string chunk) override;
  // As the lexer's; then 10001 when an element read by this reader is still
  // open.
  int end_hook() override;
  int text_hook() override;
  int markup_hook() override;

  // "Line: <l>, column: <c>\r\nError: " and the message of `code`.
  std::string error_text(int code) const;

  // Decodes numeric references (&#65; &#x41;, at most three characters after
  // "&#", decimal at most 255) and then the entities of the lexer's map; a
  // refused or unknown reference becomes "!". Text without "&" is left as is.
  void decode_entities(std::string& text) const;

 private:
  void place(std::unique_ptr<xml_node> node);
  int close_element();

  xml_tree& tree_;
  xml_node* current_ = nullptr;
  int placement_ = 1;  // 1 last child, 2 after the parent, 3 after the current node
  bool lower_case_names_ = false;
  bool normalise_line_ends_ = true;
  bool attributes_as_map_ = true;
  bool pending_cr_ = false;  // the last chunk ended with a CR turned into LF
  int open_elements_ = 0;    // start tags of this document not yet closed
  markup_attributes attributes_;
  mutable compiled_regex numeric_reference_;
  mutable compiled_regex named_reference_;
  mutable bool patterns_compiled_ = false;
  mutable bool patterns_folded_ = false;
};

}  // namespace dirscribe
