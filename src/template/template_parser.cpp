#include "template/template_parser.h"

#include <string_view>
#include <utility>

namespace dirscribe {

namespace {

constexpr std::string_view kDirectiveStart = "<!--#";
constexpr std::string_view kDirectiveEnd = "-->";

}  // namespace

template_parser::template_parser(const phrase_table& phrases, template_tree& tree,
                                 vocabulary checks)
    : phrases_(phrases),
      tree_(tree),
      builder_(tree, checks == vocabulary::checked ? &variables_ : nullptr) {
  if (checks == vocabulary::checked) variables_.build(phrases);
  enable_kinds(1u << (kind_directive - 1));
  // Quotes do not shield the end string and a backslash is an ordinary
  // character. A "<" inside a directive is an ordinary character as well:
  // with nested markup on, a stray "<>" inside a quoted value would be cut
  // out of the directive and printed in front of it.
  set_row(kind_directive, kDirectiveEnd, false, false, false);
  set_keep_text(true);
  set_size_limit(template_size_limit);
}

outcome template_parser::feed(std::string piece) {
  if (!result_.ok() || finished_) return result_;
  append_chunk(std::move(piece));
  const int scanned = scan();
  if (scanned != scan_needs_more) result_ = failure(scanned);
  return result_;
}

outcome template_parser::finish() {
  if (!result_.ok() || finished_) return result_;
  finished_ = true;
  set_end_of_input(true);
  const int scanned = scan();
  if (scanned != scan_complete) {
    result_ = failure(scanned);
  } else if (const template_node* open = first_unclosed_block(tree_)) {
    result_ = failure(result_block_not_closed, open);
  }
  return result_;
}

outcome template_parser::failure(int code, const template_node* node) const {
  // The lexer's own failure (too long) shares its number with the result.
  static_assert(scan_too_long == result_template_too_long);
  return outcome{code, template_error_text(phrases_, code, node, line(), column())};
}

int template_parser::text_hook() { return builder_.add_text(token()); }

int template_parser::markup_hook() {
  // A ">" that ends a markup while its kind was still being detected ("<>",
  // "<!>", "<!-->") arrives here as well; it is text like any other markup.
  if (kind() != kind_directive || token().size() < kDirectiveStart.size() + kDirectiveEnd.size()) {
    return builder_.add_text(token());
  }
  return add_directive(token());
}

int template_parser::add_directive(const std::string& markup) {
  std::string_view inner(markup);
  inner.remove_prefix(kDirectiveStart.size());
  inner.remove_suffix(kDirectiveEnd.size());
  attribute_options options;
  options.lower_case_names = true;
  options.backslash = true;
  markup_attributes parsed;
  parse_attributes(inner, options, parsed);
  return builder_.add_directive(parsed.element_name, std::move(parsed.map), markup);
}

}  // namespace dirscribe
