// markup_lexer: the incremental, table-driven markup lexer shared by the document
// reader (xml_reader.h), the template directive parser and the HTML title scanner.
//
// It is not a conforming XML parser. It recognises sixteen markup kinds by
// their opening characters (kind_* below), lets its user switch kinds on or
// off and choose per kind the closing delimiter and three switches, and hands
// complete text runs and complete markup to the virtual hooks text_hook and
// markup_hook. A user derives from markup_lexer, configures it in its constructor
// (enable_kinds, set_row, set_keep_text, set_size_limit) and replaces the
// hooks. Input is fed with append_chunk; scan may be called after every chunk
// and keeps its whole state between calls, so a markup or a text run may span
// any number of chunks. After the last chunk the feeder calls
// set_end_of_input(true) and scans once more; scan then returns scan_complete
// on success.
//
// Example (the template directive parser):
//   enable_kinds(1 << (kind_directive - 1));
//   set_row(kind_directive, "-->", false, false, false);
//   set_size_limit(16777216);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/value_map.h"
#include "markup/text_lexer.h"

namespace dirscribe {

// Markup kinds, numbered as the kind table rows.
enum markup_kind : int {
  kind_start_tag = 1,      // "<" and a letter, "_" or ":"
  kind_end_tag = 2,        // "</"
  kind_empty_element = 3,  // assigned by a user, never detected
  kind_declaration = 4,    // "<!"
  kind_comment = 5,        // "<!--"
  kind_cdata = 6,          // "<![CDATA["
  kind_doctype = 7,        // "<!DOCTYPE"
  kind_element_decl = 8,   // "<!ELEMENT"
  kind_attlist = 9,        // "<!ATTLIST"
  kind_entity = 10,        // "<!ENTITY"
  kind_processing = 11,    // "<?"
  kind_percent = 12,       // "<%"
  kind_hash = 13,          // "<#"
  kind_directive = 14,     // "<!--#"
  kind_other = 15,         // "<" followed by anything else
};

// One row of the kind table.
struct tag_description {
  std::string end_delimiter;
  bool quote_aware = false;  // the end delimiter counts only outside quotes
  bool nested = false;       // "<" inside the markup starts a nested markup
  bool backslash = false;    // inside quotes a backslash escapes the next byte
};

// The state of an enclosing markup while a nested one is read.
struct parser_state {
  std::string token;
  bool in_single_quotes = false;
  bool in_double_quotes = false;
  bool escape_pending = false;
  bool in_markup = false;
  int kind = -1;
  bool detecting = true;
  int candidates = 0;
};

// Options of the attribute parser.
struct attribute_options {
  bool lower_case_names = false;  // element and attribute names lower-cased (ASCII)
  bool name_only = false;         // stop after the element name (end tags)
  bool backslash = false;         // inside quotes a backslash makes the next byte literal
  bool as_list = false;           // fill `list` instead of `map`
};

// What the attribute parser found.
struct markup_attributes {
  std::string element_name;
  value_map map;                  // name -> value; a repeated name keeps the last value
  std::vector<std::string> list;  // name, value, name, value... (list mode only)
};

// Parses the markup text without its first and last character (for "<a b=1>"
// the text "a b=1"; for end tags the text after "</"). A name starts with a
// letter, "_" or ":" and continues with letters, digits, "_", ":", "-" and ".".
// The first name is the element name; each further name is an attribute,
// with "=" and a value in double or single quotes or up to the next blank, or
// with an empty value when no "=" follows. Anything else is skipped. `out` is
// cleared first. Usable on its own, without a lexer.
void parse_attributes(std::string_view text, const attribute_options& options,
                      markup_attributes& out);

class markup_lexer : public unicode_lexer {
 public:
  static constexpr int kind_count = 16;

  // All kinds off, keep text on, the default kind table, the entity map with
  // amp, lt, gt, apos and quot.
  markup_lexer();
  ~markup_lexer() override;

  // Runs the lexer over the queued input. Returns scan_too_long when the
  // queued chunks exceed the size limit, scan_needs_more when all queued
  // input is used and more may come,
  // the end hook's result when the input has ended, or the first non-zero
  // result of a hook (the lexer keeps its state).
  int scan() override;

  // The input has ended: resets the read position, hands whatever was
  // gathered (the trailing text run, or the text of an unfinished markup) to
  // the text hook and returns its result if non-zero, else scan_complete.
  int end_hook() override;
  // A text run is complete; token() holds it (possibly empty). Does nothing
  // here and returns 0; a non-zero result stops the scan.
  virtual int text_hook();
  // A markup is complete; token() holds it from "<" to the end delimiter and
  // kind() is settled (or is the kind reached when ">" came during detection).
  // Does nothing here and returns 0; a non-zero result stops the scan.
  virtual int markup_hook();

  // Configuration. Bit k-1 of `kinds` switches kind k on or off (k = 1..15).
  void enable_kinds(uint32_t kinds);
  bool kind_enabled(int kind) const;
  // With keep text on, bytes outside markup gather into text runs (and markup
  // of a disabled kind continues as text); with it off they are dropped.
  void set_keep_text(bool keep) { keep_text_ = keep; }
  bool keep_text() const { return keep_text_; }
  // Replaces a row of the kind table; kinds outside 0..15 are ignored.
  void set_row(int kind, std::string_view end_delimiter, bool quote_aware, bool nested,
               bool backslash);
  const tag_description& row(int kind) const { return table_[kind]; }

  // Entity names and their replacement text; entity names folded means
  // names are matched without regard to case.
  value_map& entities() { return entities_; }
  const value_map& entities() const { return entities_; }
  void set_entity_names_folded(bool folded) { entity_names_folded_ = folded; }
  bool entity_names_folded() const { return entity_names_folded_; }

  // For speed, scan reads runs of ordinary bytes (anything but < > " ' \\ and
  // LF) in bulk instead of one next_char call per byte, with the same effect
  // as next_char of this class. A subclass that replaces next_char must
  // switch bulk reads off so that its next_char sees every byte.
  void set_bulk_reads(bool on) { bulk_reads_ = on; }

  // State visible to the hooks.
  std::string& token() { return token_; }
  const std::string& token() const { return token_; }
  int kind() const { return kind_; }
  bool in_markup() const { return in_markup_; }
  int nesting_depth() const { return static_cast<int>(saved_.size()); }

 private:
  void start_markup();
  void detect_kind();
  void settle_kind();
  void load_row(int kind);
  void restore_state();
  // A quote byte read: in markup it opens or closes its kind of quotes
  // (`open`) unless the other kind is open, and joins the token; outside it
  // joins kept text.
  void take_quote(char quote, bool& open, bool other_open);

  tag_description table_[kind_count];
  bool enabled_[kind_count] = {};
  bool keep_text_ = true;
  bool bulk_reads_ = true;
  std::string token_;
  bool in_markup_ = false;
  bool in_single_quotes_ = false;
  bool in_double_quotes_ = false;
  bool escape_pending_ = false;
  bool detecting_ = false;
  int kind_ = -1;
  int candidates_ = 0;
  tag_description current_;  // the row of the markup being read
  value_map entities_;
  bool entity_names_folded_ = false;
  std::vector<std::unique_ptr<parser_state>> saved_;
};

}  // namespace dirscribe
